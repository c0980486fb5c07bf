#!/usr/bin/env bash
# Run by hand (the README's second command) and by .ci/run, before every commit.
# Builds what users download (32-bit) and the test programs (64-bit), then runs every suite under
# Wine on private displays: the end-to-end and release suites drive the downloads' own programs.
source "$(dirname "$0")/opening.sh"

configure_test_build
# Booting a Wine prefix mostly waits: it goes on beside the builds.
prepare_prefix "$build/wineprefix" > "$build/prefix-boot.log" 2>&1 &
prefix_boot=$!

# The pure rules natively under the sanitizers: unit tests, seed inputs, each fuzz target briefly.
bash "$root/scripts/fuzz.sh" 1

# The 32-bit build: the programs, zip and installer for users, and every test program compiled
# with warnings as errors by the second compiler.
(cd "$root" && cmake --preset release >/dev/null)
cmake --build "$root/build/release" -j "$(nproc)"
cmake --build "$build" -j "$(nproc)"
wait "$prefix_boot" || { cat "$build/prefix-boot.log" >&2; exit 1; }

# MARLOWIN_SCREENSHOTS=FOLDER: the tests also save pictures of what they show there, for the README.
if [ -n "${MARLOWIN_SCREENSHOTS:-}" ]; then
  mkdir -p "$MARLOWIN_SCREENSHOTS"
  export MARLOWIN_SCREENSHOTS=$(cd "$MARLOWIN_SCREENSHOTS" && pwd)
fi

# Each suite runs in a linked copy of the base prefix with its own display and wineserver.
# Most of a Wine suite's time is waiting for windows and processes: twice as many suites as cores.
ctest --test-dir "$build" --output-on-failure -j 4 "$@"
