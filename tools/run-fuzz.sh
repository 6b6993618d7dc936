#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz (or $SETUP_FUZZ_BUILD_DIR) for a bounded time
# on its seed corpus.
# Usage: tools/run-fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${SETUP_FUZZ_BUILD_DIR:-build/fuzz}
status=0
for target in "$build"/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=${target##*/fuzz_}
    corpus=fuzz/corpus/$name
    work=$(mktemp -d)
    [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
    echo "fuzz $name: ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=0 "$work" > "$build/$name.log" 2>&1; then
        echo "fuzz $name FAILED; log follows" >&2
        tail -50 "$build/$name.log" >&2
        status=1
    fi
    rm -rf "$work"
done
exit $status
