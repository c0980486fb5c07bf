#!/usr/bin/env bash
# Builds the program and the benchmark programs, runs each under Wine and prints its figures;
# the benchmarks pass or fail nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"

preset=$(runnable_preset test)
build=${MARLOWIN_BUILD_DIR:-$root/build/$preset}
(cd "$root" && cmake --preset "$preset" -B "$build" >/dev/null)
cmake --build "$build" -j "$(nproc)" --target benchmarks >/dev/null
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release >/dev/null)

trap cleanup_wine_env EXIT
prepare_prefix "$build/wineprefix"
start_display private
start_wineserver

echo "Marlowin.exe, stripped, all resources linked: $(stat -c %s "$root/build/release/Marlowin.exe") bytes"
echo "mwpack.exe, stripped: $(stat -c %s "$root/build/release/mwpack.exe") bytes (goal at most 524288)"
for bench in "$build"/bin/*_bench.exe; do
  echo "== $(basename "$bench" .exe)"
  (cd "$build/bin" && wine "$bench")
done
