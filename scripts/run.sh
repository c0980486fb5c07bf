#!/usr/bin/env bash
# Run by hand (the README's first command) to try the program. Builds the release, lays out its app
# folder, launches the example package from the command line, then starts the resident copy with
# its tray icon under Wine.
# With a working $DISPLAY the resident copy stays; end it with the command printed at the end.
# Without one, everything runs on a private virtual display, screenshots are saved and the
# resident copy is closed again.
source "$(dirname "$0")/opening.sh"

# What users download: the 32-bit build's zip folder, with its example package (under an emulator
# where the kernel has no 32-bit mode).
(cd "$root" && cmake --preset release >/dev/null && cmake --build build/release -j 2 --target release >/dev/null)
app=$root/build/app
rm -rf "$app"
cp -r "$root/build/release/dist/Marlowin" "$app"
mkdir -p "$app/screenshots"
echo "App folder: $app"
echo "  Marlowin.exe: $(stat -c %s "$app/Marlowin.exe") bytes; packages: $(cd "$app/Packages" && echo *.mwpack)"

private=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  prepare_prefix "$root/build/app-wineprefix"
else
  private=1
  wine_session "$root/build/app-wineprefix"
fi
echo "Display: $DISPLAY"

demo=$(winepath -w "$app/Packages/Example.mwpack")
echo "Launching $demo: Notepad with win.ini, a web page and the Windows folder"
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
