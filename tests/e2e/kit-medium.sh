#!/usr/bin/env bash
# The medium of the scenario kit-install, made from the kit as a vendor has it:
# build/kit/setup-kit-*.zip unpacked into an empty folder outside the repository,
# and the kit's own programs run there with an environment that names nothing of
# the build. The kit's `medium build` makes the medium from the kit's
# examples/full, with the example programs and the logo (built files, which the
# kit does not carry) taken from MEDIA/full.orig (tools/make-example-media.sh),
# and the kit's Setup.exe and Uninstall.exe; the kit's `medium check` must find
# no error on it. Writes MEDIA/kit, and its source MEDIA/kit.src (plain files are
# installed byte for byte as they are there).
# Usage: tests/e2e/kit-medium.sh MEDIA
set -euo pipefail
cd "$(dirname "$0")/../.."
media=$(realpath "$1")

zip=$(ls build/kit/setup-kit-*.zip 2> /dev/null | head -1)
if [ -z "$zip" ] && [ "${SETUP_E2E_NO_BUILD:-0}" != 1 ]; then
    bash tools/kit.sh > build/kit-e2e.log 2>&1 || { echo "kit-medium: tools/kit.sh failed" >&2; exit 1; }
    zip=$(ls build/kit/setup-kit-*.zip | head -1)
fi
[ -n "$zip" ] || { echo "kit-medium: no kit in build/kit (bash tools/kit.sh)" >&2; exit 1; }
zip=$(realpath "$zip")

scratch=$(mktemp -d "${TMPDIR:-/tmp}/setup-kit-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
unzip -q "$zip" -d "$scratch"
kit=$(echo "$scratch"/setup-kit-*)
# The kit's programs see only the kit: its folder as the current one, no
# variables of the build's environment.
in_kit() {
    (cd "$kit" && env -i PATH=/usr/bin:/bin HOME="$scratch" "$@")
}

rm -rf "$media/kit" "$media/kit.src"
source=$media/kit.src
cp -r "$kit/examples/full" "$source"
cp "$media/full.orig/Beispiel.exe" "$media/full.orig/Werkzeug.exe" "$media/full.orig/Logo.bmp" \
    "$source/"
in_kit ./medium build "$source" "$media/kit" --setup ./Setup.exe --uninstaller ./Uninstall.exe
in_kit ./medium check "$media/kit"
echo "kit-medium: $media/kit from ${zip##*/}"
