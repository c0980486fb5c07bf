#!/usr/bin/env bash
# Packs the release twice from the same programs, given different file times and a different
# folder, and fails unless both runs give the same bytes.
# Usage: check-release-reproducible.sh VERSION PROGRAM.exe...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/programs"
for program in "$@"; do
  cp "$program" "$work/programs/"
done
bash "$root/scripts/package-release.sh" "$version" "$work/first" "$@" >/dev/null
touch -d '2001-02-03 04:05:06' "$work"/programs/*
umask 077
bash "$root/scripts/package-release.sh" "$version" "$work/second run" "$work"/programs/* >/dev/null

status=0
for download in "Marlowin-$version-win32.zip" "Marlowin-$version-setup.exe"; do
  if cmp -s "$work/first/$download" "$work/second run/$download"; then
    echo "same bytes: $download"
  else
    echo "DIFFERENT: $download" >&2
    status=1
  fi
done
exit $status
