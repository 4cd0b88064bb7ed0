#!/usr/bin/env python3
"""Makes the plain parts of the release: the zips and the sums.

    dist.py zip OUT.zip NAME=FILE...   a zip holding each FILE as NAME
    dist.py sums OUT FILE...           SHA-256 sums in sha256sum's format

The same input gives the same zip, byte for byte: entries in the order
given, one date on all of them (SOURCE_DATE_EPOCH when set, otherwise
1980-01-01, the earliest a zip can hold), no extra fields, attributes as
Windows would write them. Each output is written beside its place and moved
in, so a failed run leaves no half file behind.
"""

import hashlib
import os
import sys
import time
import zipfile
from pathlib import Path

EARLIEST = (1980, 1, 1, 0, 0, 0)
FILE_ATTRIBUTE_ARCHIVE = 0x20


def entry_date():
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        return EARLIEST
    return max(EARLIEST, time.gmtime(int(epoch))[:6])


def write_replacing(out, write):
    out = Path(out)
    temporary = out.with_name(out.name + ".part")
    try:
        write(temporary)
        os.replace(temporary, out)
    finally:
        temporary.unlink(missing_ok=True)


def make_zip(out, entries):
    date = entry_date()
    pairs = []
    for entry in entries:
        name, sep, path = entry.partition("=")
        if not sep or not name or not path:
            raise SystemExit(f"dist.py: expected NAME=FILE, got {entry!r}")
        pairs.append((name, Path(path)))

    def write(target):
        with zipfile.ZipFile(target, "w") as archive:
            for name, path in pairs:
                info = zipfile.ZipInfo(name, date_time=date)
                info.create_system = 0  # MS-DOS attributes, as on Windows
                info.external_attr = FILE_ATTRIBUTE_ARCHIVE
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, path.read_bytes(), compresslevel=9)

    write_replacing(out, write)


def make_sums(out, files):
    lines = []
    for path in map(Path, files):
        digest = hashlib.sha256(path.read_bytes()).hexdigest()
        lines.append(f"{digest}  {path.name}\n")
    write_replacing(out, lambda target: target.write_text("".join(lines), encoding="ascii", newline="\n"))


def main(argv):
    if len(argv) >= 3 and argv[0] == "zip":
        make_zip(argv[1], argv[2:])
    elif len(argv) >= 3 and argv[0] == "sums":
        make_sums(argv[1], argv[2:])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
