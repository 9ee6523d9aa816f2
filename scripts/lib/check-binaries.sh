#!/usr/bin/env bash
# Checks the shipped 32-bit binaries without running them: PE32 format, no runtime DLL
# beside them, the hook library's shared section and its four exports by plain name.
# Prints "ok ..." or "FAIL ..." per check; exit status 1 when any check failed.
set -u
bin=${1:?folder with Orvalis.exe and ovl.dll}
objdump=i686-w64-mingw32-objdump
bad=0
check() { # description, command...
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then echo "ok $what"; else echo "FAIL $what"; bad=1; fi
}
exe="$bin/Orvalis.exe"
dll="$bin/ovl.dll"
check "Orvalis.exe exists" test -f "$exe"
check "ovl.dll exists" test -f "$dll"
for f in "$exe" "$dll"; do
    n=$(basename "$f")
    check "$n is PE32 for i386" bash -c "$objdump -f '$f' | grep -q 'file format pei-i386'"
    check "$n imports no compiler runtime DLL" bash -c \
        "! $objdump -p '$f' | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread|msvcp|vcruntime)'"
done
check "ovl.dll has a shared .share section" bash -c \
    "$objdump -h '$dll' | grep -A1 ' \.share ' | grep -q SHARED"
for sym in InstallHook UninstallHook d_bHookRet d_bPreventMaximize; do
    check "ovl.dll exports $sym undecorated" bash -c \
        "$objdump -p '$dll' | sed -n '/Ordinal\\/Name Pointer/,\$p' | grep -qE '\\] $sym\$'"
done
check "Orvalis.exe imports from ovl.dll" bash -c "$objdump -p '$exe' | grep -q 'DLL Name: ovl.dll'"
echo "sizes: Orvalis.exe $(stat -c %s "$exe" 2>/dev/null) bytes, ovl.dll $(stat -c %s "$dll" 2>/dev/null) bytes"
exit $bad
