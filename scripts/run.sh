#!/usr/bin/env bash
# Builds Quorvane, starts the bundled home site on 127.0.0.1 and opens the
# browser pointed at it. Extra arguments go to quorvane (e.g. --screenshot FILE).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"

port=${QUORVANE_HOME_PORT:-8737}
"$build/quorvane-testserver" --root "$root/homesite" --host 127.0.0.1 --port "$port" >/dev/null &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT

# The web engine's sandbox cannot run as root.
[ "$(id -u)" -ne 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
args=(--home-site "127.0.0.1:$port" --translation-host "127.0.0.1:$port" "$@")
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$build/quorvane" "${args[@]}"
elif printf '%s\n' "$@" | grep -q -- '--screenshot\|--script'; then
  QT_QPA_PLATFORM=offscreen "$build/quorvane" "${args[@]}"
else
  xvfb-run -a -s "-screen 0 1280x900x24" "$build/quorvane" "${args[@]}"
fi
