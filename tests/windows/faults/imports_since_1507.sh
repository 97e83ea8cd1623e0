#!/usr/bin/env bash
# quorvel.exe must load on every release of Windows 10: the loader refuses to start a program
# that imports a function its system DLLs lack, with a system error dialog. Fails on any import
# from the list below, the functions that came after Windows 10 1507 and that a program of
# this kind reaches for; the program looks such a function up at run time instead.
#
#   imports_since_1507.sh OBJDUMP QUORVEL_EXE
set -euo pipefail
objdump=${1:?usage: imports_since_1507.sh OBJDUMP QUORVEL_EXE}
exe=${2:?usage: imports_since_1507.sh OBJDUMP QUORVEL_EXE}

newer=(
    # user32, 1607
    AdjustWindowRectExForDpi AreDpiAwarenessContextsEqual EnableNonClientDpiScaling
    GetAwarenessFromDpiAwarenessContext GetDpiForSystem GetDpiForWindow GetSystemMetricsForDpi
    GetThreadDpiAwarenessContext GetWindowDpiAwarenessContext IsValidDpiAwarenessContext
    SetThreadDpiAwarenessContext SystemParametersInfoForDpi
    # user32, 1703
    SetProcessDpiAwarenessContext
    # user32, 1803
    GetDpiFromDpiAwarenessContext GetThreadDpiHostingBehavior GetWindowDpiHostingBehavior
    SetThreadDpiHostingBehavior
    # kernel32, 1607 and 1803
    GetThreadDescription SetThreadDescription MapViewOfFile3 VirtualAlloc2
)

# Rows of the import tables: "vma  hint  name".
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ {in_table = 1; next}
    in_table && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}')

# The list is read for real only if the tables were found.
for expected in CreateMutexW RegisterClassW Shell_NotifyIconW; do
    grep -qx "$expected" <<<"$imports" || { echo "no import $expected: tables not read" >&2; exit 1; }
done

status=0
for name in "${newer[@]}"; do
    if grep -qx "$name" <<<"$imports"; then
        echo "quorvel.exe imports $name, which Windows 10 1507 lacks" >&2
        status=1
    fi
done
[ $status = 0 ] && echo "$(wc -l <<<"$imports") imports, none newer than Windows 10 1507"
exit $status
