#!/usr/bin/env bash
# Not run by hand: ctest runs it (binaries, binaries_rule) on the built programs. Guards that need no
# Windows:
# - every function a shipped program imports is in its reviewed list, release/imports/NAME.txt,
#   which says which Windows the program needs and where each entry's availability comes from
#   (the 32-bit programs, which users get);
# - each program's manifest names the architecture it is built for;
# - Marlowin.exe's manifest names its assembly at version 1.0.0.0, whatever the release's version.
# Usage: check-binaries.sh PROGRAM.exe...   (check-binaries.sh --self-test plants a fault of each kind)
source "$(dirname "$0")/opening.sh" light

# "DLL Function" for each import, from the import table (DLL names upper-cased).
imports() {
  objdump -p "$1" | awk '/DLL Name:/ { dll = toupper($3); next }
                         NF == 0 { dll = "" }
                         dll != "" && NF == 3 && $2 ~ /^[0-9]+$/ { print dll, $3 }' | sort -u
}

check_imports() {
  local program=$1 list=$2 unknown
  unknown=$(comm -23 <(imports "$program") <(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$list" | awk '{ print toupper($1), $2 }' | sort -u))
  if [ -n "$unknown" ]; then
    echo "$(basename "$program") imports what $(basename "$list") does not list:"
    echo "$unknown" | sed 's/^/  /'
    return 1
  fi
}

check_manifest() {
  local program=$1 wanted found
  case $(objdump -f "$program" | sed -n 's/^architecture: *\([^,]*\).*/\1/p') in
    i386) wanted=X86 ;;
    i386:x86-64) wanted=amd64 ;;
    *) echo "$(basename "$program"): unknown architecture"; return 1 ;;
  esac
  # "*" stands for any architecture.
  found=$(grep -a -o 'processorArchitecture="[^"]*"' "$program" | grep -v -x -e "processorArchitecture=\"$wanted\"" \
            -e 'processorArchitecture="\*"' | sort -u | tr '\n' ' ')
  if [ -n "$found" ]; then
    echo "$(basename "$program") is built for $wanted but its manifest names: $found"
    return 1
  fi
}

check_assembly() {
  local program=$1 found
  found=$(grep -a -o '<assemblyIdentity name="Marlowin" version="[^"]*"' "$program" | sort -u)
  if [ "$found" != '<assemblyIdentity name="Marlowin" version="1.0.0.0"' ]; then
    echo "$(basename "$program")'s manifest names the assembly as: ${found:-nothing}"
    return 1
  fi
}

check() {
  local status=0 program list
  for program in "$@"; do
    # The installer's list does not carry the version in its name.
    list="$root/release/imports/$(basename "$program" | sed 's/-[0-9][0-9.]*-setup/-setup/').txt"
    # Users get the 32-bit programs; the lists speak of them, and each must have one.
    if objdump -f "$program" | grep -q '^architecture: i386,'; then
      if [ -f "$list" ]; then
        check_imports "$program" "$list" || status=1
      else
        echo "$(basename "$program") has no list of reviewed imports ($list)"
        status=1
      fi
    fi
    if grep -aq '<assembly' "$program"; then
      check_manifest "$program" || status=1
    fi
    if [ "$(basename "$program")" = Marlowin.exe ]; then
      check_assembly "$program" || status=1
    fi
  done
  return $status
}

if [ "${1:-}" = --self-test ]; then
  # A copy of a shipped program with one import renamed to a function of Windows 8 (a name of the
  # same length, so the file keeps its layout), one with another architecture's manifest and one
  # whose manifest follows the release's version: each check must fail.
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  program=$2
  name=$(basename "$program")
  cp "$program" "$work/$name"
  imports "$program" | grep -q ' CreateFileA$' || { echo "self-test: $name does not import CreateFileA"; exit 1; }
  sed -i 's/CreateFileA\x00/CreateFile2\x00/' "$work/$name"
  check_manifest "$work/$name" >/dev/null || { echo "self-test: the import change broke the manifest"; exit 1; }
  if check_imports "$work/$name" "$root/release/imports/$name.txt" >/dev/null; then
    echo "self-test: a newer import passed"; exit 1
  fi
  cp "$program" "$work/$name"
  sed -i 's/processorArchitecture="X86"/processorArchitecture="arm"/g' "$work/$name"
  if check_manifest "$work/$name" >/dev/null; then echo "self-test: a foreign manifest passed"; exit 1; fi
  cp "$program" "$work/$name"
  check_assembly "$work/$name" >/dev/null || { echo "self-test: $name's manifest is not at 1.0.0.0"; exit 1; }
  sed -i 's/name="Marlowin" version="1.0.0.0"/name="Marlowin" version="1.0.0.1"/' "$work/$name"
  if check_assembly "$work/$name" >/dev/null; then echo "self-test: a manifest at the release's version passed"; exit 1; fi
  echo "all three planted faults were caught"
  exit 0
fi
check "$@" && echo "imports and manifests as reviewed: $*"
