#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest, isolated like a suite (see suite-run.sh).
program=$1
exec "$(dirname "$0")/suite-run.sh" "$(basename "$program" .exe)-$$" "$@"
