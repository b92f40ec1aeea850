# Serving a folder with quorvane-testserver, for the end-to-end tests and the
# scripts that show the home site. Source it after `set -euo pipefail` with
# testserver (the program) and source (the source folder) set. Sets work, a
# temporary folder removed on exit with whatever server start_home_site started.
work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Serves ROOT (default: the bundled home site) on 127.0.0.1 at PORT (default: a
# free one) and sets base (http://HOST:PORT), hostport and port. Returns 1, with
# the server's own words, when it does not start.
start_home_site() {
  local root=${1:-$source/homesite} wanted=${2:-0}
  "$testserver" --root "$root" --port "$wanted" >"$work/server.out" 2>&1 &
  server=$!
  for _ in $(seq 100); do
    grep -q '^listening on ' "$work/server.out" && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  base=$(sed -n 's/^listening on \(http:\/\/[^ ]*\).*/\1/p' "$work/server.out")
  [ -n "$base" ] || { echo "test server did not start"; cat "$work/server.out"; return 1; } >&2
  hostport=${base#http://}
  port=${hostport##*:}
}
