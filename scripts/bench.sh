#!/usr/bin/env bash
# Builds Marlowin with its benchmark programs and runs each *_bench.exe under Wine on a private display.
# The benchmarks print figures; they pass or fail nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"

build=${MARLOWIN_BUILD_DIR:-$root/build/test}
(cd "$root" && cmake --preset test -B "$build" >/dev/null)
cmake --build "$build" -j "$(nproc)"

trap cleanup_wine_env EXIT
prepare_prefix "$build/wineprefix"
start_display private
start_wineserver
for bench in "$build"/bin/*_bench.exe; do
  [ -e "$bench" ] || continue
  echo "== $(basename "$bench")"
  wine "$bench"
done
