#!/usr/bin/env bash
# Checks the release folder: 32-bit PE files that import system DLLs only,
# and a hook library that exports exactly its two functions by plain name.
set -euo pipefail
dir=$1
objdump=i686-w64-mingw32-objdump
system_dlls='^(kernel32|user32|gdi32|shell32|winmm|advapi32|version|comctl32|comdlg32|msvcrt|ole32|oleaut32|shlwapi|ntdll)\.dll$'
status=0
for f in flicko.exe claspm.dll fprobe.exe fcheck.exe; do
  p="$dir/$f"
  if [ ! -f "$p" ]; then
    [ "$f" = fcheck.exe ] && continue   # built once the checker exists
    echo "missing: $p"; status=1; continue
  fi
  if ! $objdump -f "$p" | grep -q 'file format pei-i386'; then
    echo "$f: not a PE32 i386 file"; status=1
  fi
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system_dlls"; then
      echo "$f imports a non-system DLL: $dll"; status=1
    fi
  done < <($objdump -p "$p" | sed -n 's/^\s*DLL Name: //p')
done
exports=$($objdump -p "$dir/claspm.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
  | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort | tr '\n' ' ')
if [ "$exports" != "SetClaspMouseProc UnclaspMouseProc " ]; then
  echo "claspm.dll exports: '$exports' (expected exactly SetClaspMouseProc UnclaspMouseProc)"; status=1
fi
[ $status = 0 ] && echo "release folder: PE32 i386, system imports only, claspm exports: $exports"
exit $status
