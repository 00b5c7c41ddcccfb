#!/usr/bin/env bash
# Runs a Windows program under the Wine that matches its bitness, in the
# project's private prefix for that bitness, quietly and without any
# first-start dialogs. Used as the cross builds' emulator, by the test
# command, the demo and the end-to-end runner: nothing else starts Wine.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   bitness read from the program's PE header
#   wine-run.sh cmd /c exit 0           a builtin: bitness from FLICKO_WINE_BITS (default 64)
#   wine-run.sh --server [ARGS...]      the matching wineserver (-k, -w)
#   wine-run.sh --bits PROGRAM          prints 32 or 64 and exits
#
# /usr/bin/wine always picks the 32-bit loader once wine32 is installed, so
# it cannot start a 64-bit program on such a machine: the loader is chosen
# here, /usr/lib/wine/wine64 with WINEARCH=win64 or /usr/lib/wine/wine with
# win32. WINEPREFIX, when set, wins; by default each bitness has its own
# prefix under build/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

pe_bits() {  # the bitness of a PE file from its COFF machine field
  local lfanew machine
  lfanew=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((lfanew + 4)) -N2 "$1" | tr -d ' ')
  case $machine in
    8664) echo 64 ;;
    014c) echo 32 ;;
    *) echo "wine-run.sh: $1 is not an x86 or x86-64 PE file (machine $machine)" >&2; return 1 ;;
  esac
}

mode=run
case "${1:-}" in
  --server) mode=server; shift ;;
  --bits) pe_bits "$2"; exit ;;
esac

bits=${FLICKO_WINE_BITS:-}
if [ -z "$bits" ] && [ "$mode" = run ] && [ -f "${1:-}" ]; then bits=$(pe_bits "$1"); fi
bits=${bits:-64}

if [ "$bits" = 64 ]; then
  export WINELOADER=/usr/lib/wine/wine64 WINEARCH=win64
  server=/usr/lib/wine/wineserver64
else
  export WINELOADER=/usr/lib/wine/wine WINEARCH=win32
  server=/usr/lib/wine/wineserver32
fi
export WINESERVER=$server
export WINEPREFIX="${WINEPREFIX:-$(cd "$here/.." && pwd)/build/wineprefix-win$bits}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "$mode" = server ]; then
  [ -d "$WINEPREFIX" ] || exit 0
  exec "$server" "$@"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  "$server" -w || true
fi
exec "$WINELOADER" "$@"
