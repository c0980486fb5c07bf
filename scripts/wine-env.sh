# Sourced through opening.sh (suite-run.sh sources it itself): a Wine prefix, a virtual display and a
# persistent wineserver. Every process started here is remembered by PID and ended by cleanup_wine_env.

MARLOWIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# One Wine for everything: 64-bit Wine with its 32-bit half. The test programs are 64-bit; the
# programs users download are 32-bit and run beside them (see with_32bit).
# Debian's wine command always picks the 32-bit loader when it is installed: put the 64-bit one first.
export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
shims="$MARLOWIN_ROOT/build/wine64-bin"
mkdir -p "$shims"
for shim in wine wine-stable; do
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' > "$shims/$shim"
  chmod +x "$shims/$shim"
done
export PATH="$shims:$PATH"
unset shims shim
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

started_xvfb_pid=""
started_wineserver=""

# Sets $build to the test build (MARLOWIN_BUILD_DIR overrides) and configures it.
configure_test_build() {
  build=${MARLOWIN_BUILD_DIR:-$MARLOWIN_ROOT/build/test}
  (cd "$MARLOWIN_ROOT" && cmake --preset test -B "$build" >/dev/null)
}

# The kernel runs 32-bit Linux code itself (the 32-bit loader answers). An emulator registered for
# it system-wide does not count: Wine on qemu 7.x is far too slow.
runs_32bit_natively() {
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    grep -qs '^interpreter .*qemu-i386' "$entry" && grep -qs '^enabled' "$entry" && return 1
  done
  [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

QEMU_I386="$MARLOWIN_ROOT/build/qemu/qemu-i386"

# Runs a command in which Wine can start 32-bit programs. Where the kernel has no 32-bit mode, the
# command runs in a private user and mount namespace with a binfmt_misc instance of its own (Linux
# 6.7 and later) that hands i386 ELF files to qemu-i386: nothing is registered system-wide, and
# the wineserver and 64-bit programs still run natively. Flags: P keeps argv[0], F opens qemu now.
with_32bit() {
  if runs_32bit_natively; then
    "$@"
    return
  fi
  [ -x "$QEMU_I386" ] || { echo "no $QEMU_I386: run scripts/setup.sh" >&2; return 1; }
  unshare --user --map-root-user --mount --propagation private sh -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || exit 90
    printf ":qemu-i386:M:0:\\x7f\\x45\\x4c\\x46\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:%s:PF" "$0" \
      > /proc/sys/fs/binfmt_misc/register || exit 91
    exec "$@"' "$QEMU_I386" "$@"
}

# Settings every prefix needs; a prefix made before a setting was added gets it too.
PREFIX_SETTINGS_VERSION=3

# Sets WINEPREFIX to the given folder and makes a prefix there once.
prepare_prefix() {
  mkdir -p "$1"
  export WINEPREFIX=$(cd "$1" && pwd)
  local marker="$WINEPREFIX/.marlowin-ready"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # Booted where 32-bit programs run, so that the prefix gets its 32-bit half too.
    with_32bit wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  if [ "$(cat "$marker" 2>/dev/null)" != "$PREFIX_SETTINGS_VERSION" ]; then
    # A crash must fail a test, not wait for someone to close a dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Without a window manager, hiding an X window otherwise waits 2 s for an answer that never comes.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "Wine prefix $WINEPREFIX did not boot" >&2; return 1; }
    echo "$PREFIX_SETTINGS_VERSION" > "$marker"
  fi
}

# An Xvfb of our own on a display number that Xvfb itself chooses, so that suites starting side by
# side never pick the same one.
start_display() {
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
  started_xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$numberFile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(tr -dc 0-9 < "$numberFile")"
  rm -f "$numberFile"
  [ "$DISPLAY" != ":" ] || { echo "Xvfb did not start" >&2; return 1; }
}

# A persistent wineserver makes each Wine process start in a fraction of a second.
start_wineserver() {
  wineserver -p
  started_wineserver=1
  wine cmd /c exit >/dev/null 2>&1 || true
}

# The one Wine session set-up of the scripts: the prefix PREFIX (made once), a private display and a
# persistent wineserver, all ended when the script exits.
wine_session() {
  trap cleanup_wine_env EXIT
  prepare_prefix "$1"
  start_display
  start_wineserver
}

cleanup_wine_env() {
  if [ -n "$started_wineserver" ]; then
    wineserver -k >/dev/null 2>&1 || true
    started_wineserver=""
  fi
  if [ -n "$started_xvfb_pid" ]; then
    kill "$started_xvfb_pid" 2>/dev/null || true
    wait "$started_xvfb_pid" 2>/dev/null || true
    started_xvfb_pid=""
  fi
}
