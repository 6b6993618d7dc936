#!/usr/bin/env bash
# Checks that every tracked C++ file under src, tests, tools, fuzz and bench is
# formatted with the repository's .clang-format. Prints "PASS clang-format" when
# all are, else one "FAIL clang-format: FILE" line per file that is not; exits
# non-zero then. Fix with: clang-format -i FILE
set -uo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format}

unformatted=0
while IFS= read -r -d '' file; do
    if ! "$format" --dry-run --Werror "$file" > /dev/null 2>&1; then
        echo "FAIL clang-format: $file"
        unformatted=$((unformatted + 1))
    fi
done < <(git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' \
    'tools/*.h' 'fuzz/*.cpp' 'fuzz/*.h' 'bench/*.cpp' 'bench/*.h')

if [ "$unformatted" -eq 0 ]; then
    echo "PASS clang-format"
    exit 0
fi
exit 1
