#!/usr/bin/env bash
# Whole-process extraction timing: ziptool (Release) against Info-ZIP unzip and
# libarchive's bsdtar on the same three archives, made with Info-ZIP zip -6:
#   text_20mb.zip    one 20 MB entry, C headers from /usr/include concatenated
#   binary_20mb.zip  one 20 MB entry, ELF programs from /usr/bin concatenated
#   small_2000.zip   2,000 entries: the first 2,000 files under /usr/include (in
#                    path order, in their folders) whose paths differ in more
#                    than case, since ziptool extracts with Windows' rules
#   small_100000.zip 100,000 entries of 100 to 2,000 bytes of generated text in
#                    500 folders (only when named in ARCHIVES)
#
# Every timed run extracts into a fresh, empty folder and on disk nothing is
# deleted while timing: on some file systems creating files soon after deleting
# many is very slow. hyperfine's --prepare step (untimed) flushes the previous
# runs' output to disk (sync), on tmpfs deletes it instead (see below), makes the
# folder with mktemp -d and points the link "current" at it; the timed command
# extracts into "current".
# The tools take turns: rounds of two runs each, in an order that rotates from
# round to round, so that all three meet the same drift of a shared machine.
# Before timing, each tool extracts every archive once and the results are
# compared. The extracted folders are removed at the end, after all timing.
#
# Usage: bash bench/extract.sh [RUNS]     (default 10 runs per tool and archive)
# Environment: WORK (scratch folder, default build/perf/extract-bench; a folder
#              on tmpfs such as /dev/shm/extract-bench takes the disk out),
#              ZIPTOOL (default build/bench/tools/ziptool/ziptool),
#              ANCHOR (another ziptool, e.g. an earlier build, timed in the same
#              rounds as a fourth tool "anchor"),
#              ARCHIVES (default "text_20mb binary_20mb small_2000").
# Needs: hyperfine, zip, unzip, bsdtar (Debian: libarchive-tools), python3.
set -eu  # no pipefail: the corpus pipelines end early on purpose

ROOT=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${1:-10}
WORK=${WORK:-$ROOT/build/perf/extract-bench}
ZIPTOOL=${ZIPTOOL:-$ROOT/build/bench/tools/ziptool/ziptool}

for tool in hyperfine zip unzip bsdtar python3; do
    command -v "$tool" >/dev/null || { echo "extract.sh: $tool is missing" >&2; exit 2; }
done
[ -x "$ZIPTOOL" ] || {
    echo "extract.sh: no $ZIPTOOL; build it: cmake --preset bench && cmake --build build/bench --target ziptool" >&2
    exit 2
}

# The folders of an earlier run were deleted at its end; ext4 without a journal
# passes over recently freed inodes for a minute or more (longer while their
# blocks are unwritten), which makes creating files slow. Flush, then wait.
sync
if [ -f "$WORK/deleted" ] && [ "$(stat -f -c %T "$WORK")" != tmpfs ]; then
    age=$(($(date +%s) - $(stat -c %Y "$WORK/deleted")))
    if [ "$age" -lt 90 ]; then
        echo "waiting $((90 - age)) s for the previous run's deletions to age"
        sleep $((90 - age))
    fi
fi
mkdir -p "$WORK/data" "$WORK/out" "$WORK/results"
read -r -a ARCHIVES <<<"${ARCHIVES:-text_20mb binary_20mb small_2000}"
TOOLS=(ziptool unzip bsdtar)
ANCHOR=${ANCHOR:-}
if [ -n "$ANCHOR" ]; then
    TOOLS+=(anchor)
fi

# Concatenates the files named on stdin into $2 until it holds $1 bytes.
concat_upto() {
    xargs -d "\n" cat -- 2>/dev/null | head -c "$1" >"$2"
    [ "$(stat -c %s "$2")" -eq "$1" ] || { echo "extract.sh: not enough data for $2" >&2; exit 2; }
}

is_elf() {
    [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = '177ELF' ]
}

make_archives() {
    local data=$WORK/data
    if [ ! -f "$data/text_20mb.zip" ]; then
        mkdir -p "$data/text"
        find /usr/include -type f -name '*.h' | LC_ALL=C sort | concat_upto 20000000 "$data/text/text.txt"
        (cd "$data/text" && zip -6 -q -X "$data/text_20mb.zip" text.txt)
    fi
    if [ ! -f "$data/binary_20mb.zip" ]; then
        mkdir -p "$data/binary"
        find /usr/bin -maxdepth 1 -type f | LC_ALL=C sort |
            while read -r f; do if is_elf "$f"; then echo "$f"; fi; done |
            concat_upto 20000000 "$data/binary/binary.bin"
        (cd "$data/binary" && zip -6 -q -X "$data/binary_20mb.zip" binary.bin)
    fi
    if [ ! -f "$data/small_2000.zip" ]; then
        (cd /usr/include && find . -type f | LC_ALL=C sort | sed 's|^\./||' |
            awk '!seen[tolower($0)]++' | head -2000 |
            zip -6 -q -X "$data/small_2000.zip" -@)
    fi
    if [[ " ${ARCHIVES[*]} " == *" small_100000 "* && ! -f "$data/small_100000.zip" ]]; then
        python3 - "$data/small_100000.zip" <<'PY'
import random, sys, zipfile
rng = random.Random(100000)
words = b"Datei Ordner Eintrag Archiv Inhalt Zeile Wert Name Text Daten".split()
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=6) as archive:
    for number in range(100000):
        size = rng.randint(100, 2000)
        text = bytearray()
        while len(text) < size:
            text += b" ".join(rng.choice(words) for _ in range(8)) + b" %d\n" % rng.randint(0, 9999)
        info = zipfile.ZipInfo("d%03d/f%06d.txt" % (number % 500, number), (2024, 5, 17, 12, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(info, bytes(text[:size]))
PY
    fi
}

# Uncompressed bytes of an archive (the sum over its entries).
archive_bytes() {
    unzip -Z -t "$1" | sed -E 's/^[0-9]+ files?, ([0-9]+) bytes uncompressed.*/\1/'
}

# Extracts with each tool once, outside timing, and checks that all three agree.
check_outputs() {
    local archive=$1 name=$2
    local base=$WORK/out/check-$name
    mkdir -p "$base/ziptool" "$base/unzip" "$base/bsdtar"
    "$ZIPTOOL" extract "$archive" "$base/ziptool" >/dev/null
    unzip -o -q "$archive" -d "$base/unzip"
    bsdtar -xf "$archive" -C "$base/bsdtar"
    diff -r "$base/unzip" "$base/ziptool" >/dev/null || { echo "ziptool output differs on $name" >&2; exit 1; }
    diff -r "$base/unzip" "$base/bsdtar" >/dev/null || { echo "bsdtar output differs on $name" >&2; exit 1; }
    if [ -n "$ANCHOR" ]; then
        mkdir -p "$base/anchor"
        "$ANCHOR" extract "$archive" "$base/anchor" >/dev/null
        diff -r "$base/unzip" "$base/anchor" >/dev/null || { echo "anchor output differs on $name" >&2; exit 1; }
    fi
}

make_archives
for name in "${ARCHIVES[@]}"; do
    check_outputs "$WORK/data/$name.zip" "$name"
    archive_bytes "$WORK/data/$name.zip" >"$WORK/results/$name.bytes"
done
sync  # no write-back of the set-up's files during the timed runs

cd "$WORK/out"
# sync first: each run starts without a backlog of dirty pages from the runs
# before it, whose write-back would otherwise throttle whoever writes fastest.
prepare='sync; ln -sfn "$(mktemp -d -p .)" current'
# On tmpfs the output is memory, and deleting costs nothing later: there the
# previous run's output goes first. Kept, every run would take memory nobody used
# before, which in a virtual machine can cost the kernel several times the work of
# the run, every tool alike, so that their differences drown (docs/performance.md,
# fifth round).
if [ "$(stat -f -c %T "$WORK")" = tmpfs ]; then
    prepare='if [ -L current ]; then rm -rf "$(readlink current)"; fi; '$prepare
fi
rounds=$(((RUNS + 1) / 2))
rm -f "$WORK"/results/*.json
declare -A command
for name in "${ARCHIVES[@]}"; do
    archive=$WORK/data/$name.zip
    command[ziptool]="'$ZIPTOOL' extract '$archive' current"
    command[unzip]="unzip -o -q '$archive' -d current"
    command[bsdtar]="bsdtar -xf '$archive' -C current"
    command[anchor]="'$ANCHOR' extract '$archive' current"
    for ((round = 0; round < rounds; round++)); do
        args=()
        for ((k = 0; k < ${#TOOLS[@]}; k++)); do
            tool=${TOOLS[$(((round + k) % ${#TOOLS[@]}))]}
            args+=(-n "$tool" "${command[$tool]}")
        done
        echo "== $name, round $((round + 1)) of $rounds"
        hyperfine --style basic --runs 2 --prepare "$prepare" \
            --export-json "$WORK/results/$name.$round.json" "${args[@]}" |
            grep -E '^(Benchmark|  Time)'
    done
done

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
python3 - "$WORK/results" "${TOOLS[*]}" "${ARCHIVES[@]}" <<'EOF'
import glob, json, statistics, sys
folder, tools, names = sys.argv[1], sys.argv[2].split(), sys.argv[3:]
print(f"{'archive':<12} {'tool':<8} {'runs':>4} {'median s':>9} {'min s':>7} {'MB/s':>6} "
      f"{'vs unzip':>9} {'vs bsdtar':>10} {'cpu s':>6} {'cpu vs unzip':>12}")
for name in names:
    size = int(open(f"{folder}/{name}.bytes").read())
    times, cpu = {}, {}
    for path in sorted(glob.glob(f"{folder}/{name}.*.json")):
        for result in json.load(open(path))["results"]:
            times.setdefault(result["command"], []).extend(result["times"])
            cpu.setdefault(result["command"], []).append(result["user"] + result["system"])
    median = {tool: statistics.median(t) for tool, t in times.items()}
    cpu_median = {tool: statistics.median(c) for tool, c in cpu.items()}
    for tool in tools:
        seconds = median[tool]
        print(f"{name:<12} {tool:<8} {len(times[tool]):4d} {seconds:9.3f} {min(times[tool]):7.3f} "
              f"{size / seconds / 1e6:6.0f} {median['unzip'] / seconds:8.2f}x "
              f"{median['bsdtar'] / seconds:9.2f}x {cpu_median[tool]:6.3f} "
              f"{cpu_median['unzip'] / cpu_median[tool]:11.2f}x")
    if "anchor" in tools:
        print(f"{name:<12} anchor time / ziptool time {median['anchor'] / median['ziptool']:.2f}x, "
              f"anchor CPU / ziptool CPU {cpu_median['anchor'] / cpu_median['ziptool']:.2f}x")
print("MB/s: uncompressed bytes (10^6) per second of wall time, median over all runs.")
print("'vs unzip': unzip's median time over this tool's; above 1 is faster than unzip.")
print("cpu s: user and system time of a run (hyperfine's mean per round, median of the rounds).")
EOF

# All timing is done: the extracted copies can go now (the next run waits, above).
rm -rf "$WORK/out"
sync
touch "$WORK/deleted"
