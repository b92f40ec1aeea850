#!/usr/bin/env bash
# The image walk with WebBrowser4 on QtWebEngine meets an endless page and a
# gzip bomb: each is given up as a failed page, long before the walk's
# time-out, and the walk goes on to collect the picture of the ordinary page.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site"
cat >"$site/start.htm" <<'HTML'
<html><body><a href="/fault/endless">endless</a><a href="/fault/gzip-bomb">bomb</a><a href="a.htm">a</a></body></html>
HTML
cat >"$site/a.htm" <<'HTML'
<html><body><img src="1.png"></body></html>
HTML
start_home_site "$site"

# Idle means the walk's time-out is off too: two pages waiting it out would take a minute.
run_window 120 "$work/folder" - --hidden-engine webengine <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/start.htm
wait-load WebBrowser1
press Picture15
wait-idle 20000
dump $work/walk.json
SCRIPT

python3 - "$work" "$base" <<'PY'
from checks import args, check, finish, load

base, walk = args[0], load("walk")
check(walk["List2"]["items"] == [f"{base}/1.png"], f"image buffer {walk['List2']['items']}")
visited = walk["listlinks2"]["items"]
for page in ("fault/endless", "fault/gzip-bomb", "a.htm"):
    check(f"{base}/{page}" in visited, f"{page} not walked: {visited}")
check(walk["listlinks"]["items"] == [], f"links left: {walk['listlinks']['items']}")
check(not walk["Timer9"]["enabled"], "Timer9 still on after the walk")

finish()
PY
