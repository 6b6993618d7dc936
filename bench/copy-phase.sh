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
#              SIMULATOR (default build/bench/tools/simulator/simulator, built when missing),
#              FILES (files on the medium, default 200; the same 50 MB for any count),
#              ANCHOR (another simulator, e.g. an earlier build: its install is timed
#              in the same rounds as a fourth command "anchor", its copy phase is
#              anchor - start).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${1:-7}
WORK=${WORK:-$ROOT/build/perf/copy-phase}
SIMULATOR=${SIMULATOR:-$ROOT/build/bench/tools/simulator/simulator}
FILES=${FILES:-200}
ANCHOR=${ANCHOR:-}

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
python3 "$ROOT/bench/make-copy-medium.py" "$medium" "$FILES"
printf 'expect page 0\nclick &Weiter..\nexpect page 2\nexpect visible MsgKopierenErfolg\n' \
    > "$WORK/install.txt"
printf 'expect page 0\n' > "$WORK/start.txt"

run_install() { "$SIMULATOR" "$medium" "$1" "$WORK/install.txt" > /dev/null; }
run_anchor() { "$ANCHOR" "$medium" "$1" "$WORK/install.txt" > /dev/null; }
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
if [ -n "$ANCHOR" ]; then
    run_anchor "$WORK/runs/check-anchor"
    diff -r "$WORK/runs/check-install/c/Programme/Messung" "$WORK/runs/check-anchor/c/Programme/Messung" \
        > /dev/null || { echo "copy-phase.sh: the simulator and the anchor installed different files" >&2; exit 1; }
fi

: > "$WORK/times.txt"
for round in $(seq "$ROUNDS"); do
    # The order rotates from round to round, so that all three meet the same drift.
    if [ -n "$ANCHOR" ]; then
        case $((round % 4)) in
            0) order="install start baseline anchor" ;;
            1) order="anchor install start baseline" ;;
            2) order="baseline anchor install start" ;;
            3) order="start baseline anchor install" ;;
        esac
    else
        case $((round % 3)) in
            0) order="install start baseline" ;;
            1) order="baseline install start" ;;
            2) order="start baseline install" ;;
        esac
    fi
    for what in $order; do
        echo "$what $(timed "run_$what" "$WORK/runs/$what-$round")" >> "$WORK/times.txt"
    done
done

python3 - "$WORK/times.txt" "$ROUNDS" "$FILES" <<'EOF'
import statistics
import sys

times = {}
for line in open(sys.argv[1]):
    what, ms = line.split()
    times.setdefault(what, []).append(float(ms))
median = {what: statistics.median(values) for what, values in times.items()}
copy = median["install"] - median["start"]
print(f"copy phase, {sys.argv[3]} files, 50,000,000 bytes installed; median of {sys.argv[2]} rounds (ms):")
for what in [w for w in ("install", "start", "baseline", "anchor") if w in times]:
    values = " ".join(f"{v:.1f}" for v in times[what])
    print(f"  {what:9} {median[what]:8.1f}   ({values})")
print(f"  copy phase (install - start) {copy:.1f} ms")
print(f"ratio copy phase / baseline: {copy / median['baseline']:.2f}")
print(f"ratio install / baseline:    {median['install'] / median['baseline']:.2f}")
if "anchor" in median:
    anchor = median["anchor"] - median["start"]
    print(f"  anchor copy phase (anchor - start) {anchor:.1f} ms")
    print(f"ratio anchor copy phase / copy phase: {anchor / copy:.2f}")
    print(f"ratio anchor copy phase / baseline:   {anchor / median['baseline']:.2f}")
EOF
rm -rf "$WORK/runs"
