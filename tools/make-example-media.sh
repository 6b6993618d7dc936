#!/usr/bin/env bash
# Builds the example installation media from their sources, as a vendor would
# ship them, into one folder (the end-to-end tests map it to drive M:):
#   full/        the full demo medium (examples/full): plain files, archives of
#                all four methods, the example programs, a logo, the uninstaller
#   full.orig/   every file of it as it is installed (texts in Windows-1252 with
#                CR LF, programs as built), to compare installations with
#   full-missing/  the same without its handbook archive (Handbuch.tx_)
#   disks/       the drive of the two-diskette example, holding diskette 1;
#   disks-1/, disks-2/  the two diskettes (a test swaps them into disks/);
#   disks.orig/  its files as installed
#   built/       the full demo medium as `medium build` makes it from full.orig
#                (when the tool is built: MEDIUM, default beside ZIPWRITE's build)
#   demo/        the small medium of examples/demo
#   empty/       Setup.exe without a script
# Archives are made here: stored and deflated by Info-ZIP zip, shrunk and
# imploded by zipwrite (the project's own encoders). Nothing binary is kept in
# the repository.
#
# Usage: tools/make-example-media.sh WIN32_BUILD_DIR ZIPWRITE OUT [MEDIUM]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
zipwrite=$2
out=$3
medium=${4:-$(dirname "$zipwrite")/../../tools/medium/medium}

# The product's programs, wherever their folder of the source tree puts them.
product() {  # file name
    find "$build/src" -name "$1" -type f -print -quit 2> /dev/null
}
setup=$(product Setup.exe)
programs=$build/tests/e2e
# The project's uninstaller once it is built; until then a stand-in that says so.
uninstaller=$(product Uninstall.exe)
uninstaller=${uninstaller:-$programs/e2e_uninstall_stand_in.exe}
[ -n "$setup" ] || { echo "make-example-media: no Setup.exe in $build (build it first)" >&2; exit 1; }
for file in "$programs/e2e_beispiel.exe" "$programs/e2e_werkzeug.exe" "$uninstaller" "$zipwrite"; do
    [ -f "$file" ] || { echo "make-example-media: $file is missing (build it first)" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"

# Packs one file of ORIG into an archive on MEDIUM and removes the plain copy.
pack() {  # method, file in ORIG, archive, orig folder, medium folder
    local method=$1 file=$2 archive=$3 orig=$4 medium=$5
    mkdir -p "$(dirname "$medium/$archive")"
    local target
    target=$(realpath "$medium/$archive")
    case $method in
        stored) (cd "$orig/$(dirname "$file")" && zip -q -X -0 "$target" "$(basename "$file")") ;;
        deflated) (cd "$orig/$(dirname "$file")" && zip -q -X -9 "$target" "$(basename "$file")") ;;
        shrunk | imploded) "$zipwrite" "$method" "$target" "$(basename "$file")" "$orig/$file" ;;
    esac
    rm -f "$medium/$file"
}

# --- The full demo medium ---------------------------------------------------
orig=$out/full.orig
bash tools/make-medium.sh "$setup" "$orig" examples/full
cp "$programs/e2e_beispiel.exe" "$orig/Beispiel.exe"
cp "$programs/e2e_werkzeug.exe" "$orig/Werkzeug.exe"
cp "$uninstaller" "$orig/Uninstall.exe"
convert -size 80x45 gradient:navy-skyblue -fill gold -draw "circle 40,22 40,8" \
    BMP3:"$orig/Logo.bmp"
cp -r "$orig" "$out/full"
pack stored Beispiel.bsp Beispiel.bs_ "$orig" "$out/full"
pack shrunk Handbuch.txt Handbuch.tx_ "$orig" "$out/full"
pack imploded Daten/Kunden.csv Daten/Kunden.cs_ "$orig" "$out/full"
pack deflated Vorlagen/Brief.txt Vorlagen/Brief.tx_ "$orig" "$out/full"
pack deflated Werkzeug.exe Werkzeug.ex_ "$orig" "$out/full"

# The same medium with the handbook missing: the copy phase asks for it.
cp -r "$out/full" "$out/full-missing"
rm "$out/full-missing/Handbuch.tx_"

# --- Two diskettes --------------------------------------------------------------
orig=$out/disks.orig
bash tools/make-medium.sh "$setup" "$out/disks-1" examples/disks/Diskette1
bash tools/make-medium.sh "$setup" "$out/disks-2" examples/disks/Diskette2
rm "$out/disks-2/Setup.exe"
cp "$programs/e2e_beispiel.exe" "$out/disks-1/Beispiel.exe"
mkdir -p "$orig"
cp "$out"/disks-1/* "$out"/disks-2/* "$orig"/
pack shrunk Handbuch.txt Handbuch.tx_ "$orig" "$out/disks-2"
cp -r "$out/disks-1" "$out/disks"

# --- The full demo medium made by the vendor's tool --------------------------------
if [ -x "$medium" ]; then
    "$medium" build "$out/full.orig" "$out/built" --setup "$setup" --uninstaller "$uninstaller" \
        2> "$out/built.log" || { cat "$out/built.log" >&2; exit 1; }
fi

# --- The small demo medium and a medium without a script -------------------------
bash tools/make-medium.sh "$setup" "$out/demo" examples/demo
mkdir -p "$out/empty"
cp "$setup" "$out/empty/Setup.exe"
echo "media: $out (full, full-missing, disks, built, demo, empty)"
