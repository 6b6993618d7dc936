#!/usr/bin/env bash
# docs/first-medium.md as a vendor follows it: its script (the ini block) and
# the product's files, built into a medium by `medium build` and checked by
# `medium check` as its steps say, then its session (the block that clicks) run by
# the simulator; every step must succeed.
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
cp Setup.ini.utf8 muster/Setup.ini
echo "Muster" > muster/Muster.exe
echo "Liesmich" > muster/Liesmich.txt
echo "Nr;Name" > muster/Daten/Kunden.csv
printf 'MZ a stand-in for Setup.exe' > Setup.exe
"$medium_tool" build muster muster-medium --setup Setup.exe > build.txt 2>&1 || { cat build.txt; exit 1; }
"$medium_tool" check muster-medium
"$simulator" muster-medium windows session.txt > transcript.txt || { cat transcript.txt; exit 1; }
echo "first-medium: the guide's medium checks clean and its session passes"
