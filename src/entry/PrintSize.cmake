# Prints the size of the linked program against its budget.
# Usage: cmake -DFILE=<path> -DBUDGET_KB=<n> -P PrintSize.cmake
file(SIZE "${FILE}" bytes)
math(EXPR kb "(${bytes} + 1023) / 1024")
get_filename_component(name "${FILE}" NAME)
message("${name}: ${bytes} bytes (${kb} KB of a ${BUDGET_KB} KB budget)")
