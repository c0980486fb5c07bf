#!/usr/bin/env bash
# The long kill test: a package of 20,000 profiles, Add Profile in a loop and the editor's
# process killed at varied moments of it, 30 times; prints the kill count and the outcomes.
#   bash scripts/kill-test.sh [kills] [profiles]
source "$(dirname "$0")/opening.sh"

configure_test_build
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release -j 2 --target Marlowin)
cmake --build "$build" -j 2 --target stress_tests

trap cleanup_wine_env EXIT
prepare_prefix "$build/wineprefix"
start_display private
start_wineserver
MARLOWIN_KILLS=${1:-30} MARLOWIN_PROFILES=${2:-20000} \
  bash "$root/scripts/fault-test.sh" "$build/bin/stress_tests.exe" "$root/build/release/bin" --gtest_filter='*Killed*'
