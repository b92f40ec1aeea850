# Shared set-up of the end-to-end tests; source it after `set -euo pipefail`.
# Sets quorvane, testserver, source and work (a temporary folder removed on
# exit, with whatever server start_home_site started).
quorvane=$1 testserver=${2:-} source=${3:-}
work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

# Serves ROOT (default: the bundled home site) on a free loopback port and sets
# base (http://HOST:PORT), hostport and port.
start_home_site() {
  local root=${1:-$source/homesite}
  "$testserver" --root "$root" --port 0 >"$work/server.out" 2>&1 &
  server=$!
  for _ in $(seq 100); do
    grep -q '^listening on ' "$work/server.out" && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  base=$(sed -n 's/^listening on \(http:\/\/[^ ]*\).*/\1/p' "$work/server.out")
  [ -n "$base" ] || { echo "test server did not start"; cat "$work/server.out"; exit 1; }
  hostport=${base#http://}
  port=${hostport##*:}
}
