#!/usr/bin/env bash
# Not run by hand: ctest runs it (release_reproducible). Packs the release twice from the same
# files, given different file times, folder and umask, and fails unless both give the same bytes.
# Usage: check-release-reproducible.sh VERSION EXAMPLE.mwpack PROGRAM.exe...
source "$(dirname "$0")/opening.sh" light
version=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/files"
cp "$@" "$work/files/"
pack() { bash "$root/scripts/package-release.sh" "$version" "$1/Marlowin.zip" "$1/setup.exe" "${@:2}" >/dev/null; }
pack "$work/first" "$@"
touch -d '2001-02-03 04:05:06' "$work"/files/*
umask 077
copies=()
for file in "$@"; do copies+=("$work/files/$(basename "$file")"); done
pack "$work/second run" "${copies[@]}"

status=0
for download in Marlowin.zip setup.exe; do
  cmp "$work/first/$download" "$work/second run/$download" && echo "same bytes: $download" || status=1
done
exit $status
