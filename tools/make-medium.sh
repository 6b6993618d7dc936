#!/usr/bin/env bash
# Builds an installation medium from an example folder: Setup.exe beside the
# example's files, whose text files (kept in UTF-8 in the repository) become
# Windows text, Windows-1252 with CR LF, as on a real medium.
# Usage: tools/make-medium.sh SETUP_EXE FOLDER [EXAMPLE, default examples/demo]
set -euo pipefail
exe=$1
folder=$2
example=${3:-examples/demo}
rm -rf "$folder"
mkdir -p "$folder"
cp -r "$example"/. "$folder"/
while IFS= read -r -d '' file; do
    iconv -f UTF-8 -t CP1252 "$file" | sed 's/$/\r/' > "$file.tmp"
    mv "$file.tmp" "$file"
done < <(find "$folder" -type f \( -iname '*.ini' -o -iname '*.txt' -o -iname '*.csv' -o -iname '*.bsp' \) -print0)
cp "$exe" "$folder/Setup.exe"
