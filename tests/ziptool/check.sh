#!/usr/bin/env bash
# End-to-end check of ziptool on archives made by Info-ZIP zip: every entry listed,
# tested and extracted byte for byte, also over existing files and into a folder
# that exists in another letter case; archives streamed to a pipe or made from
# standard input and UTF-8 names come out right; natively, arguments and report
# are in the host's UTF-8; a damaged entry fails with its CRC code;
# hostile entry names are refused without a trace; a huge claimed directory costs
# neither time nor memory.
# Usage: tests/ziptool/check.sh ZIPTOOL [wine]
# (a ctest test of the native build, and with "wine" of the Windows build)
set -eu
ziptool=$(realpath "$1")
runner=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "check.sh: $*" >&2; exit 1; }
run_ziptool() {
    if [ "$runner" = wine ]; then
        wine "$ziptool" "$@" | tr -d '\r'
    else
        "$ziptool" "$@"
    fi
}
# The run's result code: the number after "result" on the last line.
result_of() { run_ziptool "$@" | tail -n 1 | sed -n 's/^result //p'; }
# An archive of one stored entry: archive, entry name (with Python escapes such
# as \x00), external attributes.
one_entry() {
    python3 - "$1" "$2" "$3" <<'PY'
import codecs, struct, sys, zlib
path, name, attributes = sys.argv[1], codecs.escape_decode(sys.argv[2])[0], int(sys.argv[3], 0)
data = b'boese'
crc = zlib.crc32(data)
local = struct.pack('<IHHHIIIIHH', 0x04034B50, 10, 0, 0, 0, crc, len(data), len(data), len(name), 0)
central = struct.pack('<IBBHHHIIIIHHHHHII', 0x02014B50, 20, 0, 10, 0, 0, 0, crc, len(data), len(data),
                      len(name), 0, 0, 0, 0, attributes, 0)
directory = len(local) + len(name) + len(data)
end = struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, 1, 1, len(central) + len(name), directory, 0)
open(path, 'wb').write(local + name + data + central + name + end)
PY
}

mkdir -p "$work/src/Sub/Tiefer"
printf 'Hallo Welt\r\n' > "$work/src/Liesmich.txt"
seq 1 20000 > "$work/src/Sub/Zahlen.txt"
head -c 5000 /dev/urandom > "$work/src/Sub/Tiefer/Zufall.bin"
: > "$work/src/Sub/Leer.txt"
(cd "$work/src" && zip -q -r -X -6 "$work/pack_1.zip" .)
(cd "$work/src" && zip -q -X -0 "$work/stored_1.zip" Liesmich.txt)

[ "$(result_of list "$work/pack_1.zip")" = 6 ] || fail "list: not 6 entries"
[ "$(result_of test "$work/pack_1.zip")" = 6 ] || fail "test: not 6 entries"

run_ziptool extract "$work/pack_1.zip" "$work/out" > /dev/null
diff -r "$work/src" "$work/out" || fail "extraction differs"
# Again over the files now there: each is replaced, the result is the same.
printf 'alt' > "$work/out/Liesmich.txt"
[ "$(result_of extract "$work/pack_1.zip" "$work/out")" = 6 ] || fail "second extraction"
diff -r "$work/src" "$work/out" || fail "extraction over existing files differs"

# Relative paths are relative to the working folder.
(cd "$work" && run_ziptool extract pack_1.zip ./rel/../relative > /dev/null)
diff -r "$work/src" "$work/relative" || fail "extraction to a relative folder differs"

# A folder that exists as "SUB" takes the entries of "Sub/", as on Windows.
mkdir -p "$work/mixed/SUB"
run_ziptool extract "$work/pack_1.zip" "$work/mixed" > /dev/null
[ -f "$work/mixed/SUB/Zahlen.txt" ] && [ ! -e "$work/mixed/Sub" ] || fail "folder case not kept"
cmp "$work/src/Sub/Zahlen.txt" "$work/mixed/SUB/Zahlen.txt" || fail "mixed-case content"

# One flipped byte in stored data: the CRC check fails (-1) and nothing is written.
offset=$((30 + 12))  # local header, then the name "Liesmich.txt"
printf 'X' | dd of="$work/stored_1.zip" bs=1 seek="$offset" conv=notrunc status=none
run_ziptool test "$work/stored_1.zip" | grep -q "^failed  *code=-1 " || fail "no CRC failure reported"
run_ziptool extract "$work/stored_1.zip" "$work/bad" > /dev/null
[ -z "$(ls -A "$work/bad" 2>/dev/null)" ] || fail "a damaged entry left a file"

# Archives streamed to a pipe (sizes and CRCs in data descriptors) by zip and by
# Python's zipfile on an unseekable stream, stored and deflated, with an empty file.
(cd "$work/src" && zip -q -r -0 - . | cat > "$work/pipe0_1.zip")
(cd "$work/src" && zip -q -r -6 - . | cat > "$work/pipe6_1.zip")
for compression in ZIP_STORED ZIP_DEFLATED; do
    (cd "$work/src" && python3 - "$work/py${compression}_1.zip" "$compression" <<'PY'
import io, os, sys, zipfile
class Pipe(io.RawIOBase):
    def __init__(self): self.data = bytearray()
    def writable(self): return True
    def write(self, b): self.data += b; return len(b)
pipe = Pipe()
with zipfile.ZipFile(pipe, 'w', getattr(zipfile, sys.argv[2])) as z:
    for folder, _, files in os.walk('.'):
        for name in files:
            z.write(os.path.join(folder, name))
open(sys.argv[1], 'wb').write(pipe.data)
PY
    )
done
for archive in pipe0_1 pipe6_1 pyZIP_STORED_1 pyZIP_DEFLATED_1; do
    run_ziptool extract "$work/$archive.zip" "$work/$archive" > /dev/null
    diff -r "$work/src" "$work/$archive" || fail "$archive: extraction differs"
done
# Made from standard input (the entry "-"): sizes in the local header's ZIP64 field,
# deflated and stored; streamed on to a pipe, a data descriptor with 8-byte sizes.
(cd "$work/src" && zip -q "$work/stdin6_1.zip" - < Sub/Zahlen.txt)
(cd "$work/src" && zip -q -0 "$work/stdin0_1.zip" - < Sub/Zahlen.txt)
(cd "$work/src" && zip -q - - < Sub/Zahlen.txt | cat > "$work/stdinpipe_1.zip")
for archive in stdin6_1 stdin0_1 stdinpipe_1; do
    run_ziptool extract "$work/$archive.zip" "$work/$archive" > /dev/null ||
        fail "$archive: extraction failed"
    cmp "$work/src/Sub/Zahlen.txt" "$work/$archive/-" || fail "$archive: extraction differs"
done

# A name with umlauts in UTF-8 (flag bit 11, as Python writes it) is written in
# the system's code page; one without a form there is refused and writes nothing.
python3 - "$work/utf8_1.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('Gr\u00f6\u00dfe.txt', 'gross')
    z.writestr('\u03a9.txt', 'omega')
PY
run_ziptool extract "$work/utf8_1.zip" "$work/utf8" 'gr*' > /dev/null
[ "$(cat "$work/utf8/Größe.txt")" = gross ] || fail "UTF-8 name not converted"
[ "$(result_of extract "$work/utf8_1.zip" "$work/utf8bad")" = -4 ] ||
    fail "a name without a 1252 form was not refused"
[ "$(ls -A "$work/utf8bad")" = Größe.txt ] || fail "a name without a 1252 form left a file"
# Natively the host speaks UTF-8: a pattern and a target folder with umlauts are
# taken in 1252, the report comes back in UTF-8, and an argument with a character
# that 1252 lacks is refused before anything happens.
if [ -z "$runner" ]; then
    report=$(run_ziptool extract "$work/utf8_1.zip" "$work/Ziel ü" 'Grö*')
    [ "$(cat "$work/Ziel ü/Größe.txt")" = gross ] || fail "umlauts in arguments not taken"
    printf '%s\n' "$report" | grep -q '^done .*\\Ziel ü\\Größe\.txt$' || fail "report not in UTF-8"
    if run_ziptool extract "$work/utf8_1.zip" "$work/omega" 'Ω*' 2> "$work/omega.err"; then
        fail "an argument without a 1252 form was taken"
    fi
    grep -q 'Windows-1252' "$work/omega.err" && [ ! -e "$work/omega" ] ||
        fail "an argument without a 1252 form: no message, or a trace"
fi

# Hostile names: what the system sees ends at a NUL (the parent, the target folder
# itself, marked hidden, system and read-only by a folder entry), devices in any
# case and with extensions, control characters. Refused (-4), nothing changes.
mkdir -p "$work/target/inner"
for name in '..\x00/' 'sub/..\x00/' '..\x00\\' 'NUL' 'lpt1' 'COM1.txt' 'aux.tar.gz' 'sub/Con/x' \
    'bell\x07.txt'; do
    one_entry "$work/hostile_1.zip" "$name" 0x17
    [ "$(result_of extract "$work/hostile_1.zip" "$work/target/inner")" = -4 ] ||
        fail "hostile name $name not refused"
    [ -z "$(ls -A "$work/target/inner")" ] || fail "hostile name $name left a file"
    [ -w "$work/target" ] && [ -w "$work/target/inner" ] || fail "hostile name $name marked a folder"
done

# The report's columns as they have always been (tools read them): negative
# numbers, the time in hexadecimal, the name last.
one_entry "$work/plain_1.zip" 'Plain.txt' 0x21
expected="start         code=-1000  size=5          packed=5          method=0  ratio=0   attr=33  time=00000000 Plain.txt
done          code=-1002  size=5          packed=5          method=0  ratio=0   attr=33  time=00000000 Plain.txt
archive-end   code=1      size=5          packed=5          method=0  ratio=0   attr=-1  time=FFFFFFFF"
[ "$(run_ziptool test "$work/plain_1.zip" | grep -E '^(start|done|archive-end) ' |
    sed 's/^\(archive-end .*\) [^ ]*$/\1/')" = "$expected" ] || fail "report columns changed"

# A sparse file of 3 GB whose end record claims a directory over all of it: -9 at
# once, in bounded memory.
python3 - "$work/huge_1.zip" <<'PY'
import struct, sys
with open(sys.argv[1], 'wb') as f:
    f.write(b'PK\x03\x04')
    f.seek(3_000_000_000)
    f.write(struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, 0, 0, 0, 4, 0))
PY
[ "$(result_of list "$work/huge_1.zip")" = -9 ] || fail "huge directory: list not -9"
[ "$(result_of extract "$work/huge_1.zip" "$work/huge")" = -9 ] || fail "huge directory: not -9"
if [ -z "$runner" ] && [ -x /usr/bin/time ]; then
    peak=$(/usr/bin/time -f %M "$ziptool" list "$work/huge_1.zip" 2>&1 > /dev/null | tail -n 1)
    [ "$peak" -lt 65536 ] || fail "huge directory: peak memory $peak KB"
fi
echo "ziptool check passed"
