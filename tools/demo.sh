#!/usr/bin/env bash
# The main job: installs what is missing, builds Setup.exe, the example programs
# and the example media (tools/make-example-media.sh), and shows the installer
# on the full demo medium build/media/full (from examples/full/) under Wine.
#
# With a display it starts the installer there for the user to click through.
# Without one it walks the whole installation as a user would, on a virtual
# screen (the e2e scenario demo-install, tests/e2e/run.sh), saving a screenshot
# of every page and dialog as build/screenshots/demo-NN-NAME.png; prints what
# was installed (files, shortcuts, registry entries, the uninstall log); runs
# the uninstaller from the uninstall entry (scenario demo-uninstall) and shows
# that the system is as before. The last line says where the pictures are.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/install-deps.sh

echo "== build Setup.exe, Uninstall.exe, the example programs, the archive tool and medium"
mkdir -p build
log=build/demo-build.log
if ! { cmake --preset win32 && cmake --build build/win32 --target e2e_windows -j2 &&
    cmake --preset linux && cmake --build build/linux --target zipwrite medium -j2; } > "$log" 2>&1; then
    echo "demo: the build failed; see $log" >&2
    grep -E "error|FAILED" "$log" | head -20 >&2
    exit 1
fi
exe=build/win32/src/entry/Setup.exe
echo "Setup.exe: $(stat -c %s "$exe") bytes"

source tools/wine-env.sh
wine_prefix_ready

if [ -n "${DISPLAY:-}" ]; then
    echo "== build the example media build/media (the full demo medium: build/media/full)"
    bash tools/make-example-media.sh build/win32 build/linux/tests/e2e/zipwrite build/media
    echo "== start Setup.exe on $DISPLAY"
    wine_draw_own_frames no
    wine build/media/full/Setup.exe
    exit 0
fi

# No display: the scenarios drive Setup.exe on their own virtual screen, on the
# media of tests/e2e/run.sh (drive M:, build/e2e/media).
shots=build/screenshots
rm -f "$shots"/demo-*.png "$shots"/e2e-demo-*.png
scenario() {  # name
    if ! SETUP_E2E_NO_BUILD=1 bash tests/e2e/run.sh "$1" > "build/demo-$1.log" 2>&1; then
        echo "demo: the walk $1 failed; see build/demo-$1.log and build/e2e/$1.log" >&2
        grep -A40 "^e2e $1: FAILED" "build/demo-$1.log" >&2 || tail -20 "build/demo-$1.log" >&2
        exit 1
    fi
    for shot in "$shots"/e2e-"$1"-*.png; do
        [ -f "$shot" ] || continue
        name=${shot##*/e2e-"$1"-}
        mv "$shot" "$shots/demo-$name"
        echo "  screenshot $shots/demo-$name"
    done
}

echo "== install the full demo medium as a user (Setup.exe on a virtual screen)"
scenario demo-install

c=$WINEPREFIX/drive_c
# A file of the emulated system as Windows names it (C:\...).
windows_name() {  # host path
    local path=${1#"$c"}
    echo "C:${path//\//\\}"
}
echo "== what was installed"
echo "files:"
find "$c/Programme/Beispiel" -type f | sort | while read -r file; do
    printf '  %-55s %8s bytes\n' "$(windows_name "$file")" "$(stat -c %s "$file")"
done
for file in "$c/windows/Uninstall Beispiel.exe" "$c/windows/Uninstall Beispiel.ini"; do
    printf '  %-55s %8s bytes\n' "$(windows_name "$file")" "$(stat -c %s "$file")"
done
echo "shortcuts:"
find "$c/users" "$c/ProgramData" -name '*.lnk' -newer build/e2e/media/full/Setup.exe 2> /dev/null |
    sort | while read -r link; do
        target=$(lnkinfo "$link" 2> /dev/null | sed -n 's/^\s*Local path\s*:\s*//p' | head -1)
        echo "  $(windows_name "$link") -> ${target:-?}"
    done
echo "registry entries:"
for key in 'HKCR\.bsp' 'HKCR\Beispiel.Dokument' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Beispiel'; do
    wine reg query "$key" /s 2> /dev/null | tr -d '\r' | sed '/^$/d; s/^/  /'
done
echo "the uninstall log (C:\\windows\\Uninstall Beispiel.ini):"
iconv -f CP1252 -t UTF-8 "$c/windows/Uninstall Beispiel.ini" | tr -d '\r' | sed 's/^/  /'
wineserver -k 2> /dev/null || true

echo "== uninstall from the uninstall entry"
scenario demo-uninstall
left=0
for path in "$c/Programme/Beispiel" "$c/windows/Uninstall Beispiel.exe" \
    "$c/windows/Uninstall Beispiel.ini"; do
    if [ -e "$path" ]; then
        echo "  left behind: $(windows_name "$path")"
        left=1
    fi
done
for key in 'HKCR\.bsp' 'HKCR\Beispiel.Dokument' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Beispiel'; do
    if wine reg query "$key" > /dev/null 2>&1; then
        echo "  left behind: $key"
        left=1
    fi
done
wineserver -k 2> /dev/null || true
if [ $left -ne 0 ]; then
    echo "demo: the uninstaller left something behind" >&2
    exit 1
fi
echo "the system is as before: no file, folder, shortcut or registry entry of the installation is left (C:\\windows, C:\\Programme and the program groups as before it)"
echo "screenshots: $(ls "$shots"/demo-*.png | wc -l) pictures of every page and dialog in $shots/demo-*.png"
