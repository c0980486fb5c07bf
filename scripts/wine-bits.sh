# Sourced by the scripts. Wine runs 32-bit Windows programs only where Linux runs 32-bit code;
# some virtual machines have no 32-bit mode, and there the suite is built and run as 64-bit.
# MARLOWIN_WINE_BITS=32 or 64 overrides the guess.
wine_bits() {
  if [ -n "${MARLOWIN_WINE_BITS:-}" ]; then
    echo "$MARLOWIN_WINE_BITS"
  elif runs_32bit_natively; then
    echo 32
  else
    echo 64
  fi
}

runs_32bit_natively() {
  [ -x /lib/ld-linux.so.2 ] || return 1
  # An emulator registered for 32-bit code passes the check below, but Wine on it is far too slow to test with.
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    grep -qs '^interpreter .*qemu-i386' "$entry" && grep -qs '^enabled' "$entry" && return 1
  done
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The configure preset that this machine can run: "test" or "test-win64", "release" or "release-win64".
runnable_preset() {
  if [ "$(wine_bits)" = 32 ]; then echo "$1"; else echo "$1-win64"; fi
}
