#!/usr/bin/env python3
"""Writes the medium of the copy-phase benchmark: Setup.ini (Windows-1252, CR LF)
and 200 files in five folders, about 50 MB, from a fixed seed. Every other file
is packed alone into a deflated ZIP archive whose name ends in "_" (Daten.cs_
holds Daten.csv); the rest are plain. Sizes range from 2 KB to 6 MB, the contents
from repetitive text to random bytes, so that both paths (copy and inflate) meet
small and large files and data that packs well and badly.

Also writes baseline.txt, the same work as lines for the baseline: "copy FOLDER
FILE" and "unzip FOLDER ARCHIVE", FOLDER relative to the installation folder.

Usage: make-copy-medium.py FOLDER [FILES]   (default 200 files; the same 50 MB in all)
"""
import os
import random
import sys
import zipfile

FILES = 200
TOTAL_BYTES = 50_000_000
FOLDERS = ["Programm", "Daten", "Daten\\Archiv", "Hilfe", "Vorlagen"]
EXTENSIONS = ["txt", "csv", "dat", "dll", "hlp"]
WORDS = (b"Setup kopiert die Dateien in den Zielordner Bitte warten Modul wird entpackt "
         b"Programmgruppe und Registrierung Fehler beim Lesen der Archivdatei Neustart").split()


def contents(rng, size, kind):
    """`size` bytes of text (kind 0), records (1) or random bytes (2)."""
    if kind == 2:
        return rng.randbytes(size)
    out = bytearray()
    if kind == 0:
        while len(out) < size:
            line = b" ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14)))
            out += line + b" %d\r\n" % rng.randint(0, 99999)
    else:
        base = rng.getrandbits(32)
        index = 0
        while len(out) < size:
            out += (base + index * 3 & 0xFFFFFFFF).to_bytes(4, "little")
            out += rng.randbytes(2) + bytes(6)
            index += 1
    return bytes(out[:size])


def sizes(rng, files):
    """`files` sizes adding up to about TOTAL_BYTES: a few large files, many small."""
    weights = [rng.paretovariate(1.1) for _ in range(files)]
    scale = TOTAL_BYTES / sum(weights)
    for _ in range(20):  # the limits take some bytes off; scale up until they are back
        result = [max(2048, min(6_000_000, int(w * scale))) for w in weights]
        scale *= TOTAL_BYTES / sum(result)
    return result


def main():
    medium = sys.argv[1]
    files = int(sys.argv[2]) if len(sys.argv) > 2 else FILES
    rng = random.Random(2024)
    os.makedirs(medium, exist_ok=True)
    script = ["[ProgInfos]", "Firma=Messung GmbH", "Name=Messung", "Version=1.0",
              "ZielVerz=@@PRGDIR@@Messung", "", "[Dateien]"]
    baseline = []
    for number, size in enumerate(sizes(rng, files)):
        folder = FOLDERS[number % len(FOLDERS)]
        host_folder = os.path.join(medium, *folder.split("\\"))
        os.makedirs(host_folder, exist_ok=True)
        name = ("Datei%04d.%s" if files > 1000 else "Datei%03d.%s") % (number, EXTENSIONS[number // len(FOLDERS) % len(EXTENSIONS)])
        data = contents(rng, size, number % 3)
        target = "@@INSTDIR@@%s\\" % folder
        if number % 2:
            packed = name[:-1] + "_"
            with zipfile.ZipFile(os.path.join(host_folder, packed), "w",
                                 zipfile.ZIP_DEFLATED, compresslevel=6) as archive:
                info = zipfile.ZipInfo(name, date_time=(2024, 5, 17, 12, 0, 0))
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data)
            script.append("%s\\%s@1=%s" % (folder, packed, target))
            baseline.append("unzip %s %s" % (folder.replace("\\", "/"), packed))
        else:
            with open(os.path.join(host_folder, name), "wb") as plain:
                plain.write(data)
            script.append("%s\\%s=%s" % (folder, name, target))
            baseline.append("copy %s %s" % (folder.replace("\\", "/"), name))
    with open(os.path.join(medium, "Setup.ini"), "wb") as ini:
        ini.write(("\r\n".join(script) + "\r\n").encode("cp1252"))
    with open(os.path.join(medium, "baseline.txt"), "w") as lines:
        lines.write("\n".join(baseline) + "\n")


if __name__ == "__main__":
    main()
