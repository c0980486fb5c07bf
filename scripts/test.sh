#!/usr/bin/env bash
# Builds Marlowin and its test suite, then runs every test under Wine on a private display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"

preset=$(runnable_preset test)
build=${MARLOWIN_BUILD_DIR:-$root/build/$preset}
(cd "$root" && cmake --preset "$preset" -B "$build" >/dev/null)
cmake --build "$build" -j "$(nproc)"

trap cleanup_wine_env EXIT
prepare_prefix "$build/wineprefix"
start_display private
start_wineserver
ctest --test-dir "$build" --output-on-failure -j 2 "$@"
