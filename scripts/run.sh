#!/usr/bin/env bash
# Run by hand (the README's first command) to try the program. Builds the release, lays out its app
# folder, starts the resident copy with its splash logo and tray icon under Wine, then launches the
# example package from the command line.
# With a working $DISPLAY the resident copy stays; end it with the command printed at the end.
# Without one, everything runs on a private virtual display, a picture is taken of the splash logo
# and of the tray icon as soon as each shows (the script says so when one never does, and ends
# with 1), and the resident copy is closed again.
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

# The splash is the resident copy's one viewable X window without a title; gives its place on
# the screen as a crop (WIDTHxHEIGHT+X+Y).
splash_place() {
  local id info
  for id in $(xwininfo -root -tree | awk '/\(has no name\): \("marlowin.exe"/ { print $1 }'); do
    info=$(xwininfo -id "$id" 2>/dev/null) || continue
    grep -q 'Map State: IsViewable' <<<"$info" || continue
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
         /Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h "+" x "+" y }' <<<"$info"
    return 0
  done
  return 1
}

# A first start (a fresh prefix, or the emulator) can take long: each picture waits up to this
# many seconds for what it shows, while the resident copy runs.
limit=120

# Says why a picture is missing: the time ran out, or the program ended first.
missed() {
  if kill -0 "$resident" 2>/dev/null; then
    echo "  $1 did not appear within $limit s."
  else
    echo "  $1 did not appear before Marlowin.exe ended."
  fi
}

# Pictures of the splash logo and of the tray icon, each taken as soon as it shows; nothing else
# is on the private display yet to cover them. True when both were taken.
take_pictures() {
  local shots=$app/screenshots place colours logo=0 shown=0 tray=0 deadline
  # The window shows before its logo is drawn: the logo is there once the window's inside (within
  # its one-pixel border) holds more than one colour. A splash gone again without that had no logo.
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$resident" 2>/dev/null; do
    if place=$(splash_place); then
      shown=1
      colours=$( (import -window root "$shots/splash.png" &&
                  convert "$shots/splash.png" -crop "$place" -shave 1x1 -format %k info:) 2>/dev/null || echo 0)
      [ "$colours" -gt 1 ] && { logo=1; break; }
    elif [ "$shown" = 1 ]; then
      break
    fi
    sleep 0.1
  done
  # Where no taskbar exists, Wine shows tray icons in a small window of its own, "Wine System
  # Tray", while there is one; the desktop's picture waits for it and for the splash to end.
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$resident" 2>/dev/null; do
    if ! splash_place >/dev/null &&
       xwininfo -name "Wine System Tray" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      tray=1
      break
    fi
    sleep 0.2
  done

  if [ "$logo" = 1 ]; then
    echo "  Picture of the splash logo: $shots/splash.png"
  else
    rm -f "$shots/splash.png"
    [ "$shown" = 1 ] && echo "  The splash window showed no logo." || missed "The splash window"
  fi
  if [ "$tray" = 1 ] && import -window root "$shots/desktop.png" 2>/dev/null; then
    echo "  Picture of the desktop with the tray icon, in Wine's own tray window: $shots/desktop.png"
  else
    missed "The tray icon"
  fi
  [ "$logo" = 1 ] && [ "$tray" = 1 ]
}

echo "Starting the resident copy: splash logo for three seconds, then the tray icon"
with_32bit wine "$app/Marlowin.exe" &
resident=$!
pictures=0
[ "$private" = 0 ] || take_pictures || pictures=1
echo "  Left-click the tray icon for the packages, right-click for the main menu"
echo "  (New package..., Edit package..., About..., Exit)."

demo=$(winepath -w "$app/Packages/Example.mwpack")
echo "Launching $demo: Notepad with win.ini, a web page and the Windows folder"
status=0
with_32bit wine "$app/Marlowin.exe" "$demo" || status=$?
echo "  Marlowin.exe ended with $status; the programs it started run on their own."

if [ "$private" = 1 ]; then
  with_32bit wine "$app/Marlowin.exe" U
  wait "$resident" || true
  echo "Closed the resident copy again (Marlowin.exe U): no display to keep it on."
  exit "$pictures"
else
  echo "To end it: WINEPREFIX=$WINEPREFIX wine $app/Marlowin.exe U"
fi
