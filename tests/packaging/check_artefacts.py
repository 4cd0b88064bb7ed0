#!/usr/bin/env python3
"""Checks the release in the dist folder as a user gets it.

    check_artefacts.py DIST VERSION WIN32_EXE WIN64_EXE

- The two zips, the installer and SHA256SUMS are there; the sums name
  exactly those three and match them, and sha256sum agrees.
- Each zip holds exactly Tolvaran.exe and README.txt. Its program is the
  one the build made for that architecture, so a stale release fails.
- Each program is a Windows GUI executable of its architecture (PE32 on
  x86, PE32+ on x64) that imports only from DLLs every Windows has (a fixed
  list), may use more than 2 GB (large-address-aware), and carries a
  manifest that asks for common controls 6, per-monitor (v2) DPI awareness
  with the system-aware fallback, Windows 7 to 11 and no elevation; the
  installer is a 32-bit GUI executable with common controls 6, DPI awareness
  and no elevation.
- README.txt is plain ASCII with Windows line ends and names the version,
  where the state is kept and the sharing port.

Prints every failure; exits 1 when there is any. Standard library only.
"""

import hashlib
import re
import xml.etree.ElementTree as ElementTree
import struct
import subprocess
import sys
import zipfile
from pathlib import Path

# What Windows itself provides. Anything else would have to be shipped.
WINDOWS_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "comctl32.dll", "ws2_32.dll", "iphlpapi.dll", "msvcrt.dll", "ole32.dll",
}
PE32, PE32_PLUS = 0x10B, 0x20B
MACHINE_I386, MACHINE_AMD64 = 0x14C, 0x8664
SUBSYSTEM_WINDOWS_GUI = 2
FILE_EXECUTABLE_IMAGE, FILE_LARGE_ADDRESS_AWARE, FILE_DLL = 0x0002, 0x0020, 0x2000
DIRECTORY_IMPORT, DIRECTORY_RESOURCE, DIRECTORY_DELAY_IMPORT = 1, 2, 13
RT_MANIFEST = 24
# Windows 7, 8, 8.1, and 10 and 11.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
ASM_V1, ASM_V3 = "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
SUM_LINE = re.compile(r"^([0-9a-f]{64})  (\S+)$")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


class PeError(Exception):
    pass


class PeImage:
    """The headers and the imported DLL names of a PE file, read by hand."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe + 4
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from(
            "<HHIIIHH", data, coff)
        optional = coff + 20
        self.magic = self.u16(optional)
        if self.magic == PE32:
            self.image_base = self.u32(optional + 28)
            directory_count, directories = self.u32(optional + 92), optional + 96
        elif self.magic == PE32_PLUS:
            self.image_base = struct.unpack_from("<Q", data, optional + 24)[0]
            directory_count, directories = self.u32(optional + 108), optional + 112
        else:
            raise PeError(f"unknown optional header magic {self.magic:#x}")
        self.subsystem = self.u16(optional + 68)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, virtual_size, address, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise PeError(f"RVA {rva:#x} lies in no section")

    def text(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imported_dlls(self):
        names = []
        rva, _ = self.directory(DIRECTORY_IMPORT)
        if rva:
            entry = self.offset(rva)
            while True:
                descriptor = struct.unpack_from("<IIIII", self.data, entry)
                if not any(descriptor):
                    break
                names.append(self.text(descriptor[3]))
                entry += 20
        rva, _ = self.directory(DIRECTORY_DELAY_IMPORT)
        if rva:
            entry = self.offset(rva)
            while True:
                attributes, name = struct.unpack_from("<II", self.data, entry)
                if not attributes and not name:
                    break
                # Old-style descriptors hold addresses, not RVAs.
                names.append(self.text(name if attributes & 1 else name - self.image_base))
                entry += 32
        return names

    def resources(self, wanted_type):
        """The bytes of every resource of a numbered type, by (id, language)."""
        rva, _ = self.directory(DIRECTORY_RESOURCE)
        if not rva:
            return {}
        root = self.offset(rva)
        found = {}
        for type_id, types in self.resource_entries(root, root):
            if type_id != wanted_type:
                continue
            for name, names in self.resource_entries(root, types):
                for language, leaf in self.resource_entries(root, names):
                    data_rva, size = struct.unpack_from("<II", self.data, leaf)
                    start = self.offset(data_rva)
                    found[(name, language)] = self.data[start:start + size]
        return found

    def resource_entries(self, root, table):
        """(numbered id, file offset) of the entries of one level of the resource tree."""
        named, numbered = struct.unpack_from("<HH", self.data, table + 12)
        entries = []
        for i in range(named, named + numbered):
            name, target = struct.unpack_from("<II", self.data, table + 16 + 8 * i)
            entries.append((name, root + (target & 0x7FFFFFFF)))
        return entries


def manifest_of(label, image):
    """The parsed application manifest (resource 1 of type 24), or None."""
    manifests = [data for (name, _), data in image.resources(RT_MANIFEST).items() if name == 1]
    if not check(len(manifests) == 1, f"{label}: {len(manifests)} application manifests, expected 1"):
        return None
    try:
        return ElementTree.fromstring(manifests[0])
    except ElementTree.ParseError as error:
        check(False, f"{label}: the manifest is not well-formed XML ({error})")
        return None


def check_manifest(label, image, per_monitor):
    """Common controls 6, DPI awareness, no elevation; for the program also
    per-monitor v2 and the supported Windows versions."""
    manifest = manifest_of(label, image)
    if manifest is None:
        return
    names = {(e.get("name"), e.get("version"), e.get("publicKeyToken"))
             for e in manifest.iter(f"{{{ASM_V1}}}assemblyIdentity")}
    check(("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df") in names,
          f"{label}: the manifest does not ask for common controls 6")
    levels = [e.get("level") for e in manifest.iter() if e.tag.endswith("}requestedExecutionLevel")]
    check(levels == ["asInvoker"], f"{label}: requested execution levels {levels}, expected asInvoker")
    aware = [(e.text or "").strip().lower() for e in manifest.iter(f"{{{SETTINGS_2005}}}dpiAware")]
    check(aware == ["true"], f"{label}: dpiAware is {aware}, expected true (system-aware before Windows 10)")
    if not per_monitor:
        return
    awareness = [(e.text or "").strip() for e in manifest.iter(f"{{{SETTINGS_2016}}}dpiAwareness")]
    check(awareness == ["PerMonitorV2"], f"{label}: dpiAwareness is {awareness}, expected PerMonitorV2")
    systems = {e.get("Id") for e in manifest.iter(f"{{{COMPATIBILITY}}}supportedOS")}
    check(systems == SUPPORTED_OS, f"{label}: supported systems {sorted(systems)}, expected Windows 7 to 11")


def check_program(label, data, magic, machine):
    try:
        image = PeImage(data)
        dlls = image.imported_dlls()
    except (PeError, ValueError, struct.error) as error:
        check(False, f"{label}: not a readable PE file ({error})")
        return
    check(image.magic == magic, f"{label}: optional header magic {image.magic:#x}, expected {magic:#x}")
    check(image.machine == machine, f"{label}: machine {image.machine:#x}, expected {machine:#x}")
    check(image.subsystem == SUBSYSTEM_WINDOWS_GUI, f"{label}: subsystem {image.subsystem}, expected 2 (GUI)")
    check(image.characteristics & FILE_EXECUTABLE_IMAGE and not image.characteristics & FILE_DLL,
          f"{label}: not an executable (characteristics {image.characteristics:#x})")
    lowered = {name.lower() for name in dlls}
    check("kernel32.dll" in lowered, f"{label}: the imports read do not include KERNEL32.dll: {dlls}")
    foreign = sorted(name for name in dlls if name.lower() not in WINDOWS_DLLS)
    check(not foreign, f"{label}: imports DLLs Windows does not provide: {foreign}")
    try:
        check_manifest(label, image, per_monitor=label != "installer")
    except (PeError, struct.error) as error:
        check(False, f"{label}: unreadable resources ({error})")
    return image


def check_readme(label, data, version):
    if not check(data.isascii(), f"{label}: not plain ASCII"):
        return
    text = data.decode("ascii")
    check("\n" not in text.replace("\r\n", ""), f"{label}: has line ends other than CR LF")
    for needed in (version, "UDP port 24170", ".Tolvaran", r"Software\Quilnor\Tolvaran", "firewall"):
        check(needed in text, f"{label}: does not mention {needed!r}")


def check_zip(path, exe, magic, machine, version):
    label = path.name
    try:
        archive = zipfile.ZipFile(path)
    except (OSError, zipfile.BadZipFile) as error:
        check(False, f"{label}: not a readable zip ({error})")
        return None
    with archive:
        names = archive.namelist()
        check(sorted(names) == ["README.txt", "Tolvaran.exe"],
              f"{label}: holds {names}, expected exactly Tolvaran.exe and README.txt")
        check(archive.testzip() is None, f"{label}: a member fails its CRC")
        if "Tolvaran.exe" in names:
            program = archive.read("Tolvaran.exe")
            check(program == exe.read_bytes(), f"{label}: Tolvaran.exe is not the build's {exe}")
            image = check_program(f"{label}: Tolvaran.exe", program, magic, machine)
            check(image is not None and image.characteristics & FILE_LARGE_ADDRESS_AWARE,
                  f"{label}: Tolvaran.exe is not large-address-aware")
        if "README.txt" in names:
            readme = archive.read("README.txt")
            check_readme(f"{label}: README.txt", readme, version)
            return readme
    return None


def check_sums(dist, files):
    sums = dist / "SHA256SUMS"
    if not check(sums.is_file(), f"{sums} is missing"):
        return
    listed = {}
    for line in sums.read_text(encoding="ascii").splitlines():
        match = SUM_LINE.match(line)
        if check(match, f"SHA256SUMS: not a sha256sum line: {line!r}"):
            listed[match.group(2)] = match.group(1)
    names = sorted(path.name for path in files)
    check(sorted(listed) == names, f"SHA256SUMS names {sorted(listed)}, expected {names}")
    for path in files:
        if path.name in listed and path.is_file():
            check(hashlib.sha256(path.read_bytes()).hexdigest() == listed[path.name],
                  f"SHA256SUMS: {path.name} does not match")
    result = subprocess.run(["sha256sum", "--check", "--strict", "--quiet", "SHA256SUMS"],
                            cwd=dist, capture_output=True, text=True, timeout=60)
    check(result.returncode == 0, f"sha256sum --check fails: {result.stdout}{result.stderr}")


def main(argv):
    if len(argv) != 4:
        raise SystemExit(__doc__)
    dist, version, exe32, exe64 = Path(argv[0]), argv[1], Path(argv[2]), Path(argv[3])
    zip32 = dist / f"Tolvaran-{version}-win32.zip"
    zip64 = dist / f"Tolvaran-{version}-win64.zip"
    setup = dist / f"Tolvaran-{version}-setup.exe"
    artefacts = [zip32, zip64, setup]
    missing = [str(path) for path in artefacts if not path.is_file()]
    if missing:
        print(f"missing: {', '.join(missing)} (build the dist target: cmake --build --preset dist)")
        return 1

    check_sums(dist, artefacts)
    readme32 = check_zip(zip32, exe32, PE32, MACHINE_I386, version)
    readme64 = check_zip(zip64, exe64, PE32_PLUS, MACHINE_AMD64, version)
    check(readme32 == readme64, "the two zips hold different README.txt files")
    check_program("installer", setup.read_bytes(), PE32, MACHINE_I386)

    for failure in failures:
        print(f"FAIL: {failure}")
    if failures:
        return 1
    print(f"{', '.join(path.name for path in artefacts)} and SHA256SUMS: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
