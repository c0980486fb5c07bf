# The opening every script sources first: strict mode and the source root in $root.
# Commands a person runs (`source opening.sh`) also set the machine up, once however many of them
# one command starts (a nested script sees MARLOWIN_SET_UP), and load the Wine helpers. Scripts that
# ctest or the build runs, and setup.sh itself, use `source opening.sh light`: the command that
# configured the build has set up already, and a test or a build step must never install packages.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" != light ]; then
  [ -n "${MARLOWIN_SET_UP:-}" ] || bash "$root/scripts/setup.sh"
  export MARLOWIN_SET_UP=1
  source "$root/scripts/wine-env.sh"
fi
