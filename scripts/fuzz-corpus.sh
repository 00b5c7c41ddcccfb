#!/usr/bin/env bash
# Builds the libFuzzer targets of the scroll-data language with clang in
# build/fuzz and runs each once over its committed corpus (no fuzzing: a
# fast regression check), each input with a time limit of 2 s (a slow regular
# expression match fails it). Longer runs:
# build/fuzz/fuzz_<target> -timeout=2 -max_total_time=300 DIR fuzz/corpus/<target>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${FLICKO_JOBS:-2}
cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLICKO_BENCHMARKS=OFF >/dev/null
targets=(reader calc windowpath actions)
cmake --build build/fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}" profile_fuzz
if [ "${1:-}" = --build-only ]; then exit 0; fi
status=0
for t in "${targets[@]}" profile; do
  exe=build/fuzz/fuzz_"$t"
  [ "$t" = profile ] && exe=build/fuzz/profile_fuzz
  if "$exe" -runs=0 -timeout=2 fuzz/corpus/"$t" >build/fuzz/corpus-"$t".log 2>&1; then
    echo "fuzz corpus $t: ok ($(ls fuzz/corpus/"$t" | wc -l) inputs)"
  else
    echo "fuzz corpus $t: FAILED (see build/fuzz/corpus-$t.log)"
    status=1
  fi
done
exit $status
