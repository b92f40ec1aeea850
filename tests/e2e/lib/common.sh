# Shared set-up of the end-to-end tests; source it after `set -euo pipefail`.
# Sets quorvane, testserver, source and, through homesite.sh, work and
# start_home_site.
quorvane=$1 testserver=${2:-} source=${3:-}
source "$(dirname "${BASH_SOURCE[0]}")/homesite.sh"
export QT_QPA_PLATFORM=offscreen
# The checkers import checks.py from here.
export PYTHONPATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
