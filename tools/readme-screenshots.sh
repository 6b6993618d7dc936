#!/usr/bin/env bash
# Refreshes the README's screenshots (docs/screenshots/): runs the end-to-end
# scenario demo-install, the walk of tools/demo.sh (tests/e2e/run.sh: Setup.exe
# under Wine on a virtual screen, driven as a user on the full demo medium; it
# builds what it needs) and copies its shots of the main pages, cut to the installer's window,
# as small palette PNGs: folder, modules, copying, group, finish. The copy page at
# work comes from tools/screenshots.sh, whose test-mode run from a deep folder
# shows long source paths shortened (test mode spends a second on each file; a
# real installation of the demo medium is over before a shot can be taken).
# SETUP_E2E_NO_BUILD=1 and the build folder variables of tests/e2e/run.sh apply.
set -euo pipefail
cd "$(dirname "$0")/.."
shots=build/screenshots
out=docs/screenshots

rm -f "$shots"/e2e-demo-install-*.png
if ! bash tests/e2e/run.sh demo-install; then
    echo "readme-screenshots: the scenario failed; the screenshots were not changed" >&2
    exit 1
fi
if ! bash tools/screenshots.sh > build/readme-screenshots.log 2>&1; then
    echo "readme-screenshots: tools/screenshots.sh failed (build/readme-screenshots.log)" >&2
    exit 1
fi

# The window stands in the middle of an otherwise black screen on the folder page;
# the other pages use its place (on the finish page the opened document's window
# is on the screen too).
window=$(convert "$shots/e2e-demo-install-02-folder.png" -trim -format '%wx%h%O' info:)
mkdir -p "$out"
for page in folder:demo-install-02-folder modules:demo-install-03-modules \
    copying:20-copy-page-long-source-path group:demo-install-06-group \
    finish:demo-install-07-finish; do
    source=${page#*:}
    [[ $source == [0-9]* ]] || source=e2e-$source
    convert "$shots/$source.png" -crop "$window" +repage -strip \
        PNG8:"$out/${page%%:*}.png"
    echo "readme-screenshots: $out/${page%%:*}.png ($(stat -c %s "$out/${page%%:*}.png") bytes)"
done
