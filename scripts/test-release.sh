#!/usr/bin/env bash
# Not run by hand: ctest runs it as the release suite (`bash scripts/test.sh -R release`).
# Tests the release end to end as a suite of its own (a fresh linked copy of the base prefix, its own
# display): the installer and the zip from the release target of the given build folder, run as a
# user would by release_tests.exe.
# Usage: test-release.sh BUILD_DIR ZIP SETUP_EXE VERSION Marlowin.exe,mwpack.exe
source "$(dirname "$0")/opening.sh" light
build=$1 zip=$2 setup=$3 version=$4 programs=$5

work=$build/release-test
rm -rf "$work"
mkdir -p "$work/Un packed zip"
unzip -q "$zip" -d "$work/Un packed zip"

# Wine sees the whole file system as drive Z:.
windows_path() {
  local path
  path=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  echo "Z:${path//\//\\}"
}
export MW_RELEASE_SETUP=$(windows_path "$setup")
export MW_RELEASE_UNZIPPED=$(windows_path "$work/Un packed zip")
export MW_RELEASE_VERSION=$version MW_RELEASE_PROGRAMS=$programs
exec "$root/scripts/suite-run.sh" release "$build/bin/release_tests.exe"
