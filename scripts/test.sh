#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer), the fuzz targets over
# their corpus, then each Windows build (x86_64, then i686) and its tests
# under the Wine of the same bitness on a private Xvfb display. Installs
# what it needs first. Every stage gates the exit status.
#
# The Windows tests run in the tests' own Wine prefixes with their own
# wineserver (see scripts/wine-run.sh) on an Xvfb started here: a Flicko the
# user runs, an exported WINEPREFIX and the user's other Wine programs are
# neither joined nor stopped. Whatever the command starts it stops.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${FLICKO_JOBS:-$(nproc)}
unset WINEPREFIX WINESERVER WINELOADER WINEARCH FLICKO_WINE_PREFIX FLICKO_WINE_SESSION

"$root/scripts/bootstrap.sh"

summary=()
run_ctest() {  # name, build dir, further ctest arguments
  local log name=$1 dir=$2
  shift 2
  log=$(mktemp)
  set +e
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  local line
  # A run that ends before its summary line (a crash, a configure error)
  # prints none: that is a failure of the stage, reported below.
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1 || true)
  summary+=("$name: ${line:-no tests ran}")
  local total failed
  total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
  failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
  all_total=$((all_total + ${total:-0}))
  all_failed=$((all_failed + ${failed:-0}))
  rm -f "$log"
  [ "$rc" = 0 ] && [ -n "$line" ] || overall=1
}
all_total=0
all_failed=0
overall=0

echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs"
run_ctest native build/native

echo "== native build with sanitizers"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DFLICKO_SANITIZE=ON -DFLICKO_BENCHMARKS=OFF >/dev/null
cmake --build build/asan -j "$jobs"
run_ctest sanitizers build/asan

echo "== fuzz targets over their committed corpus (clang, libFuzzer)"
"$root/scripts/fuzz-corpus.sh" --build-only
run_ctest fuzz-corpus build/fuzz -R fuzz_corpus

windows_build() {  # build dir, toolchain file
  cmake -S . -B "$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLICKO_BENCHMARKS=OFF >/dev/null
  cmake --build "$1" -j "$jobs"
}
release_checks='^(claspm_exports_and_imports|readme_names_the_version|winconst_check_covers_every_constant)$'
# Under Wine a failed test runs once more: the end-to-end cases drive real
# X input against real timing, and a loaded machine can miss a deadline.
# A case that fails twice fails the stage; ctest's log shows both runs.
wine_retry=(--repeat until-pass:2)

# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
flicko_start_xvfb
# The tests' own servers only (their prefixes): -k ends every program of
# that server, then the server.
stop_wine() {
  local b
  for b in 64 32; do
    FLICKO_WINE_BITS=$b "$root/scripts/wine-run.sh" --server -k 2>/dev/null || true
    FLICKO_WINE_BITS=$b "$root/scripts/wine-run.sh" --server -w 2>/dev/null || true
  done
}
# starts BITS: Wine of that bitness starts a program in the tests' prefix
# (the first start makes the prefix); on failure prints why and returns 1.
# The output goes to a file: reading a pipe to its end would also wait for
# any process Wine started that inherited it.
starts() {
  local out rc=0
  out=$(mktemp)
  timeout 600 env FLICKO_WINE_BITS="$1" "$root/scripts/wine-run.sh" cmd /c exit 0 </dev/null >"$out" 2>&1 || rc=$?
  if [ "$rc" != 0 ]; then
    echo "!! $1-bit Wine cannot start a program here (exit status $rc): $(tail -n 5 "$out")"
  fi
  rm -f "$out"
  [ "$rc" = 0 ]
}
trap 'stop_wine; flicko_stop_xvfb' EXIT

echo "== Windows build, x86_64 (MinGW-w64)"
windows_build build/win64 mingw-x86_64.cmake
echo "== x86_64 Windows tests under 64-bit Wine"
# The first start creates the prefix; a machine where even that fails has
# no usable Wine, and the stage fails (it never passes by being skipped).
if ! starts 64; then
  summary+=("x86_64 under Wine: FAILED - 64-bit Wine cannot start a program")
  overall=1
else
  run_ctest "x86_64 under Wine" build/win64 "${wine_retry[@]}"
fi
stop_wine

echo "== Windows build, i686 (MinGW-w64)"
windows_build build/win32 mingw-i686.cmake
# Some kernels execute no 32-bit code at all (IA-32 emulation off): there
# the 32-bit loader itself fails with "Exec format error", and only then is
# the i686 Wine stage left out. Any other failure fails the stage.
loader32=0
loader_out=$(timeout 60 /usr/lib/wine/wine --version 2>&1 </dev/null) || loader32=$?
if [ "$loader32" != 0 ] && echo "$loader_out" | grep -qi 'exec format error'; then
  echo "== i686 release checks (this kernel runs no 32-bit code: the i686 Wine tests cannot run here)"
  run_ctest "i686 release checks" build/win32 -R "$release_checks"
  summary+=("i686 under Wine: not run - this kernel executes no 32-bit code (the x86_64 stage above is the Windows gate)")
elif [ "$loader32" != 0 ]; then
  echo "!! the 32-bit Wine loader fails (exit status $loader32): $loader_out"
  run_ctest "i686 release checks" build/win32 -R "$release_checks"
  summary+=("i686 under Wine: FAILED - /usr/lib/wine/wine --version ended with $loader32: $loader_out")
  overall=1
elif ! starts 32; then
  run_ctest "i686 release checks" build/win32 -R "$release_checks"
  summary+=("i686 under Wine: FAILED - 32-bit Wine cannot start a program")
  overall=1
else
  echo "== i686 Windows tests under 32-bit Wine"
  run_ctest "i686 under Wine" build/win32 "${wine_retry[@]}"
fi
stop_wine

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "tests: $((all_total - all_failed)) passed, $all_failed failed"
exit $overall
