#!/usr/bin/env bash
# Builds Quorvane, starts the bundled home site on 127.0.0.1 and opens the
# browser pointed at it. Extra arguments go to quorvane (e.g. --screenshot FILE).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"

testserver=$build/quorvane-testserver source=$root
source "$root/tests/e2e/lib/homesite.sh"
port=${QUORVANE_HOME_PORT:-8737}
# Wait for the home site, so that a taken port is reported rather than ignored.
if ! start_home_site "$root/homesite" "$port"; then
  echo "The home site could not start on 127.0.0.1:$port (set QUORVANE_HOME_PORT to use another port)." >&2
  exit 1
fi

# The web engine's sandbox cannot run as root.
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
args=(--home-site "127.0.0.1:$port" --translation-host "127.0.0.1:$port" "$@")
automated=0
for a in "$@"; do
  case $a in --screenshot|--screenshot=*|--script|--script=*) automated=1 ;; esac
done
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$build/quorvane" "${args[@]}"
elif [ "$automated" -eq 1 ]; then
  QT_QPA_PLATFORM=offscreen "$build/quorvane" "${args[@]}"
else
  xvfb-run -a -s "-screen 0 1280x900x24" "$build/quorvane" "${args[@]}"
fi
