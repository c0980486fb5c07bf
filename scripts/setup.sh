#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine. Idempotent; run as root.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Wine's 32-bit half comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

for p in cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
         googletest nlohmann-json3-dev wine wine32:i386 xvfb x11-utils imagemagick locales nsis zip unzip \
         clang-14 libclang-rt-14-dev libfuzzer-14-dev; do
  have "$p" || need+=("$p")
done
command -v python3 >/dev/null || need+=(python3)

install_needed() {
  if [ ${#need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    need=()
  fi
}
install_needed

# Where 32-bit code cannot run, the tests are built for 64-bit Windows and run by 64-bit Wine.
source "$(dirname "$0")/wine-bits.sh"
if [ "$(wine_bits)" = 64 ]; then
  for p in wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64; do
    have "$p" || need+=("$p")
  done
  install_needed
fi

# The suites run under both locales; code page 1251 under Wine comes from the Russian one.
missing=0
for wanted in en_US ru_RU; do
  locale -a 2>/dev/null | grep -qi "^$wanted\.utf8$" && continue
  missing=1
  sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >> /etc/locale.gen
done
[ "$missing" = 0 ] || locale-gen >/dev/null
