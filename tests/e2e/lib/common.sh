# Shared set-up of the end-to-end tests, which CTest calls with the arguments
# QUORVANE_BIN TESTSERVER_BIN SOURCE_DIR: source it first. Sets the shell's
# strict modes, quorvane, testserver, source and, through homesite.sh, work
# and start_home_site.
set -euo pipefail
quorvane=$1 testserver=${2:-} source=${3:-}
source "$(dirname "${BASH_SOURCE[0]}")/homesite.sh"
export QT_QPA_PLATFORM=offscreen
# The checkers import checks.py from here.
export PYTHONPATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"

# Runs the window for at most SECONDS on the program folder FOLDER (made if
# missing) against the home site, playing SCRIPT ("-": the standard input, kept
# as FOLDER.script); further options go before it.
run_window() {
  local seconds=$1 folder=$2 script=$3
  shift 3
  mkdir -p "$folder"
  if [ "$script" = - ]; then script=$folder.script; cat >"$script"; fi
  timeout "$seconds" "$quorvane" --program-folder "$folder" --home-site "$hostport" --translation-host "$hostport" \
    "$@" --script "$script"
}
