#!/usr/bin/env bash
# How the copy phase of the real Setup.exe grows with the number of files: runs it
# under Wine (on a virtual screen unless $DISPLAY is set), worked by the
# end-to-end driver (tests/e2e/driver), on the media of bench/make-copy-medium.py
# with 200, 1,000, 2,000 and 4,000 files (the same 50,000,000 bytes installed in
# each, every other file a deflated archive, five folders).
#
# Wine runs in a prefix of its own (PREFIX, made once like the one of
# tools/wine-env.sh), so that its server can be kept up, and ended at the end,
# without touching the programs of anyone else who uses the project's prefix.
# The media lie side by side in one folder, mapped as drive P: (a dosdevices link,
# as tests/e2e/run.sh maps M:), each with a copy of Setup.exe: P:\200\Setup.exe
# and so on. Four commands take turns in each round, and every file count runs in
# every round, so that all meet the same drift:
#   install  the driver: start Setup.exe, its first page (the installation folder,
#            as proposed), "&Weiter..", the copy page until it shows "Alle
#            Programmdateien wurden erfolgreich kopiert.", then "&Abbruch" and
#            "Bestätigen" "&Ja" until the program has ended;
#   start    the driver: start, the first page, "&Abbruch", "&Ja", ended;
#   xcopy    Wine's own copy of the medium's files: wine cmd /c xcopy of the
#            medium's folder (archives copied as they are, not unpacked);
#   native   per folder one cp of its plain files and one unzip of its archives
#            (as bench/copy-phase.sh), without Wine.
# The copy phase is install minus start (medians; the spread is that of the
# differences within a round). It holds fixed costs besides copying: the
# program's pause of one second after the last file, the driver's wait after its
# click, and up to 100 ms until the driver looks for the text again. The lines of
# the driver are stamped with the host's clock as they come: "window to text" is
# the time from the first page found to the success text found, without starting
# and ending Wine and the program (it cannot be shorter than the click's own wait,
# about 1.5 s, so it says little for copies faster than that).
# The driver waits at most 30 s for the success text: a count whose copy takes
# longer fails its first install and ends the series there.
# Before timing, each count runs once: Setup.exe's installed tree must equal the
# native one (diff -r). Every run writes into a fresh folder, removed and synced
# untimed before the next. The times are kept in WORK/times.txt, the driver's
# stamped lines in WORK/logs/, the media in WORK/media/ (about 200 MB).
#
# Usage: bash bench/copy-phase-wine.sh [ROUNDS]   (default 5)
# Environment: WORK (scratch folder, default build/perf/copy-phase-wine),
#              COUNTS (file counts, default "200 1000 2000 4000"),
#              SETUP_WIN32_BUILD_DIR (default build/win32; Setup.exe and the driver
#              are built there, -j1, when out of date),
#              LIMIT (seconds; a count whose first install takes longer ends the
#              series there, default 180),
#              PREFIX (the Wine prefix, default build/perf/wineprefix; kept).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${1:-5}
WORK=${WORK:-$ROOT/build/perf/copy-phase-wine}
COUNTS=${COUNTS:-200 1000 2000 4000}
BUILD=${SETUP_WIN32_BUILD_DIR:-$ROOT/build/win32}
LIMIT=${LIMIT:-180}
PREFIX=${PREFIX:-$ROOT/build/perf/wineprefix}

for tool in wine wineserver Xvfb unzip python3 cmake; do
    command -v "$tool" > /dev/null || { echo "copy-phase-wine.sh: $tool is missing" >&2; exit 2; }
done
(
    cd "$ROOT"
    [ -f "$BUILD/build.ninja" ] || cmake --preset win32 -B "$BUILD" > /dev/null
    cmake --build "$BUILD" -j1 --target Setup e2e_driver > /dev/null
)
setup=$(find "$BUILD/src" -name Setup.exe -type f -print -quit)
driver=$BUILD/tests/e2e/e2e_driver.exe
if [ -z "$setup" ] || [ ! -f "$driver" ]; then
    echo "copy-phase-wine.sh: no Setup.exe or driver in $BUILD" >&2
    exit 2
fi

root=$ROOT  # tools/wine-env.sh expects it
source "$ROOT/tools/wine-env.sh"
export WINEPREFIX=$PREFIX
wine_prefix_ready
perf=$WINEPREFIX/drive_c/perf                  # C:\perf: the driver, its scenarios, the runs
target="$WINEPREFIX/drive_c/Program Files/Messung"  # the installation folder Setup.exe proposes

rm -rf "$WORK" "$perf" "$target"
mkdir -p "$WORK/media" "$WORK/logs" "$WORK/runs" "$perf"
for files in $COUNTS; do
    python3 "$ROOT/bench/make-copy-medium.py" "$WORK/media/$files" "$files"
    cp "$setup" "$WORK/media/$files/Setup.exe"
done
ln -sfn "$WORK/media" "$WINEPREFIX/dosdevices/p:"
cp "$driver" "$perf/driver.exe"
# %FILES% comes from the environment: the medium of the count being run.
cat > "$perf/install.txt" << 'EOF'
start P:\%FILES%\Setup.exe
wait window "Messung GmbH Installation*"
click &Weiter..
expect text Alle Programmdateien wurden erfolgreich kopiert.*
click &Abbruch
answer Bestätigen &Ja
expect exited
EOF
cat > "$perf/start.txt" << 'EOF'
start P:\%FILES%\Setup.exe
wait window "Messung GmbH Installation*"
click &Abbruch
answer Bestätigen &Ja
expect exited
EOF

own_screen=no
finish() {
    rm -rf "$target" "$perf" "$WORK/runs"
    rm -f "$WINEPREFIX/dosdevices/p:"
    if [ "$own_screen" = yes ]; then
        stop_virtual_screen
    else
        wineserver -k 2> /dev/null || true
    fi
}
trap finish EXIT
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_screen "$WORK/xvfb.log"
    own_screen=yes
fi
wine_draw_own_frames yes
# The server stays up between runs: no run pays for starting it.
wineserver -w
wineserver -p
# Wine's own processes start now, away from the pipes of the timed runs (they
# stay with the server and would keep a pipe open).
wine cmd /c exit < /dev/null > /dev/null 2>&1

# Each driver line with the host's time (seconds, microseconds) in front.
stamp() {
    local line
    while IFS= read -r line; do
        printf '%s %s\n' "$EPOCHREALTIME" "$line"
    done
}

# One command of a round, its log in WORK/logs/COUNT-WHAT-ROUND.log; prints
# milliseconds and returns the command's status.
timed() {  # count, what, round
    local files=$1 what=$2 round=$3 start end status=0
    local log=$WORK/logs/$files-$what-$round.log
    rm -rf "$target" "$WORK/runs/native" "$perf/xcopy"
    sync
    start=$(date +%s%N)
    case $what in
        install | start) FILES=$files wine 'C:\perf\driver.exe' "C:\\perf\\$what.txt" < /dev/null 2>&1 |
            stamp > "$log" || status=$? ;;
        xcopy) wine cmd /c xcopy "P:\\$files" 'C:\perf\xcopy\' /s /e /i /q /y < /dev/null > "$log" 2>&1 ||
            status=$? ;;
        native) run_native "$WORK/media/$files" "$WORK/runs/native" > "$log" 2>&1 || status=$? ;;
    esac
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
    return $status
}

# The same work without Wine: cp and unzip per folder, and the script's copy.
run_native() {  # medium, target
    local medium=$1 out=$2 folder
    for folder in $(cut -d' ' -f2 "$medium/baseline.txt" | sort -u); do
        mkdir -p "$out/$folder"
        (cd "$medium/$folder" && cp -- $(awk -v f="$folder" '$1 == "copy" && $2 == f { print $3 }' \
            "$medium/baseline.txt") "$out/$folder/")
        unzip -qq -o "$medium/$folder/*_" -d "$out/$folder"
    done
    cp "$medium/Setup.ini" "$out/"
}

# From the first page found to the success text found, in milliseconds.
window_to_text() {  # log
    awk '/^[0-9.]+ ok .*wait window/ { from = $1 } /^[0-9.]+ ok .*expect text/ { to = $1 }
         END { if (from && to) printf "%d\n", (to - from) * 1000 }' "$1"
}

# Warm-up and check; a count that fails or takes longer than LIMIT ends the series.
counts=()
for files in $COUNTS; do
    if ! ms=$(timed "$files" install 0); then
        echo "copy-phase-wine.sh: $files files: the install did not pass; see $WORK/logs/$files-install-0.log" >&2
        grep -v ' ok ' "$WORK/logs/$files-install-0.log" | head -20 >&2
        break
    fi
    run_native "$WORK/media/$files" "$WORK/runs/check" > /dev/null 2>&1
    diff -r -x Setup.ini "$target" "$WORK/runs/check" > /dev/null ||
        { echo "copy-phase-wine.sh: $files files: Setup.exe and the native copy installed different files" >&2; exit 1; }
    rm -rf "$WORK/runs/check"
    counts+=("$files")
    echo "$files files: first install ${ms} ms"
    if [ "$ms" -gt $((LIMIT * 1000)) ]; then
        echo "copy-phase-wine.sh: $files files took more than $LIMIT s: no larger counts" >&2
        break
    fi
done
[ ${#counts[@]} -gt 0 ] || exit 1

: > "$WORK/times.txt"
for round in $(seq "$ROUNDS"); do
    case $((round % 4)) in  # the order rotates from round to round
        0) order="install start xcopy native" ;;
        1) order="start xcopy native install" ;;
        2) order="xcopy native install start" ;;
        3) order="native install start xcopy" ;;
    esac
    for files in "${counts[@]}"; do
        for what in $order; do
            ms=$(timed "$files" "$what" "$round") ||
                { echo "copy-phase-wine.sh: $files files, $what, round $round failed; see $WORK/logs" >&2; exit 1; }
            echo "$files $round $what $ms" >> "$WORK/times.txt"
            if [ "$what" = install ]; then
                echo "$files $round window-to-text $(window_to_text "$WORK/logs/$files-install-$round.log")" \
                    >> "$WORK/times.txt"
            fi
        done
    done
    echo "round $round of $ROUNDS done"
done

python3 - "$WORK/times.txt" "$ROUNDS" << 'EOF'
import math
import statistics
import sys

times = {}
for line in open(sys.argv[1]):
    files, round_, what, ms = line.split()
    times.setdefault(int(files), {}).setdefault(what, {})[int(round_)] = int(ms)
for values in times.values():
    values["copy"] = {r: values["install"][r] - values["start"][r] for r in values["install"]}


def median(files, what):
    if what == "copy":  # install - start, the medians
        return median(files, "install") - median(files, "start")
    return statistics.median(times[files][what].values())


def spread(files, what):
    values = times[files][what].values()
    return f"({min(values) / 1000:.2f}-{max(values) / 1000:.2f})"


counts = sorted(times)
print(f"Setup.exe's copy phase under Wine, 50,000,000 bytes; medians of {sys.argv[2]} rounds "
      "(seconds, min-max):")
print(f"{'files':>6} {'install':>19} {'start':>19} {'copy phase':>19} {'ms/file':>8} "
      f"{'window to text':>19} {'xcopy':>19} {'native':>19}")
for files in counts:
    cells = [f"{median(files, w) / 1000:6.2f} {spread(files, w):>12}"
             for w in ("install", "start", "copy")]
    cells.append(f"{median(files, 'copy') / files:8.2f}")
    cells += [f"{median(files, w) / 1000:6.2f} {spread(files, w):>12}"
              for w in ("window-to-text", "xcopy", "native")]
    print(f"{files:6} " + " ".join(cells))
print("Between counts: growth per doubling of the files (1.00 = constant, 2.00 = linear)")
print("and the cost of each added file (ms):")
print(f"{'files':>12} {'copy phase':>18} {'window to text':>18} {'xcopy':>18} {'native':>18}")
for small, large in zip(counts, counts[1:]):
    doublings = math.log2(large / small)
    cells = []
    for what in ("copy", "window-to-text", "xcopy", "native"):
        a, b = median(small, what), median(large, what)
        growth = (b / a) ** (1 / doublings) if a > 0 and b > 0 else float("nan")
        cells.append(f"{growth:6.2f} {(b - a) / (large - small):6.2f} ms")
    print(f"{small:>5}-{large:<6} " + " ".join(f"{c:>18}" for c in cells))
if len(counts) > 1:
    # A straight line through the medians (least squares): fixed part and cost per file.
    print("Straight line through the medians: seconds + milliseconds per file")
    for what in ("copy", "window-to-text", "xcopy", "native"):
        ys = [median(files, what) for files in counts]
        mean_x, mean_y = statistics.mean(counts), statistics.mean(ys)
        slope = (sum((x - mean_x) * (y - mean_y) for x, y in zip(counts, ys)) /
                 sum((x - mean_x) ** 2 for x in counts))
        worst = max(abs(y - (mean_y + slope * (x - mean_x))) for x, y in zip(counts, ys))
        label = "copy phase" if what == "copy" else what.replace("-", " ")
        print(f"  {label:15} {(mean_y - slope * mean_x) / 1000:6.2f} s + {slope:5.2f} ms/file"
              f"   (farthest median {worst / 1000:.2f} s off the line)")
EOF
