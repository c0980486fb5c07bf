#!/usr/bin/env bash
# Fails when a folder of the programs includes a header from a folder above it. The layers, lowest
# first: res, base, store, launch, editor, tray, then app and mwpack (the two programs) side by side.
# `check-layers.sh [ROOT]` checks ROOT (the source tree by default); `--self-test` shows that an
# upward include is caught.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

rank() {
  case $1 in
    res) echo 0 ;; base) echo 1 ;; store) echo 2 ;; launch) echo 3 ;; editor) echo 4 ;; tray) echo 5 ;;
    app | mwpack) echo 6 ;;
    *) echo 99 ;;  # tests and anything else: never included by the programs
  esac
}

check() {
  local tree=$1 status=0 file line text from to
  while IFS=: read -r file line text; do
    from=${file%%/*}
    to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include "([^/"]+)\/.*/\1/' <<<"$text")
    if [ "$(rank "$to")" -gt "$(rank "$from")" ] || { [ "$(rank "$to")" -eq "$(rank "$from")" ] && [ "$to" != "$from" ]; }; then
      echo "$file:$line: $from/ includes $to/, which is not below it" >&2
      status=1
    fi
  done < <(cd "$tree" && grep -rnE '^[[:space:]]*#[[:space:]]*include "[^"/]+/' \
             --include='*.h' --include='*.cpp' --include='*.rc' --include='*.in' \
             res base store launch editor tray app mwpack 2>/dev/null || true)
  return $status
}

if [ "${1:-}" = --self-test ]; then
  tree=$(mktemp -d)
  trap 'rm -rf "$tree"' EXIT
  mkdir -p "$tree/store" "$tree/launch"
  printf '#include "store/a.h"\n' > "$tree/launch/b.cpp"
  check "$tree" || { echo "a downward include was refused" >&2; exit 1; }
  printf '#include "launch/b.h"\n' > "$tree/store/a.cpp"
  if check "$tree" 2>/dev/null; then
    echo "an upward include was not caught" >&2
    exit 1
  fi
  echo "upward include caught"
  exit 0
fi

check "${1:-$root}" && echo "every include points down"
