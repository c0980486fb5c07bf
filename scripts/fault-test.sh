#!/usr/bin/env bash
# Runs the save stress program (argument 1) on a small, nearly full tmpfs mapped as drive T:,
# with a few kills of the editor. Needs root for the mount and a Wine environment set up by
# scripts/test.sh or scripts/kill-test.sh. Further arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$1
shift
[ -n "${WINEPREFIX:-}" ] || { echo "WINEPREFIX is not set: run through scripts/test.sh" >&2; exit 1; }

small=$(mktemp -d)
link="$WINEPREFIX/dosdevices/t:"
cleanup() {
  rm -f "$link"
  umount -l "$small" 2>/dev/null || true
  rmdir "$small" 2>/dev/null || true
}
trap cleanup EXIT
mount -t tmpfs -o size=300k tmpfs "$small"
rm -f "$link"
ln -s "$small" "$link"

MARLOWIN_SMALL_DRIVE=T: MARLOWIN_KILLS=${MARLOWIN_KILLS:-3} MARLOWIN_PROFILES=${MARLOWIN_PROFILES:-2000} \
  bash "$root/scripts/wine-run.sh" "$program" "$@"
