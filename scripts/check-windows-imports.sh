#!/usr/bin/env bash
# Checks that each Windows program imports only DLLs that every Windows system has, so that it
# runs from the ZIP without DLLs beside it.
# Usage: check-windows-imports.sh PROGRAM.exe...
set -euo pipefail
objdump=x86_64-w64-mingw32-objdump
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleacc.dll oleaut32.dll shell32.dll user32.dll uxtheme.dll "
status=0
for program in "$@"; do
    imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r')
    if [[ -z $imports ]]; then
        echo "$(basename "$program"): no imports found"
        status=1
        continue
    fi
    for dll in $imports; do
        if [[ $system_dlls != *" $dll "* ]]; then
            echo "$(basename "$program") imports $dll, which Windows does not have"
            status=1
        fi
    done
    echo "$(basename "$program"): $(echo $imports)"
done
exit $status
