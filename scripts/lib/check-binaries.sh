#!/usr/bin/env bash
# Checks a Windows build's binaries without running them: the PE format of the
# architecture, no compiler runtime DLL beside them, the hook library's shared section
# and its four exports by plain name.
#   check-binaries.sh FOLDER [x86|x64]     (x86 when not given)
# Prints "ok ..." or "FAIL ..." per check; exit status 1 when any check failed.
set -u
bin=${1:?folder with Orvalis.exe and ovl.dll}
arch=${2:-x86}
case "$arch" in
x86) objdump=i686-w64-mingw32-objdump format=pei-i386 kind="PE32 for i386" ;;
x64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 kind="PE32+ for x86-64" ;;
*) echo "unknown architecture $arch" >&2; exit 2 ;;
esac
bad=0
check() { # description, command...
    local what="$arch: $1"
    shift
    if "$@" >/dev/null 2>&1; then echo "ok $what"; else echo "FAIL $what"; bad=1; fi
}
exe="$bin/Orvalis.exe"
dll="$bin/ovl.dll"
check "Orvalis.exe exists" test -f "$exe"
check "ovl.dll exists" test -f "$dll"
for f in "$exe" "$dll"; do
    n=$(basename "$f")
    check "$n is $kind" bash -c "$objdump -f '$f' | grep -q 'file format $format\$'"
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
echo "sizes ($arch): Orvalis.exe $(stat -c %s "$exe" 2>/dev/null) bytes, ovl.dll $(stat -c %s "$dll" 2>/dev/null) bytes"
exit $bad
