#!/usr/bin/env bash
# Tests the release end to end in a fresh Wine prefix of its own: the installer and the zip from
# the release target of the given build folder, run as a user would by release_tests.exe.
# Usage: test-release.sh BUILD_DIR ZIP SETUP_EXE VERSION Marlowin.exe,mwpack.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 zip=$2 setup=$3 version=$4 programs=$5
source "$root/scripts/wine-env.sh"

work=$build/release-test
rm -rf "$work"
mkdir -p "$work/Un packed zip"
unzip -q "$zip" -d "$work/Un packed zip"

# Booting a prefix takes half a minute: boot one once per build folder, never run anything in it,
# and give each run a copy of it, as fresh as a new one.
prepare_prefix "$build/release-test-template"
cp -a "$WINEPREFIX" "$work/prefix"
trap cleanup_wine_env EXIT
prepare_prefix "$work/prefix"
# A display of its own: its windows must not cover the pictures that other tests take.
start_display private
start_wineserver

export MW_RELEASE_SETUP=$(winepath -w "$setup")
export MW_RELEASE_UNZIPPED=$(winepath -w "$work/Un packed zip")
export MW_RELEASE_VERSION=$version MW_RELEASE_PROGRAMS=$programs
bash "$root/scripts/wine-run.sh" "$build/bin/release_tests.exe"
