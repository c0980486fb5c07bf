#!/usr/bin/env bash
# Run by hand to make the downloads: build/release/dist/Marlowin-<version>-win32.zip and
# Marlowin-<version>-setup.exe, the same bytes for the same commit.
source "$(dirname "$0")/opening.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build build/release -j 2 --target release
