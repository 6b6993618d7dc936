#!/usr/bin/env bash
# The main job: installs what is missing, builds Setup.exe, the example programs
# and the example media (tools/make-example-media.sh), and starts the installer
# on the full demo medium build/media/full (from examples/full/) under Wine.
# With no display it runs on a virtual screen (Xvfb), saves a screenshot as
# build/screenshots/demo.png and ends the installer again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/install-deps.sh

echo "== build Setup.exe, the example programs and the archive tool"
mkdir -p build
log=build/demo-build.log
if ! { cmake --preset win32 && cmake --build build/win32 --target e2e_windows -j2 &&
    cmake --preset linux && cmake --build build/linux --target zipwrite -j2; } > "$log" 2>&1; then
    echo "demo: the build failed; see $log" >&2
    grep -E "error|FAILED" "$log" | head -20 >&2
    exit 1
fi
exe=build/win32/src/entry/Setup.exe
echo "Setup.exe: $(stat -c %s "$exe") bytes"

echo "== build the example media build/media (the full demo medium: build/media/full)"
bash tools/make-example-media.sh build/win32 build/linux/tests/e2e/zipwrite build/media
medium=build/media/full
ls -l "$medium"

source tools/wine-env.sh
wine_prefix_ready

if [ -n "${DISPLAY:-}" ]; then
    echo "== start Setup.exe on $DISPLAY"
    wine_draw_own_frames no
    wine "$medium/Setup.exe"
    exit 0
fi

# No display: a virtual screen on the first free display number from :99 on.
start_virtual_screen build/xvfb.log
trap stop_virtual_screen EXIT
echo "== start Setup.exe on a virtual screen ($DISPLAY)"
wine_draw_own_frames yes
wine "$medium/Setup.exe" > build/demo-wine.log 2>&1 &
sleep "${SETUP_DEMO_WAIT:-8}"

mkdir -p build/screenshots
import -window root build/screenshots/demo.png
echo "screenshot: build/screenshots/demo.png"
