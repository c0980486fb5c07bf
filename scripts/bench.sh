#!/usr/bin/env bash
# Builds the program and the benchmark programs, runs each under Wine and prints its figures;
# the benchmarks pass or fail nothing.
source "$(dirname "$0")/opening.sh"

configure_test_build
cmake --build "$build" -j "$(nproc)" --target benchmarks >/dev/null
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release --target release >/dev/null)

echo "Marlowin.exe, stripped, all resources linked: $(stat -c %s "$root/build/release/bin/Marlowin.exe") bytes"
# Download sizes against their goals: each download at most 512 KB, Marlowin.exe at most 100 KB.
size_line() {
  local bytes
  bytes=$(stat -c %s "$1")
  awk -v name="$(basename "$1")" -v bytes="$bytes" -v goal="$2" \
    'BEGIN { printf "  %-32s %7d bytes  %5.1f%% of the %d KB goal\n", name, bytes, 100 * bytes / (goal * 1024), goal }'
}
echo "== release sizes"
for program in "$root"/build/release/dist/Marlowin/*.exe; do
  case $(basename "$program") in Marlowin.exe) size_line "$program" 100 ;; *) size_line "$program" 512 ;; esac
done
for download in "$root"/build/release/dist/Marlowin-*-win32.zip "$root"/build/release/dist/Marlowin-*-setup.exe; do
  size_line "$download" 512
done

trap cleanup_wine_env EXIT
prepare_prefix "$build/wineprefix"
start_display private
start_wineserver

for bench in "$build"/bin/*_bench.exe; do
  echo "== $(basename "$bench" .exe)"
  (cd "$build/bin" && wine "$bench")
done
