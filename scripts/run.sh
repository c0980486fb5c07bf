#!/usr/bin/env bash
# Run by hand (the README's first command) to try the program. Builds Marlowin.exe, lays out an app
# folder with demo packages, launches one package from the command line, then starts the resident
# copy with its tray icon under Wine.
# With a working $DISPLAY the resident copy stays; end it with the command printed at the end.
# Without one, everything runs on a private virtual display, screenshots are saved and the
# resident copy is closed again.
source "$(dirname "$0")/opening.sh"

# The program users download: the 32-bit build (under an emulator where the kernel has no 32-bit mode).
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release -j 2 --target Marlowin >/dev/null)
app=$root/build/app
mkdir -p "$app/Packages" "$app/screenshots"
cp "$root/build/release/bin/Marlowin.exe" "$app/"
python3 "$root/scripts/make-package.py" "$app/Packages/Demo.mwpack" \
  "Notepad||C:\\windows\\notepad.exe|C:\\windows|C:\\windows\\win.ini|Executable|Normal" \
  "Wine version||C:\\windows\\system32\\winver.exe|||Auto|Normal"
python3 "$root/scripts/make-package.py" "$app/Packages/Tools.mwpack" \
  "Registry editor||C:\\windows\\regedit.exe|C:\\windows||Executable|Maximize" \
  "Task manager||C:\\windows\\system32\\taskmgr.exe|C:\\windows||Executable|Normal"
echo "App folder: $app"
echo "  Marlowin.exe: $(stat -c %s "$app/Marlowin.exe") bytes; packages: Demo, Tools"

private=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prepare_prefix "$root/build/app-wineprefix"
else
  private=1
  wine_session "$root/build/app-wineprefix"
fi
echo "Display: $DISPLAY"

demo=$(winepath -w "$app/Packages/Demo.mwpack")
echo "Launching $demo: Notepad with win.ini, then the Wine version box"
status=0
with_32bit wine "$app/Marlowin.exe" "$demo" || status=$?
echo "  Marlowin.exe ended with $status; the programs it started run on their own."

echo "Starting the resident copy: splash logo for three seconds, then the tray icon"
with_32bit wine "$app/Marlowin.exe" &
resident=$!
sleep 1.5
[ "$private" = 1 ] && import -window root "$app/screenshots/splash.png" 2>/dev/null || true
sleep 4.5
echo "  Left-click the tray icon for the packages, right-click for the main menu"
echo "  (New package..., Edit package..., About..., Exit)."

if [ "$private" = 1 ]; then
  import -window root "$app/screenshots/desktop.png" 2>/dev/null && \
    echo "  Screenshots of the virtual desktop: $app/screenshots/splash.png, desktop.png"
  with_32bit wine "$app/Marlowin.exe" U
  wait "$resident" || true
  echo "Closed the resident copy again (Marlowin.exe U): no display to keep it on."
else
  echo "To end it: WINEPREFIX=$WINEPREFIX wine $app/Marlowin.exe U"
fi
