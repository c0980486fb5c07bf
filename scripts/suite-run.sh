#!/usr/bin/env bash
# Runs one test program as a suite of its own, for ctest: its own copy of the programs (so its own
# Packages folder beside them), its own Wine prefix, wineserver and virtual display. Suites that start
# resident copies, track menus and fill the Packages folder can then run side by side.
# Usage: suite-run.sh NAME PROGRAM.exe [ARGUMENTS...]. test.sh prepares the base prefix beforehand.
set -uo pipefail
name=$1
program=$2
shift 2
source "$(dirname "$0")/wine-env.sh"

bin=$(cd "$(dirname "$program")" && pwd)
build=$(dirname "$bin")
suite="$build/suites/$name"
rm -rf "$suite"
mkdir -p "$suite/bin"
ln "$bin"/*.exe "$suite/bin/"

# A fresh prefix each run, linked rather than copied: Wine replaces the files it changes (the
# registry is written to a new file and renamed), so the base prefix stays as it was.
cp -al "$build/wineprefix" "$suite/wineprefix"
export WINEPREFIX="$suite/wineprefix"

trap cleanup_wine_env EXIT
start_display private || exit 1
start_wineserver

# Output goes through a file: Wine services started on demand would otherwise inherit ctest's
# pipe and keep it open long after the test has ended.
output="$suite/output.txt"
(cd "$suite/bin" && wine "$suite/bin/$(basename "$program")" "$@" >"$output" 2>&1 </dev/null)
status=$?
cat "$output"
exit $status
