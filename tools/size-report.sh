#!/usr/bin/env bash
# What takes the space in Setup.exe and Uninstall.exe: links both in a build folder
# of their own (preset win32, the product's flags, plus a linker map for each
# program) and prints, as Markdown, each program's size against its budget and its
# size by section and by library or object, largest first (tools/size-report.py).
# The programs are those of the win32 preset but for the link time stamp and the
# header checksum; the map is only written beside them.
# Usage: bash tools/size-report.sh      Environment: SIZE_BUILD_DIR (default build/size)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${SIZE_BUILD_DIR:-build/size}
maps=$PWD/$dir/maps

mkdir -p "$maps"
# A folder as the map's name: ld writes PROGRAM.map into it for every program it links.
cmake --preset win32 -B "$dir" "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-Map=$maps" > "$dir/configure.log"
cmake --build "$dir" -j2 --target Setup Uninstall > "$dir/build.log"

# The budgets are the build's own (the size printed after each link), read from
# the CMake files so that the two never disagree.
budget_kb() { sed -n "s/^set($1 \([0-9]*\))$/\1/p" "$2"; }
setup_kb=$(budget_kb SETUP_SIZE_BUDGET_KB src/entry/CMakeLists.txt)
uninstall_kb=$(budget_kb UNINSTALL_SIZE_BUDGET_KB src/entry/uninstall/CMakeLists.txt)
python3 tools/size-report.py "$dir/src/entry/Setup.exe" "$maps/Setup.exe.map" $((setup_kb * 1024))
echo
python3 tools/size-report.py "$dir/src/entry/uninstall/Uninstall.exe" "$maps/Uninstall.exe.map" \
    $((uninstall_kb * 1024))
