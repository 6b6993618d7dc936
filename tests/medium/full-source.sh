#!/usr/bin/env bash
# The source folder a vendor would hand `medium build` for the full example:
# examples/full with its programs, logo, uninstaller and Setup.exe (stand-ins)
# added; the tests name the last two with --setup and --uninstaller, so that a
# Windows build in the tree does not change the medium.
# Usage: full-source.sh FOLDER   (prints nothing; FOLDER is made anew)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
src=$1
rm -rf "$src"
mkdir -p "$(dirname "$src")"
cp -r "$root/examples/full" "$src"
cp "$root/examples/sessions/media/Beispiel/Beispiel.exe" "$src/Beispiel.exe"
cp "$root/examples/sessions/media/Beispiel/Uninstall.exe" "$src/Uninstall.exe"
seq 1 1200 > "$src/Werkzeug.exe"
printf 'BM a logo' > "$src/Logo.bmp"
printf 'MZ a stand-in for Setup.exe' > "$src/Setup.exe"
touch -d '2021-03-04 05:06:08' "$src/Handbuch.txt"
