#!/usr/bin/env bash
# Builds the release from a clean configuration: build/release/dist/Marlowin-<version>-win32.zip
# and Marlowin-<version>-setup.exe, the same bytes for the same commit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build build/release -j 2 --target release
