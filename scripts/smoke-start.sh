#!/usr/bin/env bash
# Each program of the release folder starts under Wine and ends cleanly:
# each must create its window, then end with exit code 0 when the window is
# closed (WM_CLOSE, the way the tray's Exit and the close box do it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$(cd "$1" && pwd)
tool="$dir/../tools/flickotool.exe"

# From a scratch copy, so that the shipped settings stay as built.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$dir" "$work/rel"
# start_and_close EXE CLASS
start_and_close() {
  local exe=$1 cls=$2 pid rc deadline
  "$here/wine-run.sh" "$work/rel/$exe" &
  pid=$!
  deadline=$((SECONDS + 90))
  until "$here/wine-run.sh" "$tool" exists "$cls" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || true
      echo "$exe ended before its window appeared"; exit 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      kill "$pid" 2>/dev/null || true
      echo "$exe: no window after 90 s"; exit 1
    fi
    sleep 0.5
  done
  if ! "$here/wine-run.sh" "$tool" close "$cls" 30000 >/dev/null 2>&1; then
    kill "$pid" 2>/dev/null || true
    echo "$exe: window did not close"; exit 1
  fi
  rc=0
  wait "$pid" || rc=$?
  if [ "$rc" != 0 ]; then echo "$exe: exit code $rc"; exit 1; fi
  echo "$exe: started, closed by WM_CLOSE and exited with 0"
}

start_and_close flicko.exe Flicko
start_and_close fprobe.exe TFProbeForm
