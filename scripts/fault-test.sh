#!/usr/bin/env bash
# Not run by hand: ctest runs it as the save_faults suite, kill-test.sh for the long kill test.
# Runs the save stress program (argument 1) on a small, nearly full tmpfs mapped as drive T:,
# with a few kills of the editor, as a suite of its own. Needs root for the mount and the base
# Wine prefix that test.sh or kill-test.sh prepares. Argument 2: the folder of the shipped 32-bit
# programs to drive. Further arguments go to the program.
source "$(dirname "$0")/opening.sh" light
program=$1 shipped=$2
shift 2
build=$(cd "$(dirname "$program")/.." && pwd)
[ -d "$build/wineprefix/dosdevices" ] || { echo "no Wine prefix in $build: run scripts/test.sh first" >&2; exit 1; }

small=$(mktemp -d)
# In the base prefix, which the suite's own prefix is linked from.
link="$build/wineprefix/dosdevices/t:"
cleanup() {
  rm -f "$link"
  umount -l "$small" 2>/dev/null || true
  rmdir "$small" 2>/dev/null || true
}
trap cleanup EXIT
mount -t tmpfs -o size=300k tmpfs "$small"
ln -sfn "$small" "$link"

MARLOWIN_SMALL_DRIVE=T: MARLOWIN_KILLS=${MARLOWIN_KILLS:-3} MARLOWIN_PROFILES=${MARLOWIN_PROFILES:-2000} \
  bash "$root/scripts/suite-run.sh" --shipped "$shipped" save_faults "$program" "$@"
