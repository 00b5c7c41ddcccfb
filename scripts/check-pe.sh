#!/usr/bin/env bash
# Checks a release folder: all four programs in the build's PE format
# (pei-x86-64 for the 64-bit build, pei-i386 for the 32-bit one), system
# imports only, and a hook library with an entry point (and on x64 its
# exception directory) that exports exactly its two functions by plain name.
#   check-pe.sh DIR pei-x86-64|pei-i386
set -euo pipefail
dir=$1
format=${2:-}
case $format in
  pei-x86-64) objdump=x86_64-w64-mingw32-objdump; kind="PE32+ x86-64" ;;
  pei-i386) objdump=i686-w64-mingw32-objdump; kind="PE32 i386" ;;
  *) echo "usage: $0 DIR pei-x86-64|pei-i386"; exit 2 ;;
esac
system_dlls='^(kernel32|user32|gdi32|shell32|winmm|advapi32|version|comctl32|comdlg32|msvcrt|ole32|oleaut32|shlwapi|ntdll)\.dll$'
status=0
claspm_ok=0
for f in flicko.exe claspm.dll fprobe.exe fcheck.exe; do
  p="$dir/$f"
  if [ ! -f "$p" ]; then
    echo "missing: $p"; status=1; continue
  fi
  actual=$($objdump -f "$p" 2>/dev/null | sed -n 's/.*file format //p' || true)
  if [ "$actual" != "$format" ]; then
    echo "$f: not a $kind file (${actual:-a format $objdump does not read})"; status=1
    continue
  fi
  [ "$f" = claspm.dll ] && claspm_ok=1
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system_dlls"; then
      echo "$f imports a non-system DLL: $dll"; status=1
    fi
  done < <($objdump -p "$p" | sed -n 's/^\s*DLL Name: //p')
done
claspm="$dir/claspm.dll"
if [ $claspm_ok = 1 ]; then
  headers=$($objdump -p "$claspm")
  entry=$(echo "$headers" | sed -n 's/^AddressOfEntryPoint[[:space:]]*//p')
  if [ -z "$entry" ] || [ $((16#$entry)) -eq 0 ]; then
    echo "claspm.dll has no entry point"; status=1
  fi
  if [ "$format" = pei-x86-64 ]; then
    # Entry 3 of the data directories: the exception (unwind) table.
    exception=$(echo "$headers" | sed -n 's/^Entry 3 \([0-9a-fA-F]*\) \([0-9a-fA-F]*\) Exception Directory.*/\2/p')
    if [ -z "$exception" ] || [ $((16#$exception)) -eq 0 ]; then
      echo "claspm.dll has no exception directory"; status=1
    fi
  fi
  exports=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
    | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort | tr '\n' ' ')
  if [ "$exports" != "SetClaspMouseProc UnclaspMouseProc " ]; then
    echo "claspm.dll exports: '$exports' (expected exactly SetClaspMouseProc UnclaspMouseProc)"; status=1
  fi
fi
[ $status = 0 ] && echo "release folder: $kind, system imports only, claspm entry point set, exports: $exports"
exit $status
