#!/usr/bin/env bash
# Run by ctest (layers, layers_rule), or by hand after moving an include. Fails when a folder of the
# programs includes a header from a folder above it. The layers, lowest first: res, base, store,
# launch, editor, tray, then app and mwpack (the two programs) side by side; mwpack, the console
# companion, stands on store and launch alone (no dialogs, no tray), and its link shows it too.
# `check-layers.sh [ROOT] [--map MAP]` checks ROOT (the source tree by default) and, with MAP, the
# link map of mwpack.exe; `--self-test` shows that an upward include and an upward link are caught.
source "$(dirname "$0")/opening.sh" light

check() {
  (cd "$1" && grep -rnE '^[[:space:]]*#[[:space:]]*include "[^"/]+/' \
     --include='*.h' --include='*.cpp' --include='*.rc' --include='*.in' \
     res base store launch editor tray app mwpack 2>/dev/null || true) |
  awk '
    BEGIN {
      split("res base store launch editor tray app mwpack", folders, " ")
      split("0 1 2 3 4 5 6 6", ranks, " ")
      for (i in folders) rank[folders[i]] = ranks[i]
    }
    {
      split($0, part, ":")
      from = part[1]; sub(/\/.*/, "", from)
      to = $0; sub(/^[^"]*"/, "", to); sub(/\/.*/, "", to)
      # tests/ and anything else outside the layers: never included by the programs.
      up = !(to in rank) || rank[to] > rank[from] || (rank[to] == rank[from] && to != from) ||
           (from == "mwpack" && rank[to] > rank["launch"] && to != "mwpack")
      if (up) { printf "%s:%s: %s/ includes %s/, which is not below it\n", part[1], part[2], from, to > "/dev/stderr"; bad = 1 }
    }
    END { exit bad }'
}

# The link map names every archive member and object that went into mwpack.exe: none may come from
# the library of the windows (editor, tray, entry) or from their folders.
check_link() {
  if grep -nE 'libmarlowin_core\.a|\.dir/(editor|tray|app)/' "$1" >&2; then
    echo "$1: mwpack.exe links code of the editor, the tray or Marlowin's entry" >&2
    return 1
  fi
  grep -q 'libmarlowin_store\.a' "$1" || { echo "$1: not a link map of mwpack.exe" >&2; return 1; }
}

if [ "${1:-}" = --self-test ]; then
  tree=$(mktemp -d)
  trap 'rm -rf "$tree"' EXIT
  # plant FILE INCLUDE: a tree holding that one include.
  plant() { rm -rf "${tree:?}"/*; mkdir -p "$tree/$(dirname "$1")"; printf '#include "%s"\n' "$2" > "$tree/$1"; }
  plant launch/b.cpp store/a.h
  check "$tree" || { echo "a downward include was refused" >&2; exit 1; }
  for upward in "store/a.cpp launch/b.h" "mwpack/d.cpp editor/c.h"; do
    plant $upward
    if check "$tree" 2>/dev/null; then echo "not caught: $upward" >&2; exit 1; fi
  done
  printf 'libmarlowin_store.a(package_file.cpp.obj)\n' > "$tree/mwpack.map"
  check_link "$tree/mwpack.map" || { echo "a link of the store alone was refused" >&2; exit 1; }
  printf 'libmarlowin_core.a(profile_list_box.cpp.obj)\n' >> "$tree/mwpack.map"
  if check_link "$tree/mwpack.map" 2>/dev/null; then echo "not caught: an editor member in the link" >&2; exit 1; fi
  echo "upward include caught, and mwpack above launch, in its includes and its link"
  exit 0
fi

tree=$root
map=
while [ $# -gt 0 ]; do
  case "$1" in
    --map) map=$2; shift 2 ;;
    *) tree=$1; shift ;;
  esac
done
check "$tree" && echo "every include points down"
if [ -n "$map" ]; then
  check_link "$map" && echo "mwpack.exe links nothing above the store and the launcher"
fi
