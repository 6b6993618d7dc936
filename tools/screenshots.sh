#!/usr/bin/env bash
# Screenshots of the installer under Wine on a virtual screen: builds Setup.exe,
# puts it on the demo medium and clicks through the wizard as a user would (the
# folder page, the folder dialog, the cancel question, then every page to the
# end), saving one PNG per step under build/screenshots/. A second run uses a
# variant of the demo script with a logo, an info text and the module page, and a
# third in test mode from a deep folder shows the copy page shortening long paths.
#
# SETUP_WIN32_BUILD_DIR chooses the build folder (default build/win32);
# SETUP_WINEPREFIX another Wine prefix than the tests' one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=${SETUP_WIN32_BUILD_DIR:-build/win32}
shots=$root/build/screenshots

bash tools/install-deps.sh

echo "== build Setup.exe ($build_dir)"
mkdir -p build
log=build/screenshots-build.log
if ! { cmake --preset win32 -B "$build_dir" && cmake --build "$build_dir" --target Setup -j2; } \
    > "$log" 2>&1; then
    echo "screenshots: the build failed; see $log" >&2
    grep -E "error|FAILED" "$log" | head -20 >&2
    exit 1
fi
exe=$build_dir/src/entry/Setup.exe
grep -E "^Setup.exe: " "$log" || true

# A medium from examples/demo, as tools/demo.sh builds it.
make_medium() {  # folder
    bash tools/make-medium.sh "$exe" "$1"
}

source tools/wine-env.sh
if [ -n "${SETUP_WINEPREFIX:-}" ]; then
    export WINEPREFIX=$SETUP_WINEPREFIX
fi
wine_prefix_ready

start_virtual_screen build/xvfb-screenshots.log
trap stop_virtual_screen EXIT
wine_draw_own_frames yes

mkdir -p "$shots"
rm -f "$shots"/[0-9][0-9]-*.png

# Waits until a visible window whose title matches appears; prints its id.
wait_window() {  # title pattern, seconds
    for _ in $(seq $((${2:-10} * 10))); do
        if id=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "screenshots: no window \"$1\" appeared" >&2
    return 1
}

shoot() {  # file name without .png
    sleep "${SETUP_SHOT_DELAY:-1}"
    import -window root "$shots/$1.png"
    echo "screenshot: build/screenshots/$1.png"
}

# Clicks at a point of the main window's client area, given in design pixels
# (96 DPI): the frame Wine draws is 4 pixels wide, the caption 19 high.
click() {  # x y
    local x y
    eval "$(xdotool getwindowgeometry --shell "$main")"
    x=$((X + 4 + $1))
    y=$((Y + 23 + $2))
    xdotool mousemove "$x" "$y" click 1
    sleep 0.3
}

# Puts a text into the target-folder field (8, 76 on the page at 16, 28 in the
# middle panel, which starts 57 down).
type_folder() {  # text
    click 169 171
    xdotool key End shift+Home BackSpace
    xdotool type --delay 20 "$1"
}

# Answers a dialog of ours or the shell's by a key.
answer() {  # key
    xdotool key "$1"
    sleep 0.5
}

# --- The demo medium ---------------------------------------------------------
medium=$root/build/screenshots-medium
make_medium "$medium"
echo "== Setup.exe on the demo medium"
wine "$medium/Setup.exe" > build/screenshots-wine.log 2>&1 &
setup=$!
main=$(wait_window "Installation" 20)
shoot 01-folder-page

type_folder 'C:\windows'
click 364 157  # "S&uchen.."
wait_window "Folder|Ordner|Verzeichnis" 10 > /dev/null
shoot 02-folder-dialog
answer Escape

click 374 277  # "&Abbruch"
wait_window "Bestätigen" 10 > /dev/null
shoot 03-cancel-question
answer Escape  # "&Nein"

type_folder 'C:\Programme\Beispiel'
# "&Weiter.." page by page; on the finish page "&Beenden" stands in its place and
# ends the program.
shot=4
for _ in $(seq 8); do
    click 282 277
    sleep 1
    # A step may ask something (an existing file, ...): the default answer goes on.
    while dialog=$(xdotool search --onlyvisible --name "Warnung|Fehler|Information|Bestätigen" \
        2> /dev/null | head -1) && [ -n "$dialog" ]; do
        shoot "0$shot-dialog"
        shot=$((shot + 1))
        answer Return
    done
    sleep 1
    kill -0 "$setup" 2> /dev/null || break
    shoot "0$shot-next-page"
    shot=$((shot + 1))
done
if kill -0 "$setup" 2> /dev/null; then
    echo "screenshots: Setup.exe did not reach its end" >&2
    exit 1
fi

# --- A variant: logo and info text -------------------------------------------
variant=$root/build/screenshots-variant
make_medium "$variant"
convert -size 80x45 gradient:navy-skyblue -fill gold -draw "circle 40,22 40,8" \
    BMP3:"$variant/logo.bmp"
sed -i -e 's/^\[ProgInfos\]\r$/[ProgInfos]\r\nLogo=logo.bmp\r/' \
    -e 's/^Anzeigen=0\r$/Anzeigen=2\r\nAbbruch_Button=1\r/' "$variant/Setup.ini"
echo "== Setup.exe on a variant with logo and info text"
wine "$variant/Setup.exe" > build/screenshots-wine-variant.log 2>&1 &
setup=$!
main=$(wait_window "Installation" 20)
shoot 10-info-page
click 190 277  # "OK"
shoot 11-folder-page-with-logo
click 282 277  # "&Weiter.."
shoot 12-next-page
click 60 113   # the first module in the left list, when this is the module page
click 216 133  # the arrow to the right
shoot 13-module-moved
click 374 277  # "&Abbruch"
wait_window "Bestätigen" 10 > /dev/null
answer Return  # "&Ja"
sleep 2

# --- Test mode from a deep folder: the copy page shortens the long source paths
medium="$root/build/screenshots-deep/Beispiel Software GmbH/Installationsmedien/Diskette 1"
make_medium "$medium"
echo "== Setup.exe /TEST from a deep folder"
wine "$medium/Setup.exe" /TEST > build/screenshots-wine-deep.log 2>&1 &
setup=$!
main=$(wait_window "Installation" 20)
# A folder that does not exist: test mode creates nothing, so no file is asked about.
type_folder 'C:\Testlauf\Beispiel'
for _ in 1 2; do  # the folder page, then the module page
    click 282 277  # "&Weiter.."; on the copy page test mode takes a second a file
    sleep 0.5
    while dialog=$(xdotool search --onlyvisible --name "Bestätigen|Warnung" 2> /dev/null |
        head -1) && [ -n "$dialog" ]; do
        answer Return
    done
done
shoot 20-copy-page-long-source-path
click 374 277  # "&Abbruch"
wait_window "Bestätigen" 10 > /dev/null && answer Return  # "&Ja"
sleep 2
kill "$setup" 2> /dev/null || true
echo "screenshots: done"
