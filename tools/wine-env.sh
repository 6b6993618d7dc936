# Sourced by the scripts that run Windows programs. Sets up Wine the same way for
# the tests and the demo: a dedicated 32-bit prefix under build/, no debug chatter,
# no offer to download the .NET and HTML engines (nothing here needs them).
# Expects $root, the repository root.

export WINEPREFIX="$root/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once; later runs reuse it (creating it takes a while).
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: creating the prefix $WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        if ! DISPLAY= wineboot --init > "$root/build/wineboot.log" 2>&1 || ! wineserver -w; then
            echo "wine: wineboot failed; see build/wineboot.log" >&2
            return 1
        fi
    fi
    # Drive N: is a network drive (Wine takes a drive's type from the registry when
    # its server starts): the uninstaller must refuse logs that name one.
    if [ ! -L "$WINEPREFIX/dosdevices/n:" ]; then
        mkdir -p "$root/build/network-drive"
        ln -sfn "$root/build/network-drive" "$WINEPREFIX/dosdevices/n:"
        wine reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f > /dev/null 2>&1
        wineserver -w
    fi
    # Debian's Wine does not find its own fonts (fonts-wine) where it installs them;
    # without Marlett the caption buttons show letters. The prefix's font folder is
    # always searched. The bitmap fonts come too: "MS Sans Serif" is a bitmap font
    # on Windows (the registry names sserife.fon), and Wine's outline stand-in has
    # taller lines, which cut the last line of texts laid out for the bitmap font.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
        cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts"/ 2> /dev/null || true
    fi
}

# Wine draws a window's caption and frame itself only when no window manager is
# asked to; a bare Xvfb screen has none.
wine_draw_own_frames() {
    if [ "$1" = yes ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f > /dev/null 2>&1 || true
    fi
}

# Starts a virtual screen (Xvfb) on the first free display from :99 on, exports
# DISPLAY and sets SETUP_XVFB_PID. Argument: the file for Xvfb's output.
start_virtual_screen() {
    local number=99
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
        number=$((number + 1))
    done
    export DISPLAY=":$number"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp > "$1" 2>&1 &
    SETUP_XVFB_PID=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$number" ] && break
        sleep 0.1
    done
}

# Ends every Wine process of the prefix and the virtual screen started above.
stop_virtual_screen() {
    wineserver -k 2> /dev/null || true
    kill "$SETUP_XVFB_PID" 2> /dev/null || true
    wait "$SETUP_XVFB_PID" 2> /dev/null || true
}
