#!/usr/bin/env bash
# Each program of the release folder starts under Wine and exits cleanly.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$1
for exe in flicko.exe fprobe.exe; do
  timeout 60 "$here/wine-run.sh" "$dir/$exe"
  echo "$exe: started and exited with 0"
done
