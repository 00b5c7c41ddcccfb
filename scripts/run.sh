#!/usr/bin/env bash
# Builds the Windows release folder and starts Flicko under Wine.
#
# With a display (DISPLAY set) Flicko starts there and stays resident until
# it is closed from its tray menu.
# Without one, a private Xvfb is started, a demo window with long content
# opens, a scripted right drag and a flick are performed with real X input,
# and screenshots before and after plus a short summary are written to the
# folder named at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/bootstrap.sh"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DFLICKO_BENCHMARKS=OFF >/dev/null
cmake --build build/win32 -j "$(nproc)"
export WINEPREFIX="$root/build/wineprefix"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$root/build/win32/release/flicko.exe"
fi

# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
flicko_start_xvfb
trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true; flicko_stop_xvfb' EXIT
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true   # create the prefix once
out="$root/out/run-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
python3 "$root/tests/e2e/e2e.py" --demo "$out" \
  --release "$root/build/win32/release" --fixture "$root/build/win32/e2e/fixture.exe" \
  --tools "$root/build/win32/tools" --work "$root/build/win32/e2e/work"
echo "screenshots and summary: $out"
