#!/usr/bin/env bash
# Run by opening.sh for every command a person runs; by hand only to set a machine up ahead.
# Installs what building and testing need on a Debian machine. Idempotent; run as root.
source "$(dirname "$0")/opening.sh" light

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Wine's 32-bit half comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

# The i686 compiler builds what users download, the x86_64 one the test programs; Wine runs both.
# g++ builds the release's package writer for this machine.
for p in cmake make g++ g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
         g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 \
         googletest nlohmann-json3-dev wine wine32:i386 xvfb x11-utils imagemagick locales nsis zip unzip \
         clang-14 libclang-rt-14-dev libfuzzer-14-dev; do
  have "$p" || need+=("$p")
done

install_needed() {
  if [ ${#need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
    need=()
  fi
}
install_needed

# Where the kernel runs no 32-bit code, Wine's 32-bit half runs under qemu-i386 10.x from
# bookworm-backports (bookworm's 7.2 ignores MAP_FIXED_NOREPLACE and spends a CPU-minute starting
# each process). Only that one static binary is unpacked into build/; the machine's apt sources,
# its installed packages and its binfmt_misc registrations stay as they are.
source "$root/scripts/wine-env.sh"
if ! runs_32bit_natively && [ ! -x "$QEMU_I386" ]; then
  cache=$(dirname "$QEMU_I386")/apt
  mkdir -p "$cache/lists/partial" "$cache/archives/partial"
  mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  [ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $0 !~ /security/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${mirror:-http://deb.debian.org/debian} bookworm-backports main" \
    > "$cache/sources.list"
  private=(-o "Dir::Etc::SourceList=$cache/sources.list" -o Dir::Etc::SourceParts=/dev/null
           -o "Dir::State::Lists=$cache/lists" -o "Dir::Cache=$cache")
  apt-get "${private[@]}" update -qq
  (cd "$cache" && apt-get "${private[@]}" download qemu-user 2>/dev/null)
  dpkg-deb --fsys-tarfile "$cache"/qemu-user_*.deb | tar -x -O ./usr/bin/qemu-i386 > "$QEMU_I386.part"
  chmod +x "$QEMU_I386.part"
  mv "$QEMU_I386.part" "$QEMU_I386"
  rm -rf "$cache"
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
