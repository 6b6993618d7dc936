#!/usr/bin/env bash
# End-to-end check of ziptool on archives made by Info-ZIP zip: every entry listed,
# tested and extracted byte for byte, also over existing files and into a folder
# that exists in another letter case; a damaged entry fails with its CRC code.
# Usage: tests/ziptool/check.sh ZIPTOOL (a ctest test of the native build)
set -eu
ziptool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check.sh: $*" >&2; exit 1; }
# The run's result code: the number after "result" on the last line.
result_of() { "$ziptool" "$@" | tail -n 1 | sed -n 's/^result //p'; }

mkdir -p "$work/src/Sub/Tiefer"
printf 'Hallo Welt\r\n' > "$work/src/Liesmich.txt"
seq 1 20000 > "$work/src/Sub/Zahlen.txt"
head -c 5000 /dev/urandom > "$work/src/Sub/Tiefer/Zufall.bin"
: > "$work/src/Sub/Leer.txt"
(cd "$work/src" && zip -q -r -X -6 "$work/pack_1.zip" .)
(cd "$work/src" && zip -q -X -0 "$work/stored_1.zip" Liesmich.txt)

[ "$(result_of list "$work/pack_1.zip")" = 6 ] || fail "list: not 6 entries"
[ "$(result_of test "$work/pack_1.zip")" = 6 ] || fail "test: not 6 entries"

"$ziptool" extract "$work/pack_1.zip" "$work/out" > /dev/null
diff -r "$work/src" "$work/out" || fail "extraction differs"
# Again over the files now there: each is replaced, the result is the same.
printf 'alt' > "$work/out/Liesmich.txt"
[ "$(result_of extract "$work/pack_1.zip" "$work/out")" = 6 ] || fail "second extraction"
diff -r "$work/src" "$work/out" || fail "extraction over existing files differs"

# Relative paths are relative to the working folder.
(cd "$work" && "$ziptool" extract pack_1.zip ./rel/../relative > /dev/null)
diff -r "$work/src" "$work/relative" || fail "extraction to a relative folder differs"

# A folder that exists as "SUB" takes the entries of "Sub/", as on Windows.
mkdir -p "$work/mixed/SUB"
"$ziptool" extract "$work/pack_1.zip" "$work/mixed" > /dev/null
[ -f "$work/mixed/SUB/Zahlen.txt" ] && [ ! -e "$work/mixed/Sub" ] || fail "folder case not kept"
cmp "$work/src/Sub/Zahlen.txt" "$work/mixed/SUB/Zahlen.txt" || fail "mixed-case content"

# One flipped byte in stored data: the CRC check fails (-1) and nothing is written.
offset=$((30 + 12))  # local header, then the name "Liesmich.txt"
printf 'X' | dd of="$work/stored_1.zip" bs=1 seek="$offset" conv=notrunc status=none
"$ziptool" test "$work/stored_1.zip" | grep -q "^failed  *code=-1 " || fail "no CRC failure reported"
"$ziptool" extract "$work/stored_1.zip" "$work/bad" > /dev/null
[ -z "$(ls -A "$work/bad" 2>/dev/null)" ] || fail "a damaged entry left a file"
echo "ziptool check passed"
