#!/usr/bin/env bash
# Not run by hand: ctest runs each Wine suite through it (save_faults through fault-test.sh).
# Runs one test program as a suite of its own: its own copy of the programs (so its own Packages
# folder beside them), its own Wine prefix, wineserver and virtual display, so that suites that
# start resident copies, track menus and fill the Packages folder run side by side.
# Usage: suite-run.sh [--shipped DIR] NAME PROGRAM.exe [ARGUMENTS...]. test.sh prepares the base
# prefix beforehand. With --shipped, the suite runs the 32-bit Marlowin.exe and mwpack.exe that DIR
# holds (the release build: the bytes users download) instead of the test build's own.
source "$(dirname "$0")/opening.sh" light
source "$root/scripts/wine-env.sh"
shipped=""
if [ "$1" = --shipped ]; then
  shipped=$2
  shift 2
fi
name=$1 program=$2
shift 2

bin=$(cd "$(dirname "$program")" && pwd)
build=$(dirname "$bin")
suite="$build/suites/$name"
rm -rf "$suite"
mkdir -p "$suite/bin"
ln "$bin"/*.exe "$suite/bin/"
[ -z "$shipped" ] || ln -f "$shipped/Marlowin.exe" "$shipped/mwpack.exe" "$suite/bin/"

# A fresh prefix each run, linked rather than copied: Wine replaces the files it changes (the
# registry is written to a new file and renamed), so the base prefix stays as it was.
cp -al "$build/wineprefix" "$suite/wineprefix"
wine_session "$suite/wineprefix"

# Output goes through a file: Wine services started on demand would otherwise inherit ctest's
# pipe and keep it open long after the test has ended.
output="$suite/output.txt"
status=0
(cd "$suite/bin" && with_32bit wine "$suite/bin/$(basename "$program")" "$@" >"$output" 2>&1 </dev/null) || status=$?
cat "$output"
exit $status
