#!/usr/bin/env python3
"""check-version.py catches each place that disagrees with the project's version:
one row per place, each a small tree where only that place names another version."""
import pathlib
import struct
import subprocess
import sys
import tempfile
import zipfile

CHECK = pathlib.Path(__file__).with_name("check-version.py")


def exe_bytes(fixed, strings):
    """A stand-in for a program's version resource: the fixed file info and the strings."""
    major, minor, patch, build = (int(n) for n in fixed.split("."))
    data = b"MZ" + struct.pack("<I", 0xFEEF04BD) + "VS_VERSION_INFO\0".encode("utf-16-le")
    data += struct.pack("<IIIII", 0xFEEF04BD, 0x10000,
                                             major << 16 | minor, patch << 16 | build, 0)
    for key, value in strings.items():
        data += (key + "\0").encode("utf-16-le") + b"\0\0" + (value + "\0").encode("utf-16-le")
    return data


def tree(folder, project="1.2.3", changes="1.2.3", tool="1.2.3", fixed="1.2.3.0",
         file_version="1.2.3", product_version="1.2.3", kit=None):
    (folder / "CMakeLists.txt").write_text(f"project(Setup VERSION {project} LANGUAGES CXX)\n")
    (folder / "CHANGES.md").write_text(f"# Changes\n\n## {changes} (today)\n\n## 0.9 (before)\n")
    tool_path = folder / "medium"
    tool_path.write_text(f"#!/bin/sh\necho medium {tool}\n")
    tool_path.chmod(0o755)
    (folder / "Setup.exe").write_bytes(exe_bytes(fixed, {"FileVersion": file_version,
                                                         "ProductVersion": product_version}))
    args = [str(folder), "--program", str(tool_path), "--exe", str(folder / "Setup.exe")]
    if kit:
        archive = folder / f"setup-kit-{kit}.zip"
        with zipfile.ZipFile(archive, "w") as out:
            top = f"setup-kit-{kit}/"
            out.write(folder / "CHANGES.md", top + "CHANGES.md")
            for name in ("Setup.exe", "Uninstall.exe"):
                out.write(folder / "Setup.exe", top + name)
            for name in ("medium", "simulator"):
                info = zipfile.ZipInfo(top + name)
                info.external_attr = 0o755 << 16
                out.writestr(info, f"#!/bin/sh\necho {name} {kit}\n")
        args += ["--kit", str(archive)]
    return args


# name, what differs, expected exit status, the place the report must name
ROWS = [
    ("all agree", {}, 0, None),
    ("CHANGES.md", {"changes": "1.2.2"}, 1, "version CHANGES.md: 1.2.2 DIFFERS"),
    ("tool", {"tool": "1.3.0"}, 1, "version medium --version: 1.3.0 DIFFERS"),
    ("fixed file version", {"fixed": "1.2.4.0"}, 1, "Setup.exe file version: 1.2.4.0 DIFFERS"),
    ("FileVersion string", {"file_version": "1.0"}, 1, "Setup.exe FileVersion: 1.0 DIFFERS"),
    ("ProductVersion string", {"product_version": "2"}, 1, "ProductVersion: 2 DIFFERS"),
    ("kit agrees", {"kit": "1.2.3"}, 0, "version kit simulator --version: 1.2.3 ok"),
    ("kit name", {"kit": "1.2.0"}, 1, "version kit name: 1.2.0 DIFFERS"),
    ("project changed alone", {"project": "1.3.0"}, 1, "version CHANGES.md: 1.2.3 DIFFERS"),
]


def main():
    failed = 0
    for name, change, status, line in ROWS:
        with tempfile.TemporaryDirectory() as scratch:
            run = subprocess.run([sys.executable, str(CHECK)] + tree(pathlib.Path(scratch), **change),
                                 capture_output=True, text=True)
            ok = run.returncode == status and (line is None or line in run.stdout)
            failed += not ok
            print(f"{'ok' if ok else 'FAILED'}: {name} (status {run.returncode})")
            if not ok:
                print(run.stdout + run.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
