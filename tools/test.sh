#!/usr/bin/env bash
# The test command: installs what is missing, then builds and runs every test.
#   1. native (preset linux, sanitizers): unit, contract and other test programs;
#   2. Windows (preset win32): the Windows test programs under Wine (on a virtual
#      screen), the checks of Setup.exe (PE32 GUI, system DLLs only, size budget),
#      the kit (tools/kit.sh, one check), the end-to-end scenarios
#      (tests/e2e/run.sh: Setup.exe driven as a user on the example media and on
#      the unpacked kit, one check e2e-NAME each) and screenshots of the wizard's
#      pages (tools/screenshots.sh);
#   3. fuzzing (preset fuzz): every fuzz target for a bounded time;
#   4. the format check: every tracked C++ file as .clang-format has it
#      (tools/check-format.sh, one failed check per file that is not).
# Ends with the line "N passed, N failed" (test cases over all stages) and exits
# non-zero when anything failed. Every stage runs even when an earlier one failed.
#
# Build folders default to the presets' (build/linux, build/win32, build/fuzz);
# SETUP_LINUX_BUILD_DIR and SETUP_FUZZ_BUILD_DIR choose others.
# SETUP_FUZZ_SECONDS sets the time per fuzz target (default 15).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

linux_dir=${SETUP_LINUX_BUILD_DIR:-build/linux}
win32_dir=build/win32
fuzz_dir=${SETUP_FUZZ_BUILD_DIR:-build/fuzz}
fuzz_seconds=${SETUP_FUZZ_SECONDS:-15}
results=$root/build/test-results
checks=$results/checks.txt
jobs=2

bash tools/install-deps.sh || exit 1

rm -rf "$results"
mkdir -p "$results"
: > "$checks"
runs=()

# Records a check outside ctest: name, exit status.
record() {
    if [ "$2" -eq 0 ]; then echo "PASS $1" >> "$checks"; else echo "FAIL $1" >> "$checks"; fi
}

# Configures and builds one preset into a folder; the log goes to a file.
build() {  # preset, folder
    local log=$results/build-$1.log
    echo "== build $1 ($2)"
    if cmake --preset "$1" -B "$2" > "$log" 2>&1 && cmake --build "$2" -j"$jobs" >> "$log" 2>&1; then
        grep -E "^Setup.exe: " "$log" || true
        return 0
    fi
    echo "build $1 FAILED; log follows" >&2
    grep -E "error|FAILED" "$log" | head -40 >&2
    tail -20 "$log" >&2
    record "build-$1" 1
    return 1
}

# Runs ctest in a build folder; every GoogleTest program writes an XML report.
run_ctest() {  # name, folder, value of GTEST_OUTPUT's folder as the programs see it
    local out=$results/$1
    mkdir -p "$out/gtest"
    echo "== test $1"
    GTEST_OUTPUT="xml:$3" ctest --test-dir "$2" --output-on-failure -j"$jobs" --timeout 900 \
        --output-junit "$out/ctest.xml"
    runs+=("$2:$out/ctest.xml:$out/gtest")
}

# 1. Native.
if build linux "$linux_dir"; then
    run_ctest linux "$linux_dir" "$results/linux/gtest/"
    # The fault injection's tally (tests/faults): faults, runs, invariants broken.
    grep -ho 'fault injection: [^"]*' "$results/linux/gtest/test_faults.xml" 2> /dev/null
fi

# 2. Windows, under Wine.
if build win32 "$win32_dir"; then
    source tools/wine-env.sh
    if wine_prefix_ready; then
        # The window tests need a screen, and every Wine process of a run must
        # share the display of the first (it starts the desktop).
        start_virtual_screen "$results/xvfb.log"
        mkdir -p "$results/win32/gtest"
        gtest_dir=$(winepath -w "$results/win32/gtest" 2> /dev/null)
        run_ctest win32 "$win32_dir" "$gtest_dir\\"
        stop_virtual_screen
        export DISPLAY=
    else
        record wine-prefix 1
    fi
    echo "== check Setup.exe"
    bash tests/product/check-setup-exe.sh "$win32_dir/src/entry/Setup.exe" 264 | tee -a "$checks"
    echo "== check Uninstall.exe"
    bash tests/product/check-setup-exe.sh "$win32_dir/src/entry/uninstall/Uninstall.exe" 128 |
        tee -a "$checks"
    echo "== kit (tools/kit.sh): build/kit/setup-kit-VERSION.zip"
    SETUP_WIN32_BUILD_DIR=$win32_dir bash tools/kit.sh > "$results/kit.log" 2>&1
    record kit $?
    grep -E "^(kit|version)[^:]*: " "$results/kit.log" | grep -vE ": .* ok$" | tail -5
    echo "== end to end: Setup.exe driven as a user under Wine (tests/e2e)"
    if [ -x "$linux_dir/tests/e2e/zipwrite" ]; then
        SETUP_E2E_NO_BUILD=1 SETUP_WIN32_BUILD_DIR=$win32_dir SETUP_LINUX_BUILD_DIR=$linux_dir \
            bash tests/e2e/run.sh > "$results/e2e.log" 2>&1
        grep -E "^e2e " "$results/e2e.log"
        while read -r _ name outcome _; do
            [ "$outcome" = "passed" ]
            record "e2e-${name%:}" $?
        done < <(grep -E "^e2e [^ ]+: (passed|FAILED)" "$results/e2e.log")
        grep -qE "^e2e [^ ]+: (passed|FAILED)" "$results/e2e.log" || record e2e 1
    else
        echo "e2e: no zipwrite from the native build" >&2
        record e2e 1
    fi
    echo "== screenshots of the wizard (build/screenshots/)"
    SETUP_WIN32_BUILD_DIR=$win32_dir bash tools/screenshots.sh > "$results/screenshots.log" 2>&1
    record screenshots $?
    grep -E "^screenshots?: " "$results/screenshots.log" | tail -3
fi

# 3. Fuzzing.
if build fuzz "$fuzz_dir"; then
    echo "== fuzz (${fuzz_seconds}s per target)"
    SETUP_FUZZ_BUILD_DIR=$fuzz_dir bash tools/run-fuzz.sh "$fuzz_seconds" 2>&1 |
        tee "$results/fuzz.log"
    for target in "$fuzz_dir"/fuzz/fuzz_*; do
        [ -x "$target" ] || continue
        name=${target##*/fuzz_}
        ! grep -q "^fuzz $name FAILED" "$results/fuzz.log"
        record "fuzz-$name" $?
    done
fi

# 4. Formatting.
echo "== clang-format"
bash tools/check-format.sh | tee -a "$checks"

echo "== summary"
python3 tools/test-summary.py "${runs[@]}" --checks "$checks"
