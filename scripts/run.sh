#!/usr/bin/env bash
# Builds the Windows release folder and starts Flicko under Wine on the
# current display (or on a private Xvfb when there is none).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/bootstrap.sh"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DFLICKO_BENCHMARKS=OFF >/dev/null
cmake --build build/win32 -j "$(nproc)"
if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=scripts/xvfb.sh
  . "$root/scripts/xvfb.sh"
  flicko_start_xvfb
  trap flicko_stop_xvfb EXIT
fi
export WINEPREFIX="$root/build/wineprefix"
exec "$root/scripts/wine-run.sh" "$root/build/win32/release/flicko.exe"
