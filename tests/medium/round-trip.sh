#!/usr/bin/env bash
# `medium build` and back: builds a medium from examples/full (its programs, logo
# and uninstaller added as a vendor would), installs it with the simulator along
# SESSION (changing diskettes at its prompts) and compares every installed file
# with its source byte for byte; an archive's file also keeps its time.
# Usage: round-trip.sh MEDIUM SIMULATOR WORK SESSION [BUILD OPTION...]
set -euo pipefail
medium=$1 simulator=$2 work=$3 session=$4
shift 4
root=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
src=$work/src
bash "$root/tests/medium/full-source.sh" "$src"
"$medium" build "$src" "$work/out" --setup "$src/Setup.exe" --uninstaller "$src/Uninstall.exe" "$@"
first=$work/out
[ -d "$first/Diskette 1" ] && first="$first/Diskette 1"
"$medium" check "$work/out"
# Every archive reads with Info-ZIP too.
find "$work/out" -name '*_' -print0 | xargs -0 -n1 unzip -tq > /dev/null
"$simulator" "$first" "$work/win" "$session" > "$work/transcript.txt" ||
    { cat "$work/transcript.txt"; exit 1; }

installed=$work/win/c/Programme/Beispiel
status=0
while IFS='|' read -r source target; do
    if ! cmp "$src/$source" "$installed/$target"; then
        echo "round-trip: $target differs from $source" >&2
        status=1
    fi
done << 'LIST'
Beispiel.exe|Beispiel.exe
Werkzeug.exe|Werkzeug.exe
Liesmich.txt|Liesmich.txt
Beispiel.bsp|Beispiel.bsp
Handbuch.txt|Hilfe/Handbuch.txt
Daten/Kunden.csv|Daten/Kunden.csv
Vorlagen/Brief.txt|Vorlagen/Geschäftsbriefe/Brief.txt
Treiber/NT.txt|Treiber/NT.txt
LIST
cmp "$src/Uninstall.exe" "$work/win/c/WINDOWS/Uninstall Beispiel.exe"
[ "$(date -r "$installed/Hilfe/Handbuch.txt" +%F.%T)" = 2021-03-04.05:06:08 ] ||
    { echo "round-trip: the archive's time was not kept" >&2; status=1; }
exit $status
