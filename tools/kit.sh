#!/usr/bin/env bash
# Builds the vendor's kit, build/kit/setup-kit-VERSION.zip: the Windows programs
# of the product build (preset win32), medium and simulator from an optimised
# native build (preset release), the documents, the examples, the licence, the
# notices and the changes (cmake/Kit.cmake says what and where). The Windows
# build's install rules and CPack make the archive, with the native build's
# install rules added as a second project. At the end the archive's contents and
# its versions are checked (tests/kit/check-version.py).
#
# SETUP_WIN32_BUILD_DIR and SETUP_RELEASE_BUILD_DIR choose the build folders
# (default build/win32, build/release). Prints "kit: PATH (N bytes)" last.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
win32_dir=${SETUP_WIN32_BUILD_DIR:-build/win32}
release_dir=${SETUP_RELEASE_BUILD_DIR:-build/release}
out=$root/build/kit

bash tools/install-deps.sh

echo "== kit: build the Windows programs ($win32_dir) and the Linux tools ($release_dir)"
mkdir -p "$out"
log=$out/build.log
if ! { cmake --preset win32 -B "$win32_dir" && cmake --build "$win32_dir" -j2 --target kit_programs &&
    cmake --preset release -B "$release_dir" &&
    cmake --build "$release_dir" -j2 --target kit_programs; } > "$log" 2>&1; then
    echo "kit: the build failed; see $log" >&2
    grep -E "error|FAILED" "$log" | head -20 >&2
    exit 1
fi

echo "== kit: pack"
version=$(sed -n 's/^project(Setup VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
kit=$out/setup-kit-$version.zip
rm -rf "$out/_CPack_Packages" "$out"/setup-kit-*.zip
win32_abs=$(realpath "$win32_dir")
release_abs=$(realpath "$release_dir")
if ! cpack --config "$win32_abs/CPackConfig.cmake" -B "$out" \
    -D "CPACK_INSTALL_CMAKE_PROJECTS=$win32_abs;Setup;ALL;/;$release_abs;Setup;ALL;/" \
    >> "$log" 2>&1; then
    echo "kit: cpack failed; see $log" >&2
    tail -20 "$log" >&2
    exit 1
fi
rm -rf "$out/_CPack_Packages"

# Everything a vendor needs must be in it (the programs whose targets exist).
missing=0
for file in Setup.exe Uninstall.exe medium.exe ziptool.exe medium simulator docs/setup-ini.md \
    docs/simulator.md docs/first-medium.md examples/full/Setup.ini LICENSE \
    THIRD-PARTY-NOTICES CHANGES.md README.txt; do
    if ! unzip -l "$kit" "setup-kit-$version/$file" > /dev/null 2>&1; then
        echo "kit: setup-kit-$version/$file is missing" >&2
        missing=1
    fi
done
[ $missing -eq 0 ] || exit 1
echo "kit: $(unzip -Z1 "$kit" | grep -c '[^/]$') files; the programs and documents:"
unzip -Z1 "$kit" | grep -v -e '/$' -e '/examples/' | sort | sed 's/^/  /'
python3 tests/kit/check-version.py . --kit "$kit"
echo "kit: build/kit/${kit##*/} ($(stat -c %s "$kit") bytes)"
