#!/usr/bin/env python3
"""Checks the direction of the layers under src/ and that the platform-free
library stays free of Windows.

    check_layers.py SRC_DIR [CORE_SOURCES CORE_LINKS]

Layers, lowest first: base, protocol, clip, then tray, ui and net side by
side, then app. A file may include headers of its own folder, of lower layers and of
res/ (resource numbers, shared by all). With the two lists that CMake writes
for the platform-free library tv_core (its sources, and the libraries it
links), it also checks that none of those sources reaches a Windows header,
directly or through the project's own headers, and that tv_core links
nothing. Prints every violation; exits 1 when there is any.
"""

import re
import sys
from pathlib import Path

RANKS = {"base": 0, "protocol": 1, "clip": 2, "tray": 3, "ui": 3, "net": 3, "app": 4}
SHARED = {"res"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
# Headers of the Windows SDK; the C and C++ libraries never start like these.
WINDOWS_HEADER = re.compile(r"^(windows|win\w*|ws2\w*|commctrl|commdlg|shellapi|shlobj|mapi|"
                            r"iphlpapi|mswsock|objbase|ole\w*|mmsystem|lm\w*|rpc\w*|sdkddkver|tchar)\.h$",
                            re.IGNORECASE)


def includes(path):
    try:
        text = path.read_text(encoding="utf-8", errors="replace")
    except OSError:
        return []
    return INCLUDE.findall(text)


def layer_violations(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in RANKS:
            continue
        for kind, name in includes(path):
            if kind != '"' or "/" not in name:
                continue
            target = name.split("/")[0]
            if target == folder or target in SHARED or target not in RANKS:
                continue
            if RANKS[target] >= RANKS[folder]:
                found.append(f"{path.relative_to(src)}: {folder} must not include {name}")
    return found


def windows_reach(source, src, seen):
    """The chain from source to a Windows header, or None."""
    for kind, name in includes(source):
        if kind == "<":
            if WINDOWS_HEADER.match(Path(name).name):
                return [name]
            continue
        header = (src / name) if "/" in name else (source.parent / name)
        if not header.is_file() or header in seen:
            continue
        seen.add(header)
        chain = windows_reach(header, src, seen)
        if chain is not None:
            return [name] + chain
    return None


def core_violations(src, sources_file, links_file):
    found = []
    sources = [Path(line) for line in Path(sources_file).read_text().split(";") if line.strip()]
    for source in sources:
        if not source.is_absolute():
            source = src / source
        chain = windows_reach(source, src, set())
        if chain is not None:
            found.append(f"{source.relative_to(src)}: platform-free code reaches Windows: " + " -> ".join(chain))
    links = [link for link in Path(links_file).read_text().split(";") if link.strip()]
    if links:
        found.append("tv_core links " + ", ".join(links) + ": the platform-free library links nothing")
    return found


def main(argv):
    if len(argv) not in (2, 4):
        print(__doc__, file=sys.stderr)
        return 2
    src = Path(argv[1]).resolve()
    found = layer_violations(src)
    if len(argv) == 4:
        found += core_violations(src, argv[2], argv[3])
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
