#!/usr/bin/env bash
# Options win over the settings file, which wins over the defaults; a bad
# HOST[:PORT] in the settings file stops the program with exit code 2.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen

start_home_site

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

# Scripts that would block or never end, and a host name past the DNS limits,
# are refused at once with exit code 2.
rm -f "$settings"
mkfifo "$work/fifo"
long_host=$(printf 'a%.0s' $(seq 300))
for args in "--script $work/fifo" "--script /dev/zero" "--home-site $long_host"; do
  status=0
  # shellcheck disable=SC2086
  timeout 30 "$quorvane" $args 2>"$work/err.txt" || status=$?
  [ "$status" -eq 2 ] || fail "$args: exit code $status"
done
