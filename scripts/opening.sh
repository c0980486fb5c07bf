# The opening that every user-facing command shares: strict mode, the source root in $root, the
# machine set up (idempotently), and the Wine helpers loaded. Sourced, never run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh"
source "$root/scripts/wine-env.sh"
