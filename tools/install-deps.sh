#!/usr/bin/env bash
# Installs the packages the build, the tests and the demo need, and only those that
# are missing (Debian 12, as root or through sudo, non-interactive). Running it again
# with everything present does nothing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang-14 libclang-rt-14-dev    # native and fuzz builds
    clang-format                                        # the format check
    g++-mingw-w64-i686-posix mingw-w64-i686-dev         # the 32-bit Windows product
    wine wine32:i386 fonts-wine                         # running it and its tests
    xvfb xauth x11-apps imagemagick xdotool             # a screen, screenshots, clicks
    zlib1g-dev libdeflate-dev libbenchmark-dev googletest
    libz-mingw-w64-dev                                  # zlib for the Windows decoder benchmark
    zip unzip python3
    liblnk-utils                                       # reading shortcut files back
)

log=${TMPDIR:-/tmp}/setup-install-deps.log

installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo > /dev/null || { echo "install-deps: root needed to install ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]} (log: $log)"
export DEBIAN_FRONTEND=noninteractive
{
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    "${sudo[@]}" apt-get update || true
    # A mirror caught mid-sync can serve a security index for one architecture
    # only; the 32-bit twins of installed libraries then cannot match their
    # versions. Taking every package from the release itself resolves that.
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
        "${sudo[@]}" apt-get install -y --no-install-recommends \
            -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" "${missing[@]}"
} > "$log" 2>&1 || {
    echo "install-deps: failed; last lines of $log:" >&2
    tail -20 "$log" >&2
    exit 1
}
