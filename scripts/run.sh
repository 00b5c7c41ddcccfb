#!/usr/bin/env bash
# Builds the Windows release folder this machine can run and starts Flicko
# under Wine.
#
# The build is the x86_64 one (build/win64) wherever 64-bit Wine runs; the
# i686 one (build/win32) only where it does not and the kernel runs 32-bit
# code. FLICKO_WINE_BITS=32 or 64 chooses one.
#
# With a display (DISPLAY set) Flicko starts there, in the user's Wine prefix
# (WINEPREFIX when set, else build/wineprefix-winN), from a copy of the
# release folder (build/run-winN: the test command rebuilds the release
# folder, and a new hook library must never load into the user's programs
# beside an older resident), and stays resident until it is closed from its
# tray menu.
# Without one, a private Xvfb is started, a demo window with long content
# opens, a scripted right drag and a flick are performed with real X input,
# and screenshots before and after plus a short summary are written to the
# folder named at the end. The demo has a Wine prefix of its own
# (build/wineprefix-demo-winN), so it never stops a test running beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/bootstrap.sh"

# can_start BITS: Wine of that bitness starts a Windows program here (the
# first start also creates the prefix, which takes a while).
can_start() {
  FLICKO_WINE_BITS=$1 timeout --foreground 300 "$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1
}
# The 32-bit loader is itself 32-bit code: where the kernel does not run
# such code it fails at once.
runs_32bit_code() {
  timeout --foreground 20 /usr/lib/wine/wine --version >/dev/null 2>&1
}

bits=${FLICKO_WINE_BITS:-}
if [ -z "$bits" ]; then
  if [ "$(uname -m)" = x86_64 ] && [ -x /usr/lib/wine/wine64 ]; then
    bits=64
  elif runs_32bit_code; then
    bits=32
  else
    echo "run: Wine cannot start Windows programs here: no 64-bit Wine (/usr/lib/wine/wine64), and the kernel runs no 32-bit code" >&2
    exit 1
  fi
fi
case $bits in
  64) build=build/win64 toolchain=mingw-x86_64.cmake ;;
  32) build=build/win32 toolchain=mingw-i686.cmake ;;
  *) echo "run: FLICKO_WINE_BITS must be 32 or 64, not '$bits'" >&2; exit 2 ;;
esac
export FLICKO_WINE_BITS=$bits

echo "run: building the $bits-bit programs in $build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DFLICKO_BENCHMARKS=OFF >/dev/null
# The programs, and the demo's fixture and probe tool.
cmake --build "$build" -j "$(nproc)" --target flicko claspm fprobe fcheck release_defaults e2e_fixture e2e_flickotool
release="$root/$build/release"

# Asked on the display the programs will use: the first program of a Wine
# session decides the display of the whole session.
check_wine() {
  can_start "$bits" && return 0
  if [ "$bits" = 32 ] && ! runs_32bit_code; then
    echo "run: Wine cannot start the 32-bit programs here: this kernel runs no 32-bit code (use the 64-bit build)" >&2
  else
    echo "run: Wine cannot start a $bits-bit program here ('scripts/wine-run.sh cmd /c exit 0' failed; run it to see why)" >&2
  fi
  exit 1
}

# The resident Flicko runs in the user's prefix (WINEPREFIX, or
# build/wineprefix-winN); the demo in a prefix of its own, whose server it
# stops at its end.
if [ -n "${DISPLAY:-}" ]; then
  if ! timeout --foreground 10 xdpyinfo >/dev/null 2>&1; then
    echo "run: the display $DISPLAY does not answer (unset DISPLAY for the headless demo)" >&2
    exit 1
  fi
  export FLICKO_WINE_SESSION=user
  check_wine
  # A fresh copy, put in place by renames: a Flicko still running from the
  # last copy keeps its files.
  copy="$root/build/run-win$bits"
  rm -rf "$copy".new.* "$copy".old.*
  cp -r "$release" "$copy.new.$$"
  [ -d "$copy" ] && mv -T "$copy" "$copy.old.$$"
  mv -T "$copy.new.$$" "$copy"
  rm -rf "$copy.old.$$"
  exec "$root/scripts/wine-run.sh" "$copy/flicko.exe"
fi
export FLICKO_WINE_PREFIX="$root/build/wineprefix-demo-win$bits"

# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
flicko_start_xvfb
unset FLICKO_WINE_SESSION
trap '"$root/scripts/wine-run.sh" --server -k 2>/dev/null || true; flicko_stop_xvfb' EXIT
check_wine
out="$root/out/run-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
python3 "$root/tests/e2e/e2e.py" --demo "$out" \
  --release "$release" --fixture "$root/$build/e2e/fixture.exe" \
  --tools "$root/$build/tools" --work "$root/$build/e2e/work"
echo "screenshots and summary: $out"
