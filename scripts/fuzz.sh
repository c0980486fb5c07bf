#!/usr/bin/env bash
# Run by hand after a change to a reader of outside input (test.sh runs it briefly first).
# Builds the pure rules natively under AddressSanitizer and UndefinedBehaviorSanitizer, runs their
# unit tests and every fuzz target's seed inputs, then fuzzes each target for the given seconds
# (default 40) and reports executions, speed and coverage. Any failure or finding fails the script;
# the input that broke a target is kept in <build>/fuzz/<target>/findings/.
source "$(dirname "$0")/opening.sh"
seconds=${1:-40}

build=${MARLOWIN_NATIVE_BUILD_DIR:-$root/build/native}
cmake -S "$root/tests/native" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j 2
ctest --test-dir "$build" --output-on-failure -j 2

# The last figure that a libFuzzer log gives for a key such as "cov:" or "exec_per_sec:".
figure() {
  grep -o "$1 *[0-9]*" "$2" | tail -1 | grep -o '[0-9]*$' || echo -
}

failed=0
printf '\n%-14s %11s %8s %6s %7s  %s\n' target executions exec/s cov ft result
while read -r name; do
  work=$build/fuzz/$name
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/findings"
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/findings/")
  [ -f "$root/tests/fuzz/$name.dict" ] && options+=(-dict="$root/tests/fuzz/$name.dict")
  # New inputs go to the first folder, so the checked-in seeds stay as they are.
  result=ok
  "$build/${name}_fuzz" "${options[@]}" "$work/corpus" "$root/tests/fuzz/corpus/$name" >"$work/log" 2>&1 \
    || { result="FINDING (see $work/log)"; failed=1; }
  printf '%-14s %11s %8s %6s %7s  %s\n' "$name" "$(figure number_of_executed_units: "$work/log")" \
    "$(figure average_exec_per_sec: "$work/log")" "$(figure 'cov:' "$work/log")" "$(figure 'ft:' "$work/log")" "$result"
done <"$build/fuzz-targets.txt"
exit $failed
