#!/usr/bin/env bash
# Runs a Windows program under the Wine that matches its bitness, in a
# private prefix for that bitness, quietly and without any first-start
# dialogs. Used as the cross builds' emulator, by the test command, the demo
# and the end-to-end runner: nothing else starts Wine.
#
#   wine-run.sh PROGRAM.exe [ARGS...]   bitness read from the program's PE header
#   wine-run.sh cmd /c exit 0           a builtin: bitness from FLICKO_WINE_BITS (default 64)
#   wine-run.sh --server [ARGS...]      the matching wineserver (-k, -w)
#   wine-run.sh --prefix                prints the prefix it uses and exits
#   wine-run.sh --bits PROGRAM          prints 32 or 64 and exits
#
# /usr/bin/wine always picks the 32-bit loader once wine32 is installed, so
# it cannot start a 64-bit program on such a machine: the loader is chosen
# here, /usr/lib/wine/wine64 with WINEARCH=win64 or /usr/lib/wine/wine with
# win32.
#
# Two kinds of session, each with its own prefixes and so its own
# wineserver:
# - the tests (the default: ctest, the test command, the end-to-end runner):
#   build/wineprefix-tests-winN, or FLICKO_WINE_PREFIX when set; an
#   exported WINEPREFIX is ignored, so the tests never join or kill the
#   user's Wine programs. Wine's HOME and XDG folders are build/wine-home,
#   so nothing the tests do under Wine lands in the user's home folder (a
#   setup's shortcuts become menu entries and icons there).
# - the user's (FLICKO_WINE_SESSION=user, as scripts/run.sh starts Flicko):
#   WINEPREFIX when set, else build/wineprefix-winN.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

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
  --prefix) mode=prefix; shift ;;
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
if [ "${FLICKO_WINE_SESSION:-tests}" = user ]; then
  export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix-win$bits}"
else
  export WINEPREFIX="${FLICKO_WINE_PREFIX:-$root/build/wineprefix-tests-win$bits}"
  home="$root/build/wine-home"
  mkdir -p "$home"
  export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state"
  unset XDG_DESKTOP_DIR XDG_DOCUMENTS_DIR XDG_DOWNLOAD_DIR XDG_MUSIC_DIR XDG_PICTURES_DIR XDG_VIDEOS_DIR \
    XDG_TEMPLATES_DIR XDG_PUBLICSHARE_DIR
fi
export WINEDEBUG=-all
# No Gecko or Mono download dialogs. (The menu builder stays: it is what
# makes the prefix's Start menu folders; under the tests its menu entries
# and icons go to build/wine-home.)
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "$mode" = prefix ]; then
  echo "$WINEPREFIX"
  exit 0
fi
if [ "$mode" = server ]; then
  [ -d "$WINEPREFIX" ] || exit 0
  exec "$server" "$@"
fi

# The server is started here, on its own and with no standard handle of
# ours: one that a program's start spawned would inherit that program's
# output, and whoever reads that output to its end (a test reading a tool's
# answer, ctest) would wait for the server to end too. It stays a while
# after its last program, so that the next start finds it.
start_server() {
  "$server" -p"${1:-30}" </dev/null >/dev/null 2>&1 || true
}

# A program that crashes ends at once with the exception's status (5 for an
# access violation) and Wine's one-line report on standard error: no crash
# dialog waiting on a display nobody watches, and no debugger, which, with
# its output going to a pipe (ctest's), kept that pipe open for half a
# minute and made the crashed program end with status 0. Only for the
# prefixes this tree makes, never the user's own.
no_crash_dialog() {
  local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  "$WINELOADER" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1 &&
    "$WINELOADER" reg add "$aedebug" /v Debugger /t REG_SZ /d "" /f </dev/null >/dev/null 2>&1 &&
    { [ "$bits" = 32 ] || "$WINELOADER" reg add "$aedebug" /v Debugger /t REG_SZ /d "" /f /reg:32 \
      </dev/null >/dev/null 2>&1; }
}
ours=1
if [ "${FLICKO_WINE_SESSION:-tests}" = user ] && [ "$WINEPREFIX" != "$root/build/wineprefix-win$bits" ]; then ours=0; fi

# A prefix exists only whole: it is made under a scratch name and renamed
# once wineboot has succeeded, so a failed or interrupted creation leaves
# nothing a later start would take for a prefix. The lock keeps parallel
# first starts (ctest -j) from making it twice.
if [ ! -d "$WINEPREFIX" ]; then
  parent=$(dirname "$WINEPREFIX")
  mkdir -p "$parent"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -d "$WINEPREFIX" ]; then
    # What an interrupted creation left: its programs, then its folder.
    for stale in "$WINEPREFIX".new.*; do
      [ -d "$stale" ] || continue
      WINEPREFIX="$stale" "$server" -k 2>/dev/null || true
      rm -rf "$stale"
    done
    made="$WINEPREFIX.new.$$"
    mkdir -p "$made"
    status=0
    WINEPREFIX="$made" start_server 0
    WINEPREFIX="$made" "$WINELOADER" wineboot -i </dev/null >/dev/null 2>&1 || status=$?
    [ "$status" != 0 ] || WINEPREFIX="$made" no_crash_dialog || status=$?
    WINEPREFIX="$made" "$server" -w || true
    if [ "$status" != 0 ] || [ ! -f "$made/system.reg" ]; then
      WINEPREFIX="$made" "$server" -k 2>/dev/null || true
      rm -rf "$made"
      echo "wine-run.sh: wineboot could not make the prefix $WINEPREFIX (exit status $status)" >&2
      exit 1
    fi
    mv -T "$made" "$WINEPREFIX"
  fi
  flock -u 9
  exec 9>&-
fi
start_server
# A prefix made before the crash dialog was switched off gets it now, once.
if [ "$ours" = 1 ] && { ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" ||
  ! grep -q '^"Debugger"=""' "$WINEPREFIX/system.reg"; } 2>/dev/null; then
  no_crash_dialog || true
fi

# The program replaces this script, so its process is the one the caller
# started (the tests match and measure it by that pid).
exec "$WINELOADER" "$@"
