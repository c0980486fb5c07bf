#!/usr/bin/env bash
# Not run by hand: ctest runs it (release_reproducible). Packs the release twice from the same
# programs, given different file times and a different folder, and fails unless both give the same bytes.
# Usage: check-release-reproducible.sh VERSION NSIS_TARGET PROGRAM.exe...
source "$(dirname "$0")/opening.sh" light
version=$1 target=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/programs"
for program in "$@"; do
  cp "$program" "$work/programs/"
done
pack() {
  local out=$1
  shift
  bash "$root/scripts/package-release.sh" "$version" "$target" "$out/Marlowin.zip" "$out/setup.exe" "$@" >/dev/null
}
pack "$work/first" "$@"
touch -d '2001-02-03 04:05:06' "$work"/programs/*
umask 077
pack "$work/second run" "$work"/programs/*

status=0
for download in Marlowin.zip setup.exe; do
  if cmp -s "$work/first/$download" "$work/second run/$download"; then
    echo "same bytes: $download"
  else
    echo "DIFFERENT: $download" >&2
    status=1
  fi
done
exit $status
