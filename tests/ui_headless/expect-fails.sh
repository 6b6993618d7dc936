#!/bin/sh
# Runs a session with one more line at its end and passes only when the
# simulator rejects that line: exit status 1 and a failure naming it.
# usage: expect-fails.sh SIMULATOR MEDIUM WINROOT SESSION LINE
simulator=$1 medium=$2 root=$3 session=$4 line=$5
rm -rf "$root"
errors=$({ cat "$session"; printf '%s\n' "$line"; } |
    "$simulator" --convert-text "$medium" "$root" - 2>&1 >/dev/null)
status=$?
if [ "$status" -ne 1 ]; then
    echo "exit status $status, not 1, for: $line"
    exit 1
fi
lines=$(wc -l <"$session")
case "$errors" in
*"line $((lines + 1)): expected ${line#expect }, found"*) exit 0 ;;
*) echo "no failure for the last line: $errors"; exit 1 ;;
esac
