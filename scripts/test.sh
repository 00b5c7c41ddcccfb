#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (plain and
# under AddressSanitizer/UndefinedBehaviorSanitizer), the fuzz targets over
# their corpus, then each Windows build (x86_64, then i686) and its tests
# under the Wine of the same bitness on a private Xvfb display. Installs
# what it needs first. Every stage gates the exit status; a stage that fails
# to build or is not reached counts in the closing line.
#
# The Windows tests run in the tests' own Wine prefixes with their own
# wineserver (see scripts/wine-run.sh) on an Xvfb started here: a Flicko the
# user runs, an exported WINEPREFIX and the user's other Wine programs are
# neither joined nor stopped. Whatever the command starts it stops, also on
# Ctrl-C, TERM and at the deadline (FLICKO_TEST_DEADLINE seconds, 80
# minutes unless set), where it reports what it did not reach.
#
# FLICKO_TEST_STAGES picks stages for a quicker look (a comma list of
# native, sanitizers, fuzz, win64, win32); the others then count as not run
# and the command fails, so only the whole run can pass.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# --- the outer process: a session of its own for the run -------------------
#
# The run goes in a session of its own, so that everything it starts (ctest,
# compilers, Wine, Python, xdotool) can be stopped together. This process
# only waits: an interrupt, a TERM or the deadline asks the run to stop
# (it stops its servers and prints its summary), and after a grace period
# whatever is left of the session is killed.
if [ -z "${FLICKO_TEST_RUN:-}" ]; then
  deadline=${FLICKO_TEST_DEADLINE:-4800}
  state=$(mktemp -d)
  FLICKO_TEST_RUN="$state" setsid "$root/scripts/test.sh" "$@" </dev/null &
  runner=$!
  for _ in $(seq 1 100); do [ -s "$state/pid" ] && break; sleep 0.05; done
  group=$(cat "$state/pid" 2>/dev/null || echo "$runner")
  stop_run() {  # reason
    echo "$1" >"$state/reason"
    kill -TERM "$group" 2>/dev/null
    for _ in $(seq 1 200); do kill -0 "$group" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$group" 2>/dev/null
  }
  watchdog=
  stopped() {  # reason, exit status
    stop_run "$1"
    wait "$runner" 2>/dev/null
    [ -n "$watchdog" ] && kill -TERM "$watchdog" 2>/dev/null
    rm -rf "$state"
    exit "$2"
  }
  trap 'stopped interrupted 130' INT
  trap 'stopped terminated 143' TERM HUP
  (
    sleeper=
    trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
    sleep "$deadline" &
    sleeper=$!
    wait "$sleeper"
    echo "the deadline of $deadline s passed" >"$state/reason"
    kill -TERM "$group" 2>/dev/null
    sleep 20 &
    sleeper=$!
    wait "$sleeper"
    kill -KILL -- "-$group" 2>/dev/null
  ) &
  watchdog=$!
  status=0
  while :; do
    wait "$runner" && status=0 || status=$?
    kill -0 "$runner" 2>/dev/null || break
  done
  kill -TERM "$watchdog" 2>/dev/null
  # Anything of the session still running (a server that outlived a case).
  kill -KILL -- "-$group" 2>/dev/null
  rm -rf "$state"
  exit "$status"
fi

# --- the run ------------------------------------------------------------------
state=$FLICKO_TEST_RUN
echo $$ >"$state/pid"
jobs=${FLICKO_JOBS:-$(nproc)}
unset WINEPREFIX WINESERVER WINELOADER WINEARCH FLICKO_WINE_PREFIX FLICKO_WINE_SESSION

stages=(native sanitizers fuzz-corpus "x86_64 under Wine" "i686 under Wine")
declare -A result=()   # stage -> its line in the summary
summary=()
retried=()             # end-to-end cases that passed only when run again
all_total=0
all_failed=0
bad_stages=()          # failed, or not run where they should have run
skipped=()             # not run where they cannot run (no 32-bit code)
overall=0
current=""
finished=0

# wanted KEY: the stage is among those FLICKO_TEST_STAGES picks (all by default).
wanted() {
  local key=$1 name=$2
  if [ -z "${FLICKO_TEST_STAGES:-}" ] || [[ ",$FLICKO_TEST_STAGES," == *",$key,"* ]]; then return 0; fi
  note "$name" "NOT RUN - left out by FLICKO_TEST_STAGES=$FLICKO_TEST_STAGES" bad
  return 1
}

note() {  # stage, line, ok|bad|skip
  result[$1]=$2
  summary+=("$1: $2")
  case $3 in
    bad) bad_stages+=("$1"); overall=1 ;;
    skip) skipped+=("$1") ;;
  esac
}

print_summary() {
  local s reason=""
  [ -f "$state/reason" ] && reason=$(cat "$state/reason")
  for s in "${stages[@]}"; do
    if [ -z "${result[$s]+x}" ]; then
      if [ "$s" = "$current" ]; then
        note "$s" "FAILED - stopped while it ran (${reason:-the run ended})" bad
      else
        note "$s" "NOT RUN - ${reason:-the run ended before it}" bad
      fi
    fi
  done
  echo
  echo "== summary"
  printf '%s\n' "${summary[@]}"
  if [ "${#retried[@]}" -gt 0 ]; then
    echo "passed only when run a second time: ${retried[*]}"
  fi
  local line="tests: $((all_total - all_failed)) passed, $all_failed failed"
  if [ "${#bad_stages[@]}" -gt 0 ]; then
    line+="; stages failed or not run: ${#bad_stages[@]} ($(IFS=,; echo "${bad_stages[*]}" | sed 's/,/, /g'))"
  fi
  if [ "${#skipped[@]}" -gt 0 ]; then
    line+="; left out on this machine: $(IFS=,; echo "${skipped[*]}" | sed 's/,/, /g')"
  fi
  echo "$line"
}

# The run's own servers: the tests' Wine prefixes (and the scratch copies
# the cases make of them) and Xvfb. -k ends every program of a server,
# then the server.
stop_wine() {
  local b p
  for b in 64 32; do
    FLICKO_WINE_BITS=$b "$root/scripts/wine-run.sh" --server -k 2>/dev/null || true
  done
  for p in "$root"/build/win*/e2e/work/*/prefix*/ "$root"/build/wineprefix-tests-win*.new.*/; do
    [ -f "$p/system.reg" ] || [ -d "$p" ] || continue
    for b in 64 32; do
      FLICKO_WINE_BITS=$b FLICKO_WINE_PREFIX="${p%/}" "$root/scripts/wine-run.sh" --server -k 2>/dev/null || true
    done
  done
  for b in 64 32; do
    FLICKO_WINE_BITS=$b "$root/scripts/wine-run.sh" --server -w 2>/dev/null || true
  done
}

finish() {
  local rc=$?
  trap '' TERM INT HUP
  if [ "$finished" = 0 ]; then
    # Everything else of this session first (ctest, the cases, compilers).
    kill -TERM 0 2>/dev/null
    stop_wine
    # A prefix whose making was cut short is no prefix.
    rm -rf "$root"/build/wineprefix-tests-win*.new.*
    declare -F flicko_stop_xvfb >/dev/null && flicko_stop_xvfb
    print_summary
    [ "$overall" = 0 ] && [ -f "$state/reason" ] && overall=1
    finished=1
  fi
  [ "$rc" != 0 ] && [ "$overall" = 0 ] && overall=$rc
  exit $overall
}
trap finish EXIT
trap 'exit 1' TERM INT HUP
# Every long command runs in the background and is waited for: bash runs a
# trap only between commands, and wait is the one it interrupts, so a stop
# takes effect at once rather than when the command ends.
waited() {
  "$@" &
  wait $!
}
# The output of a waited command goes elsewhere through these, inside the
# background job: a redirection on the waiting call would also take the
# summary that a trap prints while it waits.
quietly() { "$@" >/dev/null; }
into() {  # file command...: stdin from nothing, stdout and stderr to file
  local file=$1
  shift
  "$@" </dev/null >"$file" 2>&1
}

waited "$root/scripts/bootstrap.sh" || { echo "!! bootstrap failed: the toolchain could not be installed"; exit 1; }

# run_ctest stage build-dir [ctest arguments]: one pass; adds to the totals.
# Leaves the names of the failed tests in $failed_names.
run_ctest() {
  local log dir=$2
  shift 2
  log=$(mktemp)
  # A test without a time-out of its own gets five minutes.
  local rc=0
  (
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 "$@" 2>&1 | tee "$log"
    exit "${PIPESTATUS[0]}"
  ) &
  wait $! || rc=$?
  ctest_line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n 1 || true)
  failed_names=()
  if [ -f "$dir/Testing/Temporary/LastTestsFailed.log" ] && [ "$rc" != 0 ]; then
    mapfile -t failed_names < <(sed -E 's/^[0-9]+://' "$dir/Testing/Temporary/LastTestsFailed.log")
  fi
  rm -f "$log"
  ctest_total=$(echo "$ctest_line" | sed -nE 's/.* out of ([0-9]+).*/\1/p')
  ctest_failed=$(echo "$ctest_line" | sed -nE 's/.* ([0-9]+) tests failed.*/\1/p')
  [ "$rc" = 0 ] && [ -n "$ctest_line" ]
}

# A native stage: the summary line of its one ctest pass.
native_stage() {  # stage, build dir, ctest arguments
  local name=$1 dir=$2
  shift 2
  current=$name
  if run_ctest "$name" "$dir" "$@"; then
    note "$name" "$ctest_line" ok
  else
    note "$name" "${ctest_line:-FAILED - ctest ended without a summary}" bad
  fi
  all_total=$((all_total + ${ctest_total:-0}))
  all_failed=$((all_failed + ${ctest_failed:-0}))
}

# A Windows stage. Every test runs once; only an end-to-end case that fails
# (real X input against real timing, which a loaded machine can delay) runs
# a second time, and the summary names each one that passed only then.
wine_stage() {  # stage, build dir
  local name=$1 dir=$2 total failed again=() n
  current=$name
  if run_ctest "$name" "$dir"; then
    note "$name" "$ctest_line" ok
    all_total=$((all_total + ctest_total))
    return
  fi
  if [ -z "$ctest_line" ]; then
    note "$name" "FAILED - ctest ended without a summary" bad
    return
  fi
  total=$ctest_total
  failed=$ctest_failed
  for n in "${failed_names[@]}"; do
    case $n in
      e2e_*) again+=("$n") ;;
      *) ;;
    esac
  done
  # Only when everything else passed (a failed start of Flicko fails every
  # case anyway) and nothing but end-to-end cases failed.
  if [ "${#again[@]}" -gt 0 ] && [ "${#again[@]}" = "$failed" ]; then
    echo "== $name: running the failed end-to-end cases once more: ${again[*]}"
    local pattern
    pattern="^($(IFS='|'; echo "${again[*]}"))\$"
    run_ctest "$name (again)" "$dir" -R "$pattern" -FS flicko_starts || true
    local still=" ${failed_names[*]} "
    # A second run that ended without its summary proves nothing.
    [ -n "$ctest_line" ] || still=" ${again[*]} "
    for n in "${again[@]}"; do
      if [[ $still != *" $n "* ]]; then
        retried+=("$n ($name)")
        failed=$((failed - 1))
      fi
    done
  fi
  all_total=$((all_total + total))
  all_failed=$((all_failed + failed))
  if [ "$failed" = 0 ]; then
    note "$name" "100% tests passed, 0 tests failed out of $total (some only when run again)" ok
  else
    note "$name" "$((100 * (total - failed) / total))% tests passed, $failed tests failed out of $total" bad
  fi
}

build() {  # stage, what, command...
  local name=$1 what=$2
  shift 2
  current=$name
  if ! waited "$@"; then
    echo "!! $what failed"
    note "$name" "FAILED - $what failed" bad
    return 1
  fi
}

echo "== native build"
if wanted native native && build native "the native build" quietly cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
   build native "the native build" cmake --build build/native -j "$jobs"; then
  native_stage native build/native
fi

echo "== native build with sanitizers"
if wanted sanitizers sanitizers && build sanitizers "the sanitizer build" quietly cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DFLICKO_SANITIZE=ON \
     -DFLICKO_BENCHMARKS=OFF &&
   build sanitizers "the sanitizer build" cmake --build build/asan -j "$jobs"; then
  native_stage sanitizers build/asan
fi

echo "== fuzz targets over their committed corpus (clang, libFuzzer)"
if wanted fuzz fuzz-corpus && build fuzz-corpus "the fuzz build" "$root/scripts/fuzz-corpus.sh" --build-only; then
  native_stage fuzz-corpus build/fuzz -R fuzz_corpus
fi

windows_build() {  # stage, build dir, toolchain file
  build "$1" "the $1 build" quietly cmake -S . -B "$2" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$3" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLICKO_BENCHMARKS=OFF &&
    build "$1" "the $1 build" cmake --build "$2" -j "$jobs"
}
release_checks='^(claspm_exports_and_imports|readme_names_the_version|winconst_check_covers_every_constant)$'

# shellcheck source=scripts/xvfb.sh
. "$root/scripts/xvfb.sh"
if ! flicko_start_xvfb; then
  note "x86_64 under Wine" "FAILED - Xvfb did not start" bad
  note "i686 under Wine" "FAILED - Xvfb did not start" bad
  exit 1
fi
# starts BITS: Wine of that bitness starts a program in the tests' prefix
# (the first start makes the prefix); on failure prints why and returns 1.
# The output goes to a file: reading a pipe to its end would also wait for
# any process Wine started that inherited it.
starts() {
  local out rc=0
  out=$(mktemp)
  waited into "$out" timeout --foreground 600 env FLICKO_WINE_BITS="$1" "$root/scripts/wine-run.sh" cmd /c exit 0 ||
    rc=$?
  if [ "$rc" != 0 ]; then
    echo "!! $1-bit Wine cannot start a program here (exit status $rc): $(tail -n 5 "$out")"
  fi
  rm -f "$out"
  [ "$rc" = 0 ]
}

echo "== Windows build, x86_64 (MinGW-w64)"
if wanted win64 "x86_64 under Wine" && windows_build "x86_64 under Wine" build/win64 mingw-x86_64.cmake; then
  echo "== x86_64 Windows tests under 64-bit Wine"
  # The first start creates the prefix; a machine where even that fails has
  # no usable Wine, and the stage fails (it never passes by being skipped).
  if ! starts 64; then
    note "x86_64 under Wine" "FAILED - 64-bit Wine cannot start a program" bad
  else
    wine_stage "x86_64 under Wine" build/win64
  fi
  stop_wine
fi

echo "== Windows build, i686 (MinGW-w64)"
if wanted win32 "i686 under Wine" && windows_build "i686 under Wine" build/win32 mingw-i686.cmake; then
  # Some kernels execute no 32-bit code at all (IA-32 emulation off): there
  # the 32-bit loader itself fails with "Exec format error", and only then is
  # the i686 Wine stage left out. Any other failure fails the stage. The
  # loader is started by bash's exec: timeout's own exec hands a file the
  # kernel refuses to /bin/sh, which hides the refusal behind a syntax error.
  loader32=0
  loader_out=$(timeout --foreground 60 bash -c 'exec "$0" --version' /usr/lib/wine/wine 2>&1 </dev/null) || loader32=$?
  if [ "$loader32" != 0 ] && echo "$loader_out" | grep -qi 'exec format error'; then
    echo "== i686 release checks (this kernel runs no 32-bit code: the i686 Wine tests cannot run here)"
    native_stage "i686 release checks" build/win32 -R "$release_checks"
    note "i686 under Wine" "not run - this kernel executes no 32-bit code (the x86_64 stage above is the Windows gate)" skip
  elif [ "$loader32" != 0 ]; then
    echo "!! the 32-bit Wine loader fails (exit status $loader32): $loader_out"
    native_stage "i686 release checks" build/win32 -R "$release_checks"
    note "i686 under Wine" "FAILED - /usr/lib/wine/wine --version ended with $loader32: $loader_out" bad
  elif ! starts 32; then
    native_stage "i686 release checks" build/win32 -R "$release_checks"
    note "i686 under Wine" "FAILED - 32-bit Wine cannot start a program" bad
  else
    echo "== i686 Windows tests under 32-bit Wine"
    wine_stage "i686 under Wine" build/win32
  fi
  stop_wine
fi
current=""
exit $overall
