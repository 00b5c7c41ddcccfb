#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer), then the Windows build
# under Wine on a private Xvfb display. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${FLICKO_JOBS:-$(nproc)}

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
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1)
  summary+=("$name: $line")
  local total failed
  total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
  failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
  all_total=$((all_total + ${total:-0}))
  all_failed=$((all_failed + ${failed:-0}))
  rm -f "$log"
  [ "$rc" = 0 ] || overall=1
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

echo "== Windows build (MinGW-w64 i686)"
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLICKO_BENCHMARKS=OFF >/dev/null
cmake --build build/win32 -j "$jobs"

echo "== Windows tests under Wine"
# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
flicko_start_xvfb
export WINEPREFIX="$root/build/wineprefix"
trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true; flicko_stop_xvfb' EXIT
"$root/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true   # create the prefix once
run_ctest wine build/win32

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "tests: $((all_total - all_failed)) passed, $all_failed failed"
exit $overall
