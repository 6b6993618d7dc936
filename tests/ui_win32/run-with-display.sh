#!/bin/sh
# Runs a Windows test program under Wine on the X display of the caller, or on a
# virtual screen when there is none: the window tests create real windows.
# All Wine processes of one prefix must share a display (the first one starts
# the desktop with its own), so a display that is already set is kept.
if [ -n "${DISPLAY:-}" ]; then
    exec wine "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" wine "$@"
