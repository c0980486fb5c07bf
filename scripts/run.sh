#!/usr/bin/env bash
# Builds Marlowin.exe, lays out an app folder with a demo package and launches that package
# under Wine, on $DISPLAY or on a private virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"

(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release >/dev/null)
app=$root/build/app
mkdir -p "$app/Packages"
cp "$root/build/release/Marlowin.exe" "$app/"
python3 "$root/scripts/make-package.py" "$app/Packages/Demo.mwpack" \
  "Notepad|||C:\\windows|C:\\windows\\win.ini|Executable|Normal" \
  "Clock||C:\\windows\\system32\\winver.exe|||Auto|Normal"
echo "App folder: $app ($(stat -c %s "$app/Marlowin.exe") bytes for Marlowin.exe)"

trap cleanup_wine_env EXIT
prepare_prefix "$root/build/app-wineprefix"
start_display
echo "Display: $DISPLAY"
# Each profile's object is filled in for this prefix: notepad for the first.
python3 "$root/scripts/make-package.py" "$app/Packages/Demo.mwpack" \
  "Notepad||C:\\windows\\notepad.exe|C:\\windows|C:\\windows\\win.ini|Executable|Normal" \
  "Wine version||C:\\windows\\system32\\winver.exe|||Auto|Normal"
echo "Launching $app/Packages/Demo.mwpack (Notepad with win.ini, then the Wine version box)"
wine "$app/Marlowin.exe" "$(winepath -w "$app/Packages/Demo.mwpack")"
echo "Marlowin.exe ended with $?; the started programs run on. Close them, or press Enter to end Wine here."
if [ -t 0 ]; then read -r _; else sleep 5; fi
