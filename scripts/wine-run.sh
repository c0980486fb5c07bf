#!/usr/bin/env bash
# Runs one Windows program under Wine for ctest; the test script has set up prefix and display.
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$@"
