#!/bin/sh
# Runs "medium try" and passes when it ends with the expected exit status and
# its output (standard output and error together) holds the expected text.
# usage: try-expect.sh MEDIUM_TOOL STATUS TEXT ARG...
# A medium named "broken:FILE" is media/Beispiel without FILE, copied to a
# scratch folder first; an argument "nonempty-root" is a scratch folder with a file.
tool=$1 status=$2 text=$3
shift 3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
case $1 in
broken:*)
    cp -r "$(dirname "$0")/../../examples/sessions/media/Beispiel/." "$scratch/medium"
    rm "$scratch/medium/${1#broken:}"
    shift
    set -- "$scratch/medium" "$@"
    ;;
esac
for arg in "$@"; do
    shift
    if [ "$arg" = nonempty-root ]; then
        mkdir -p "$scratch/root" && touch "$scratch/root/file"
        arg=$scratch/root
    fi
    set -- "$@" "$arg"
done
output=$("$tool" try "$@" 2>&1)
actual=$?
if [ "$actual" -ne "$status" ]; then
    printf '%s\nexit status %s, not %s\n' "$output" "$actual" "$status"
    exit 1
fi
case "$output" in
*"$text"*) exit 0 ;;
*) printf '%s\nno "%s" in the output\n' "$output" "$text"; exit 1 ;;
esac
