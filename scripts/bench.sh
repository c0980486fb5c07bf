#!/usr/bin/env bash
# Run by hand after a change that may cost size, memory or CPU: builds the release and the benchmark
# programs, prints each program's and download's size against its goal and each benchmark's figures
# under Wine. The benchmarks pass or fail nothing.
# `bench.sh soak [scale [part]]`, after a change to the resident program (menus, About box, editor,
# launching), instead uses one resident Marlowin.exe many times over and prints memory, handles and
# GUI objects before and after; it fails when they grew beyond the bound. Every count is divided by
# scale (1, the full run, takes minutes); part: package-menu, main-menu or editor.
source "$(dirname "$0")/opening.sh"

configure_test_build
cmake --build "$build" -j "$(nproc)" --target benchmarks >/dev/null
if [ "${1:-}" = soak ]; then
  wine_session "$build/wineprefix"
  # The file dialog's drive list makes Wine complain once per dialog about drive Z:'s label: noise.
  (cd "$build/bin" && wine "$build/bin/soak.exe" "${2:-1}" "${@:3}") 2> >(grep -v "FS volume label" >&2)
  exit
fi
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release --target release >/dev/null)

echo "Marlowin.exe, stripped, all resources linked: $(stat -c %s "$root/build/release/bin/Marlowin.exe") bytes"
# Goals: each download at most 512 KB, Marlowin.exe at most 100 KB.
size_line() {
  awk -v name="$(basename "$1")" -v bytes="$(stat -c %s "$1")" -v goal="$2" \
    'BEGIN { printf "  %-32s %7d bytes  %5.1f%% of the %d KB goal\n", name, bytes, 100 * bytes / (goal * 1024), goal }'
}
echo "== release sizes"
for file in "$root"/build/release/dist/Marlowin/*.exe "$root"/build/release/dist/Marlowin-*-{win32.zip,setup.exe}; do
  case $file in */Marlowin/Marlowin.exe) size_line "$file" 100 ;; *) size_line "$file" 512 ;; esac
done

wine_session "$build/wineprefix"
for bench in "$build"/bin/*_bench.exe; do
  echo "== $(basename "$bench" .exe)"
  (cd "$build/bin" && wine "$bench")
done
