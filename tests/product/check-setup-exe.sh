#!/usr/bin/env bash
# Checks the built product: a 32-bit GUI program that imports only DLLs Windows
# always takes from its system folder (a DLL of another name could be planted
# beside Setup.exe in a download folder or on a medium, and the statically linked
# runtime must not need libstdc++, libgcc or winpthread DLLs), within its size budget.
# Prints one PASS or FAIL line per check; exits non-zero when any check failed.
# Checks Uninstall.exe the same way with its own budget. The checks are named
# after the program ("setup-exe-...", "uninstall-exe-...").
# Usage: check-setup-exe.sh path/to/Setup.exe [BUDGET_KB (default 256)]
set -uo pipefail
exe=${1:?usage: check-setup-exe.sh Setup.exe [BUDGET_KB]}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
budget_bytes=$((${2:-256} * 1024))
name=$(basename "$exe" | tr 'A-Z.' 'a-z-')
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll comdlg32.dll comctl32.dll msvcrt.dll "

status=0
check() {  # name, condition result (0 = pass), detail
    if [ "$2" -eq 0 ]; then
        echo "PASS $1"
    else
        echo "FAIL $1: $3"
        status=1
    fi
}

if [ ! -f "$exe" ]; then
    check $name-exists 1 "$exe not found"
    exit 1
fi

headers=$("$objdump" -p "$exe" 2>&1)
format=$("$objdump" -f "$exe" 2>&1)

grep -q "file format pei-i386" <<< "$format"
check $name-is-pe32-i386 $? "$(head -3 <<< "$format")"

grep -Eq "^Subsystem\s+00000002" <<< "$headers"
check $name-is-gui $? "$(grep Subsystem <<< "$headers")"

imports=$(sed -n 's/^\s*DLL Name: //p' <<< "$headers" | tr 'A-Z' 'a-z')
foreign=""
for dll in $imports; do
    [[ "$system_dlls" == *" $dll "* ]] || foreign+=" $dll"
done
[ -n "$imports" ] && [ -z "$foreign" ]
check $name-imports-system-dlls-only $? "imports${foreign:- nothing}"

size=$(stat -c %s "$exe")
[ "$size" -le "$budget_bytes" ]
check $name-size-budget $? "$size bytes, budget $budget_bytes"

exit $status
