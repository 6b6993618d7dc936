#!/usr/bin/env bash
# The copy phase against unzip and cp: installs a generated medium of 200 files
# (every other one a deflated archive, 50,000,000 bytes installed, five folders;
# bench/make-copy-medium.py) through the simulator built optimised (preset bench),
# normal mode, and does the same work with Info-ZIP unzip and cp into a fresh
# folder, in turns, several rounds.
#
# The simulator's clock skips sleeps (the pause after copying and every other
# fixed wait only advance its tick count), so its time holds no fixed pause. Three
# commands take turns in each round:
#   install   the simulator: start, page 0, "&Weiter..", the copy phase, until the
#             copy page shows its success text;
#   start     the simulator: start and page 0 only (what install does besides copying);
#   baseline  per folder one mkdir -p, one cp of its plain files and one unzip of
#             its archives (a wildcard: one process for all of them), and a
#             copy of the script, which the installer keeps in the folder too.
# The copy phase is install minus start; the ratio is copy phase / baseline (and,
# stricter, install / baseline). Before timing, the simulator's installed tree and
# the baseline's are compared (diff -r). Every run writes into a fresh folder;
# sync (untimed) before each run keeps the write-back of one run out of the next;
# the folders are removed at the end.
#
# Usage: bash bench/copy-phase.sh [ROUNDS]   (default 7)
# Environment: WORK (scratch folder, default build/perf/copy-phase),
#              SIMULATOR (default build/bench/tools/simulator/simulator, built when missing).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${1:-7}
WORK=${WORK:-$ROOT/build/perf/copy-phase}
SIMULATOR=${SIMULATOR:-$ROOT/build/bench/tools/simulator/simulator}

for tool in unzip python3 cmake; do
    command -v "$tool" >/dev/null || { echo "copy-phase.sh: $tool is missing" >&2; exit 2; }
done
if [ "$SIMULATOR" = "$ROOT/build/bench/tools/simulator/simulator" ]; then
    (cd "$ROOT" && cmake --preset bench >/dev/null && cmake --build build/bench -j2 --target simulator >/dev/null)
fi
[ -x "$SIMULATOR" ] || { echo "copy-phase.sh: no simulator at $SIMULATOR" >&2; exit 2; }

rm -rf "$WORK"
mkdir -p "$WORK/runs"
medium=$WORK/medium
python3 "$ROOT/bench/make-copy-medium.py" "$medium"
printf 'expect page 0\nclick &Weiter..\nexpect page 2\nexpect visible MsgKopierenErfolg\n' \
    > "$WORK/install.txt"
printf 'expect page 0\n' > "$WORK/start.txt"

run_install() { "$SIMULATOR" "$medium" "$1" "$WORK/install.txt" > /dev/null; }
run_start() { "$SIMULATOR" "$medium" "$1" "$WORK/start.txt" > /dev/null; }
run_baseline() {
    local target=$1 folder
    for folder in $(cut -d' ' -f2 "$medium/baseline.txt" | sort -u); do
        mkdir -p "$target/$folder"
        (cd "$medium/$folder" && cp -- $(awk -v f="$folder" '$1 == "copy" && $2 == f { print $3 }' \
            "$medium/baseline.txt") "$target/$folder/")
        unzip -qq -o "$medium/$folder/*_" -d "$target/$folder" > /dev/null 2>&1
    done
    cp "$medium/Setup.ini" "$target/"  # the installer keeps a copy of its script
}

# Milliseconds (three decimals) that the command given takes.
timed() {
    local start end
    sync
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    echo "$(((end - start) / 1000))" | awk '{ printf "%.3f", $1 / 1000 }'
}

# Warm-up and check: both produce the same tree.
run_install "$WORK/runs/check-install"
run_baseline "$WORK/runs/check-baseline"
diff -r "$WORK/runs/check-install/c/Programme/Messung" "$WORK/runs/check-baseline" > /dev/null ||
    { echo "copy-phase.sh: the simulator and the baseline installed different files" >&2; exit 1; }

: > "$WORK/times.txt"
for round in $(seq "$ROUNDS"); do
    # The order rotates from round to round, so that all three meet the same drift.
    case $((round % 3)) in
        0) order="install start baseline" ;;
        1) order="baseline install start" ;;
        2) order="start baseline install" ;;
    esac
    for what in $order; do
        echo "$what $(timed "run_$what" "$WORK/runs/$what-$round")" >> "$WORK/times.txt"
    done
done

python3 - "$WORK/times.txt" "$ROUNDS" <<'EOF'
import statistics
import sys

times = {}
for line in open(sys.argv[1]):
    what, ms = line.split()
    times.setdefault(what, []).append(float(ms))
median = {what: statistics.median(values) for what, values in times.items()}
copy = median["install"] - median["start"]
print(f"copy phase, 200 files, 50,000,000 bytes installed; median of {sys.argv[2]} rounds (ms):")
for what in ("install", "start", "baseline"):
    values = " ".join(f"{v:.1f}" for v in times[what])
    print(f"  {what:9} {median[what]:8.1f}   ({values})")
print(f"  copy phase (install - start) {copy:.1f} ms")
print(f"ratio copy phase / baseline: {copy / median['baseline']:.2f}")
print(f"ratio install / baseline:    {median['install'] / median['baseline']:.2f}")
EOF
rm -rf "$WORK/runs"
