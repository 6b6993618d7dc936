#!/usr/bin/env bash
# `medium build` against Info-ZIP zip -9: the source of the copy-phase medium
# (bench/make-copy-medium.py: 200 files, 50,000,000 bytes, every other one to be
# packed alone into an archive) built into a medium, and the same files packed
# with "zip -9" one archive per file (one zip process per archive, as a vendor's
# script would). Both take turns, several rounds; each run writes a fresh folder
# after an untimed sync.
# Reported: the bytes of the archives of each (the medium's archives against the
# zip -9 ones), and the median wall time of `medium build` (the whole medium: the
# plain files copied too) and of the zip -9 run, with every round's time.
#
# Usage: bash bench/medium-build.sh [ROUNDS]   (default 5)
# Environment: WORK (scratch folder, default build/perf/medium-build),
#              MEDIUM (default build/bench/tools/medium/medium, built when missing).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${1:-5}
WORK=${WORK:-$ROOT/build/perf/medium-build}
MEDIUM=${MEDIUM:-$ROOT/build/bench/tools/medium/medium}

for tool in zip unzip python3 cmake; do
    command -v "$tool" > /dev/null || { echo "medium-build.sh: $tool is missing" >&2; exit 2; }
done
if [ "$MEDIUM" = "$ROOT/build/bench/tools/medium/medium" ]; then
    (cd "$ROOT" && cmake --preset bench > /dev/null && cmake --build build/bench -j2 --target medium > /dev/null)
fi
[ -x "$MEDIUM" ] || { echo "medium-build.sh: no medium at $MEDIUM" >&2; exit 2; }

# The source: the generated medium with each archive unpacked beside it.
rm -rf "$WORK"
mkdir -p "$WORK/runs"
src=$WORK/src
python3 "$ROOT/bench/make-copy-medium.py" "$src" > /dev/null
rm -f "$src/baseline.txt"
: > "$WORK/packed.txt"
while IFS= read -r -d '' archive; do
    unzip -qq -o "$archive" -d "$(dirname "$archive")"
    rm "$archive"
    entry=$(ls "${archive%_}"?)
    echo "${entry#$src/}" >> "$WORK/packed.txt"
done < <(find "$src" -name '*_' -print0 | sort -z)

run_medium() { "$MEDIUM" build "$src" "$1" 2> /dev/null; }
run_zip() {
    local file
    while IFS= read -r file; do
        mkdir -p "$1/$(dirname "$file")"
        (cd "$src/$(dirname "$file")" && zip -q -X -9 "$1/${file%?}_" "$(basename "$file")")
    done < "$WORK/packed.txt"
}

timed() {
    local start end
    sync
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    echo "$(((end - start) / 1000))" | awk '{ printf "%.3f", $1 / 1000 }'
}

: > "$WORK/times.txt"
for round in $(seq "$ROUNDS"); do
    order="medium zip"
    [ $((round % 2)) -eq 0 ] && order="zip medium"
    for what in $order; do
        echo "$what $(timed "run_$what" "$WORK/runs/$what-$round")" >> "$WORK/times.txt"
    done
done
python3 - "$WORK/times.txt" "$ROUNDS" "$WORK/packed.txt" "$src" "$WORK/runs" <<'PY'
import os
import statistics
import sys

times = {}
for line in open(sys.argv[1]):
    what, ms = line.split()
    times.setdefault(what, []).append(float(ms))
rounds, packed, src, runs = sys.argv[2:]
# Per file: unpacked size, the medium's archive and zip -9's.
rows = []
for name in open(packed).read().split():
    archive = name[:-1] + "_"
    rows.append((os.path.getsize(os.path.join(src, name)),
                 os.path.getsize(os.path.join(runs, "medium-1", archive)),
                 os.path.getsize(os.path.join(runs, "zip-1", archive))))
def report(title, chosen):
    unpacked = sum(r[0] for r in chosen)
    medium = sum(r[1] for r in chosen)
    zipped = sum(r[2] for r in chosen)
    print(f"{title}: {len(chosen)} files, {unpacked} bytes unpacked")
    print(f"  medium build  {medium:>10} bytes ({100 * medium / unpacked:.1f} %)")
    print(f"  zip -9        {zipped:>10} bytes ({100 * zipped / unpacked:.1f} %)")
    print(f"  medium build is {100 * (1 - medium / zipped):.2f} % smaller")
report("every file packed alone", rows)
# Random bytes: zip -9 stores them as well (its archive not 1 % below the file).
report("the files that deflate at all", [r for r in rows if r[2] < 0.99 * r[0]])
median = {what: statistics.median(values) for what, values in times.items()}
print(f"time, median of {rounds} rounds (ms):")
for what in ("medium", "zip"):
    values = " ".join(f"{v:.0f}" for v in times[what])
    print(f"  {what:7} {median[what]:8.0f}   ({values})")
print(f"ratio medium build / zip -9: {median['medium'] / median['zip']:.2f}")
PY
rm -rf "$WORK/runs"
