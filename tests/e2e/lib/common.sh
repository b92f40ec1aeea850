# Shared set-up of the end-to-end tests; source it after `set -euo pipefail`.
# Sets quorvane, testserver, source and, through homesite.sh, work and
# start_home_site.
quorvane=$1 testserver=${2:-} source=${3:-}
source "$(dirname "${BASH_SOURCE[0]}")/homesite.sh"
export QT_QPA_PLATFORM=offscreen
# The checkers import checks.py from here.
export PYTHONPATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"

# Runs the window for at most SECONDS on the program folder FOLDER (made if
# missing) against the home site, playing SCRIPT; further options go before it.
run_window() {
  local seconds=$1 folder=$2 script=$3
  shift 3
  mkdir -p "$folder"
  timeout "$seconds" "$quorvane" --program-folder "$folder" --home-site "$hostport" --translation-host "$hostport" \
    "$@" --script "$script"
}
