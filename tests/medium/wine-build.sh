#!/usr/bin/env bash
# medium.exe under Wine: builds the full example flat (with --zip) and over
# diskettes, and checks both media clean with its own `check`.
# Usage: wine-build.sh MEDIUM_EXE WORK
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1 work=$2
source "$root/tools/wine-env.sh"
wine_prefix_ready
rm -rf "$work"
bash "$root/tests/medium/full-source.sh" "$work/src"
win() { winepath -w "$1"; }
for variant in flat diskettes; do
    options=(--zip "$(win "$work/$variant.zip")")
    [ $variant = diskettes ] && options=(--diskettes 3500)
    wine "$exe" build "$(win "$work/src")" "$(win "$work/$variant")" "${options[@]}" \
        --setup "$(win "$work/src/Setup.exe")" --uninstaller "$(win "$work/src/Uninstall.exe")"
    wine "$exe" check "$(win "$work/$variant")" | tee "$work/$variant.txt"
    grep -q '^0 errors' "$work/$variant.txt"
done
unzip -tq "$work/flat.zip"
find "$work/flat" -name '*_' -print0 | xargs -0 -n1 unzip -tq > /dev/null
[ -f "$work/diskettes/Diskette 3/Uninstall.exe" ]
