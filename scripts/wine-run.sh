#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest; the test script has set up prefix and display.
# Output goes through a file: Wine services started on demand would otherwise inherit ctest's
# pipe and keep it open long after the test has ended.
export WINEDEBUG=${WINEDEBUG:--all}
output=$(mktemp)
wine "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
