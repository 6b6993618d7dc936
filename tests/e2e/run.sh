#!/usr/bin/env bash
# Runs the end-to-end scenarios: the real Setup.exe under Wine on a virtual
# screen, driven by the user-level driver (tests/e2e/driver), on the example
# media (tools/make-example-media.sh, mapped to drive M:). Runs the scenarios
# that scenarios.txt enables, in its order, or the ones named as arguments;
# scenarios.txt also lists the features that have landed.
# Each scenario's screenshots land in build/screenshots/ as e2e-NAME-SHOT.png.
#
# Prints "e2e NAME: passed" or "e2e NAME: FAILED" per scenario and exits
# non-zero when one failed. SETUP_E2E_NO_BUILD=1 skips the builds (test.sh has
# built everything); SETUP_WIN32_BUILD_DIR and SETUP_LINUX_BUILD_DIR choose the
# build folders.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
win32_dir=${SETUP_WIN32_BUILD_DIR:-build/win32}
linux_dir=${SETUP_LINUX_BUILD_DIR:-build/linux}
out=$root/build/e2e
shots=$root/build/screenshots
mkdir -p "$out" "$shots"

if [ "${SETUP_E2E_NO_BUILD:-0}" != 1 ]; then
    echo "== e2e: build the driver, Setup.exe, the example programs and zipwrite"
    log=$out/build.log
    if ! { cmake --preset win32 -B "$win32_dir" && cmake --build "$win32_dir" -j2 --target e2e_windows &&
        cmake --preset linux -B "$linux_dir" && cmake --build "$linux_dir" -j2 --target zipwrite medium; } \
        > "$log" 2>&1; then
        echo "e2e: the build failed; see $log" >&2
        grep -E "error|FAILED" "$log" | head -20 >&2
        exit 1
    fi
fi
bash tools/make-example-media.sh "$win32_dir" "$linux_dir/tests/e2e/zipwrite" "$out/media" || exit 1

table=tests/e2e/scenarios.txt
scenarios=("$@")
if [ ${#scenarios[@]} -eq 0 ]; then
    mapfile -t scenarios < <(awk '!/^#/ && $1 != "features:" && $2 == "yes" { print $1 }' "$table")
fi
# The kit's scenario runs on a medium made from the unpacked kit (M:\kit).
if [[ " ${scenarios[*]} " == *" kit-install "* ]]; then
    bash tests/e2e/kit-medium.sh "$out/media" > "$out/kit-medium.log" 2>&1 ||
        sed 's/^/  kit-medium: /' "$out/kit-medium.log"
fi
# The landed features decide which guarded steps run (SETUP_E2E_FEATURES overrides).
E2E_FEATURES=${SETUP_E2E_FEATURES-$(sed -n 's/^features://p' "$table" | xargs)}
export E2E_FEATURES

source tools/wine-env.sh
wine_prefix_ready || exit 1
# Wine links the user's desktop to the host's home folder; the scenarios put a
# shortcut there, so it becomes a folder of the prefix.
for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    if [ -L "$desktop" ]; then
        rm "$desktop" && mkdir "$desktop"
    fi
done
# Drive M: is the media folder, C:\e2e the driver's own.
ln -sfn "$out/media" "$WINEPREFIX/dosdevices/m:"
mkdir -p "$WINEPREFIX/drive_c/e2e/shots"
cp "$win32_dir/tests/e2e/e2e_driver.exe" "$WINEPREFIX/drive_c/e2e/driver.exe"
cp tests/e2e/scenarios/*.txt tests/e2e/scenarios/*.inc tests/e2e/scenarios/*.ini \
    "$WINEPREFIX/drive_c/e2e/"

own_screen=no
if [ -z "${DISPLAY:-}" ]; then
    start_virtual_screen "$out/xvfb.log"
    own_screen=yes
fi
wine_draw_own_frames yes

failed=0
# Every scenario of the table, enabled or not, must be well-formed.
malformed=0
for name in $(awk '!/^#/ && NF >= 2 && $1 != "features:" { print $1 }' "$table"); do
    if ! wine 'C:\e2e\driver.exe' "C:\\e2e\\$name.txt" --check > "$out/$name.check.log" 2>&1; then
        sed 's/^/  /' "$out/$name.check.log"
        malformed=1
    fi
done
if [ $malformed -eq 0 ]; then
    echo "e2e scenarios-well-formed: passed"
else
    echo "e2e scenarios-well-formed: FAILED"
    failed=1
fi

for name in "${scenarios[@]}"; do
    rm -f "$WINEPREFIX"/drive_c/e2e/shots/*.bmp
    wine 'C:\e2e\driver.exe' "C:\\e2e\\$name.txt" --shots 'C:\e2e\shots' > "$out/$name.log" 2>&1
    status=$?
    for bmp in "$WINEPREFIX"/drive_c/e2e/shots/*.bmp; do
        [ -f "$bmp" ] || continue
        base=$(basename "$bmp" .bmp)
        convert "$bmp" "$shots/e2e-$base.png" && rm -f "$bmp"
    done
    if [ "$status" -eq 0 ]; then
        echo "e2e $name: passed"
    else
        echo "e2e $name: FAILED (status $status); log build/e2e/$name.log:"
        grep -v '^ok ' "$out/$name.log" | sed 's/^/  /' | head -40
        failed=1
    fi
    # Nothing of one scenario may linger into the next.
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
done

if [ "$own_screen" = yes ]; then
    stop_virtual_screen
fi
exit $failed
