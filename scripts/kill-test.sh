#!/usr/bin/env bash
# Run by hand after a change to how a package is saved: a package of 20,000 profiles, Add Profile in
# the editor of a resident Marlowin.exe and that process killed at moments spread over the save,
# 30 times; prints the kill count and the outcomes. The test suite runs a short version.
#   bash scripts/kill-test.sh [kills] [profiles]
source "$(dirname "$0")/opening.sh"

configure_test_build
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release -j 2 --target Marlowin)
cmake --build "$build" -j 2 --target stress_tests
# The base prefix only: fault-test.sh runs the suite in a Wine session of its own.
prepare_prefix "$build/wineprefix"
MARLOWIN_KILLS=${1:-30} MARLOWIN_PROFILES=${2:-20000} \
  bash "$root/scripts/fault-test.sh" "$build/bin/stress_tests.exe" "$root/build/release/bin" --gtest_filter='*Killed*'
