#!/usr/bin/env python3
"""One version for everything: compares the project's version (project(... VERSION)
in CMakeLists.txt) with every place that shows it and prints one line per place;
exits 1 when one disagrees, 2 on bad input.

  check-version.py SOURCE_DIR [--changes FILE] [--program PATH]... [--exe PATH]...
                   [--kit ZIP]

  --changes  a CHANGES.md whose newest entry ("## VERSION ...") must name it
             (default: SOURCE_DIR/CHANGES.md)
  --program  a native tool whose --version prints "NAME VERSION"
  --exe      a Windows program whose version resource (the fixed file version and
             the FileVersion and ProductVersion strings) must carry it
  --kit      the kit archive: named setup-kit-VERSION.zip, one folder of that name;
             its CHANGES.md, Setup.exe, Uninstall.exe, medium and simulator are
             checked as above
"""
import argparse
import pathlib
import re
import struct
import subprocess
import sys
import tempfile
import zipfile


def project_version(source):
    text = (source / "CMakeLists.txt").read_text()
    match = re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", text)
    if not match:
        raise ValueError("no project(... VERSION ...) in CMakeLists.txt")
    return match.group(1)


def changes_version(path):
    for line in pathlib.Path(path).read_text().splitlines():
        match = re.match(r"##\s+(\S+)", line)
        if match:
            return match.group(1)
    return None


def program_version(path):
    try:
        out = subprocess.run([str(path), "--version"], capture_output=True, text=True,
                             timeout=60).stdout.strip()
    except OSError as error:
        return f"not run ({error.strerror})"
    name = pathlib.Path(path).name
    return out[len(name) + 1:] if out.startswith(name + " ") else f"printed {out!r}"


def utf16_value(data, key):
    """The string value after KEY in a version resource's StringTable."""
    needle = (key + "\0").encode("utf-16-le")
    at = data.find(needle)
    if at < 0:
        return None
    at += len(needle)
    while data[at:at + 2] == b"\0\0":  # padding to the next 32-bit boundary
        at += 2
    end = at
    while end + 1 < len(data) and data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


def exe_versions(path):
    """(place, version) pairs of a PE program's version resource."""
    data = pathlib.Path(path).read_bytes()
    # The fixed file info follows the resource's key (the signature's bytes alone
    # may occur in code too).
    key = data.find("VS_VERSION_INFO\0".encode("utf-16-le"))
    fixed = data.find(struct.pack("<I", 0xFEEF04BD), key) if key >= 0 else -1
    if fixed < 0:
        return [("version resource", None)]
    ms, ls = struct.unpack_from("<II", data, fixed + 8)
    numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return [("file version", ".".join(map(str, numbers))),
            ("FileVersion", utf16_value(data, "FileVersion")),
            ("ProductVersion", utf16_value(data, "ProductVersion"))]


class Checker:
    def __init__(self, version):
        self.version = version
        self.failed = False

    def compare(self, place, found, expected=None):
        expected = expected or self.version
        ok = found == expected
        self.failed |= not ok
        print(f"version {place}: {found} {'ok' if ok else 'DIFFERS from ' + expected}")

    def exe(self, path):
        for place, found in exe_versions(path):
            # The fixed file version has four numbers; the last is always 0.
            expected = self.version + ".0" if place == "file version" else None
            self.compare(f"{pathlib.Path(path).name} {place}", found, expected)

    def kit(self, archive):
        archive = pathlib.Path(archive)
        self.compare("kit name", archive.name.removeprefix("setup-kit-").removesuffix(".zip")
                     if archive.name.startswith("setup-kit-") else archive.name)
        with tempfile.TemporaryDirectory() as scratch, zipfile.ZipFile(archive) as kit:
            tops = {name.split("/")[0] for name in kit.namelist()}
            self.compare("kit folder", tops.pop().removeprefix("setup-kit-")
                         if len(tops) == 1 else f"{len(tops)} folders")
            # Unpacked as unzip does, keeping the programs' execute bits.
            for info in kit.infolist():
                target = kit.extract(info, scratch)
                if info.external_attr >> 16 & 0o111:
                    pathlib.Path(target).chmod(0o755)
            folder = pathlib.Path(scratch) / f"setup-kit-{self.version}"
            self.compare("kit CHANGES.md", changes_version(folder / "CHANGES.md"))
            for name in ("Setup.exe", "Uninstall.exe"):
                self.exe(folder / name)
            for name in ("medium", "simulator"):
                self.compare(f"kit {name} --version", program_version(folder / name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source", type=pathlib.Path)
    parser.add_argument("--changes")
    parser.add_argument("--program", action="append", default=[])
    parser.add_argument("--exe", action="append", default=[])
    parser.add_argument("--kit")
    args = parser.parse_args()
    try:
        checker = Checker(project_version(args.source))
    except (OSError, ValueError) as error:
        print(f"check-version: {error}", file=sys.stderr)
        return 2
    print(f"version: the project's is {checker.version}")
    checker.compare("CHANGES.md", changes_version(args.changes or args.source / "CHANGES.md"))
    for program in args.program:
        checker.compare(f"{pathlib.Path(program).name} --version", program_version(program))
    for exe in args.exe:
        checker.exe(exe)
    if args.kit:
        checker.kit(args.kit)
    return 1 if checker.failed else 0


if __name__ == "__main__":
    sys.exit(main())
