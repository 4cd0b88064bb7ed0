#!/usr/bin/env python3
"""A lossy hop between two simulated computers, for the transport tests.

    udp_relay.py TARGET_ADDRESS SECONDS STATS_FILE

Listens on UDP port 24170. Each datagram from a source (address, port) goes
on to TARGET_ADDRESS:24170 from a socket of the relay's own for that source;
what comes back on that socket goes to the source from port 24170. Towards
the target, every tenth datagram is dropped or, alternately, sent twice; on
the way back every tenth is sent twice. Nothing is lost on the way back: the
receiver never repeats the echo of the message that completed a transfer,
so losing that one would fail a send whose data all arrived.

STATS_FILE.ready appears once it listens. Ends after SECONDS, or once
STATS_FILE.quit exists, and writes its counts to STATS_FILE.
"""

import os
import select
import socket
import sys
import time

PORT = 24170
MOST_SOURCES = 64


def main():
    target = (sys.argv[1], PORT)
    deadline = time.monotonic() + float(sys.argv[2])
    stats_file = sys.argv[3]
    front = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    front.bind(("0.0.0.0", PORT))
    open(stats_file + ".ready", "w").close()
    by_source = {}  # source -> socket towards the target
    by_socket = {}  # socket -> source
    counts = {"forward": 0, "dropped": 0, "doubled": 0, "back": 0, "back_doubled": 0}
    while not os.path.exists(stats_file + ".quit"):
        now = time.monotonic()
        if now >= deadline:
            break
        readable, _, _ = select.select([front] + list(by_socket), [], [], min(0.2, deadline - now))
        for sock in readable:
            # A bounded batch per socket and wake.
            for _ in range(256):
                try:
                    data, source = sock.recvfrom(65536, socket.MSG_DONTWAIT)
                except BlockingIOError:
                    break
                if sock is front:
                    hop = by_source.get(source)
                    if hop is None:
                        if len(by_source) >= MOST_SOURCES:
                            continue
                        hop = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
                        hop.bind(("0.0.0.0", 0))
                        by_source[source] = hop
                        by_socket[hop] = source
                    counts["forward"] += 1
                    n = counts["forward"]
                    if n % 20 == 0:
                        counts["dropped"] += 1
                        continue
                    copies = 2 if n % 10 == 0 else 1
                    counts["doubled"] += copies - 1
                    for _ in range(copies):
                        hop.sendto(data, target)
                else:
                    counts["back"] += 1
                    copies = 2 if counts["back"] % 10 == 0 else 1
                    counts["back_doubled"] += copies - 1
                    for _ in range(copies):
                        front.sendto(data, by_socket[sock])
    with open(stats_file, "w") as out:
        out.write(" ".join(f"{key}={value}" for key, value in counts.items()) + "\n")


if __name__ == "__main__":
    main()
