#!/usr/bin/env bash
# Builds Marlowin and its test suite, then runs every test under Wine on a private display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"

# The pure rules natively under the sanitizers: unit tests, seed inputs, each fuzz target briefly.
bash "$root/scripts/fuzz.sh" 3

preset=$(runnable_preset test)
build=${MARLOWIN_BUILD_DIR:-$root/build/$preset}
(cd "$root" && cmake --preset "$preset" -B "$build" >/dev/null)
cmake --build "$build" -j "$(nproc)"

# MARLOWIN_SCREENSHOTS=FOLDER: the tests also save pictures of what they show there, for the README.
if [ -n "${MARLOWIN_SCREENSHOTS:-}" ]; then
  mkdir -p "$MARLOWIN_SCREENSHOTS"
  export MARLOWIN_SCREENSHOTS=$(cd "$MARLOWIN_SCREENSHOTS" && pwd)
fi

# The base prefix; each suite runs in a linked copy of it with its own display and wineserver.
prepare_prefix "$build/wineprefix"
# Most of a Wine suite's time is waiting for windows and processes: more suites than cores.
ctest --test-dir "$build" --output-on-failure -j 6 "$@"
