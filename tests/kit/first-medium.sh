#!/usr/bin/env bash
# docs/first-medium.md as a vendor follows it: its script (the ini block) and
# its session (the block that clicks) on a medium made as its steps say, checked
# by medium and run by the simulator, both of which must succeed.
# Usage: tests/kit/first-medium.sh SOURCE_DIR MEDIUM SIMULATOR
set -euo pipefail
source_dir=$1
medium_tool=$2
simulator=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/first-medium-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

python3 - "$source_dir/docs/first-medium.md" "$scratch" <<'PY'
import pathlib, re, sys
text = pathlib.Path(sys.argv[1]).read_text()
blocks = re.findall(r"```(\w*)\n(.*?)```", text, re.S)
out = pathlib.Path(sys.argv[2])
(out / "Setup.ini.utf8").write_text(next(b for kind, b in blocks if kind == "ini"))
(out / "session.txt").write_text(next(b for kind, b in blocks if kind == "" and "click " in b))
PY
cd "$scratch"
mkdir -p muster/Daten
iconv -f UTF-8 -t CP1252 Setup.ini.utf8 | sed 's/$/\r/' > muster/Setup.ini
echo "Muster" > muster/Muster.exe
echo "Liesmich" > muster/Liesmich.txt
echo "Nr;Name" > Kunden.csv
zip -qj muster/Daten/Kunden.cs_ Kunden.csv
"$medium_tool" check muster
"$simulator" muster windows session.txt > transcript.txt || { cat transcript.txt; exit 1; }
echo "first-medium: the guide's medium checks clean and its session passes"
