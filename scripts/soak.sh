#!/usr/bin/env bash
# Run by hand after a change to the resident program (menus, About box, editor, launching): one
# resident Marlowin.exe under Wine used many times over; prints memory, handles and GUI objects
# before and after, and fails when they grew beyond the bound. Usage: soak.sh [scale [part]] (every
# count divided by scale; 1, the full run, takes minutes; part: package-menu, main-menu or editor).
source "$(dirname "$0")/opening.sh"

configure_test_build
cmake --build "$build" -j 2 --target soak Marlowin recorder >/dev/null
wine_session "$build/wineprefix"
# The file dialog's drive list makes Wine complain once per dialog about drive Z:'s label: noise.
(cd "$build/bin" && wine "$build/bin/soak.exe" "${1:-1}" "${@:2}") 2> >(grep -v "FS volume label" >&2)
