#!/usr/bin/env python3
"""A hop between two simulated computers, for the transport tests.

    udp_relay.py TARGET_ADDRESS SECONDS STATS_FILE [MODE]

Listens on UDP port 24170. Each datagram from a source (address, port) goes
on to TARGET_ADDRESS:24170 from a socket of the relay's own for that source;
what comes back on that socket goes to the source from port 24170.
Datagrams of up to 65,535 bytes are taken whole. MODE says what the hop
does to them:

  lossy (the default): towards the target, every tenth datagram is dropped
      or, alternately, sent twice; on the way back every tenth is sent twice.
      Nothing is lost on the way back: the receiver never repeats the echo
      of the message that completed a transfer, so losing that one would
      fail a send whose data all arrived.
  narrow: every datagram above 1,500 bytes is dropped, both ways, as on a
      path whose links carry no more and that never fragments.

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
MOST_BYTES = 65535
NARROW_BYTES = 1500
# Room for a wide window of big datagrams, so the hop loses nothing of its
# own accord. SO_RCVBUFFORCE (root) goes past the system's limit.
RECEIVE_BUFFER = 8 << 20
SO_RCVBUFFORCE = getattr(socket, "SO_RCVBUFFORCE", 33)


class Hop:
    """How many copies of each datagram go on, and the counts so far."""

    def __init__(self, mode):
        if mode not in ("lossy", "narrow"):
            raise SystemExit(f"unknown mode {mode}")
        self.mode = mode
        self.counts = {"forward": 0, "dropped": 0, "doubled": 0, "back": 0, "back_doubled": 0,
                       "too_big": 0, "largest": 0}

    def _fits(self, data):
        self.counts["largest"] = max(self.counts["largest"], len(data))
        if self.mode == "narrow" and len(data) > NARROW_BYTES:
            self.counts["too_big"] += 1
            return False
        return True

    def towards_target(self, data):
        self.counts["forward"] += 1
        if not self._fits(data):
            return 0
        if self.mode == "narrow":
            return 1
        n = self.counts["forward"]
        if n % 20 == 0:
            self.counts["dropped"] += 1
            return 0
        copies = 2 if n % 10 == 0 else 1
        self.counts["doubled"] += copies - 1
        return copies

    def back(self, data):
        self.counts["back"] += 1
        if not self._fits(data):
            return 0
        copies = 2 if self.mode == "lossy" and self.counts["back"] % 10 == 0 else 1
        self.counts["back_doubled"] += copies - 1
        return copies


def udp_socket(port):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        sock.setsockopt(socket.SOL_SOCKET, SO_RCVBUFFORCE, RECEIVE_BUFFER)
    except OSError:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, RECEIVE_BUFFER)
    sock.bind(("0.0.0.0", port))
    return sock


class Relay:
    """The front socket, and one socket towards the target per source."""

    def __init__(self, target, hop):
        self.target = target
        self.hop = hop
        self.front = udp_socket(PORT)
        self.by_source = {}  # source -> socket towards the target
        self.by_socket = {}  # socket -> source

    def sockets(self):
        return [self.front] + list(self.by_socket)

    def _towards(self, source):
        sock = self.by_source.get(source)
        if sock is None and len(self.by_source) < MOST_SOURCES:
            sock = udp_socket(0)
            self.by_source[source] = sock
            self.by_socket[sock] = source
        return sock

    def take(self, sock):
        """A bounded batch of what waits on sock, passed on."""
        for _ in range(256):
            try:
                data, source = sock.recvfrom(MOST_BYTES, socket.MSG_DONTWAIT)
            except BlockingIOError:
                return
            if sock is self.front:
                hop = self._towards(source)
                if hop is not None:
                    for _ in range(self.hop.towards_target(data)):
                        hop.sendto(data, self.target)
            else:
                for _ in range(self.hop.back(data)):
                    self.front.sendto(data, self.by_socket[sock])


def main():
    target = (sys.argv[1], PORT)
    deadline = time.monotonic() + float(sys.argv[2])
    stats_file = sys.argv[3]
    hop = Hop(sys.argv[4] if len(sys.argv) > 4 else "lossy")
    relay = Relay(target, hop)
    open(stats_file + ".ready", "w").close()
    while not os.path.exists(stats_file + ".quit"):
        now = time.monotonic()
        if now >= deadline:
            break
        readable, _, _ = select.select(relay.sockets(), [], [], min(0.2, deadline - now))
        for sock in readable:
            relay.take(sock)
    with open(stats_file, "w") as out:
        out.write(" ".join(f"{key}={value}" for key, value in hop.counts.items()) + "\n")


if __name__ == "__main__":
    main()
