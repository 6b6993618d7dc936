#!/usr/bin/env bash
# Writes THIRD-PARTY-NOTICES: the licences of what the kit's programs link
# statically, taken from the Debian packages' copyright files of the build
# machine (tools/install-deps.sh installs them). Run it again when the programs
# link something new; the file is kept in the repository and shipped in the kit.
#   Windows programs: the MinGW-w64 runtime and GCC's runtime libraries;
#   medium: zlib and libdeflate for the archives it writes.
# Usage: tools/third-party-notices.sh [OUT, default THIRD-PARTY-NOTICES]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-THIRD-PARTY-NOTICES}

# Package, what links it.
notices=(
    "mingw-w64-common:the MinGW-w64 runtime, linked into Setup.exe, Uninstall.exe, medium.exe and ziptool.exe"
    "gcc-mingw-w64-base:GCC's runtime libraries (libgcc, libstdc++; GCC Runtime Library Exception), linked into the Windows programs"
    "zlib1g:zlib, linked into medium and medium.exe"
    "libdeflate0:libdeflate, linked into medium and medium.exe"
)

{
    echo "Third-party notices"
    echo
    echo "The programs of this kit link the following libraries statically. Their"
    echo "copyright notices and licences follow, as their Debian packages ship them."
    for entry in "${notices[@]}"; do
        package=${entry%%:*}
        file=/usr/share/doc/$package/copyright
        [ -f "$file" ] || { echo "third-party-notices: $file is missing" >&2; exit 1; }
        echo
        echo "================================================================================"
        echo "${entry#*:}"
        echo "(from the Debian package $package)"
        echo "================================================================================"
        echo
        # The notices keep every copyright line and licence text; the Debian
        # file's remark on zlib's history (who wrote what, thanks) is left out.
        sed '/^ The deflate format used by zlib was defined/,/too numerous to cite here\./d' "$file"
    done
} > "$out"
echo "third-party-notices: $out ($(wc -l < "$out") lines)"
