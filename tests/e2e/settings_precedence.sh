#!/usr/bin/env bash
# Options win over the settings file, which wins over the defaults; a bad
# HOST[:PORT] in the settings file stops the program with exit code 2.
# Arguments: QUORVANE_BIN TESTSERVER_BIN SOURCE_DIR
set -euo pipefail
quorvane=$1 testserver=$2 source=$3
work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen

"$testserver" --root "$source/homesite" --port 0 >"$work/server.out" 2>&1 &
server=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/server.out" && break
  sleep 0.1
done
port=$(sed -n 's/^listening on http:\/\/[^:]*:\([0-9]*\).*/\1/p' "$work/server.out")
[ -n "$port" ] || { echo "test server did not start"; cat "$work/server.out"; exit 1; }

mkdir -p "$work/config/Quorvane"
settings=$work/config/Quorvane/quorvane.ini
printf 'homeSite=127.0.0.1:%s\nprogramFolder=%s\n' "$port" "$work/from-settings" >"$settings"
# The start-up page comes from the home site; its address tells which home site was used.
printf 'wait-load WebBrowser5 20000\ndump %s/dump.json\n' "$work" >"$work/script.txt"

fail() { echo "FAIL: $*"; exit 1; }
welcome_url() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["WebBrowser5"]["url"])' "$work/dump.json"; }

# The settings file over the defaults; its program folder is created.
timeout 60 "$quorvane" --script "$work/script.txt"
[ "$(welcome_url)" = "http://127.0.0.1:$port/welcome.htm" ] || fail "settings: start page $(welcome_url)"
[ -f "$work/from-settings/lb.prv" ] || fail "settings: the program folder from the settings file was not used"

# Options over the settings file.
rm -f "$work/dump.json"
timeout 60 "$quorvane" --script "$work/script.txt" --home-site "localhost:$port" --program-folder "$work/from-option"
[ "$(welcome_url)" = "http://localhost:$port/welcome.htm" ] || fail "option: start page $(welcome_url)"
[ -f "$work/from-option/lb.prv" ] || fail "option: the program folder from the option was not used"

# A malformed setting is refused before any window opens.
printf 'homeSite=127.0.0.1:99999\n' >"$settings"
status=0
timeout 30 "$quorvane" --script "$work/script.txt" 2>"$work/err.txt" || status=$?
[ "$status" -eq 2 ] || fail "bad setting: exit code $status"
grep -q 'home site' "$work/err.txt" || fail "bad setting: message was: $(cat "$work/err.txt")"
