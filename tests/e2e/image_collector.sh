#!/usr/bin/env bash
# The automatic image collector walks a small linked site on WebBrowser4 and
# takes every image once; a double click in the shown page fills the selected
# catalog (on a link whose click the page cancels, so the page stays); Stop
# halts a walk whose page is still loading.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site"
cat >"$site/start.htm" <<'HTML'
<html><body><img src="s.png"><a href="a.htm">a</a><a id="stay" href="a.htm" onclick="return false">stay</a></body></html>
HTML
cat >"$site/a.htm" <<'HTML'
<html><body><img src="1.png"><a href="b.htm">b</a><a href="c.htm">c</a><a href="big.JPG">big</a></body></html>
HTML
cat >"$site/b.htm" <<'HTML'
<html><body><img src="1.png"><img src="2.png"><a href="a.htm">a</a></body></html>
HTML
cat >"$site/c.htm" <<'HTML'
<html><body><img src="3.gif"><a href="start.htm">home</a></body></html>
HTML
cat >"$site/stop.htm" <<'HTML'
<html><body><a href="/fault/slow?ms=20000">one</a><a href="/fault/slow?ms=20001">two</a></body></html>
HTML

start_home_site "$site"

run_window 120 "$work/walk" - <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/start.htm
wait-load WebBrowser1
press Picture15
wait-idle 30000
type Combo1 pictures
key Combo1 Enter
click Combo1 0
page-hover WebBrowser1 a[href\$='a.htm']
dump $work/hover.json
page-dblclick WebBrowser1 a[onclick]
dump $work/walk.json
SCRIPT

run_window 120 "$work/stop" - <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/stop.htm
wait-load WebBrowser1
press Picture15
wait 500
press Picture4
wait 1000
dump $work/stop.json
SCRIPT

python3 - "$work" "$base" <<'PY'
from checks import args, check, finish, load

base = args[0]
walk, hover, stop = load("walk", "hover", "stop")
images = walk["List2"]["items"]
expected = [f"{base}/{n}" for n in ("1.png", "2.png", "3.gif", "big.JPG", "s.png")]
check(sorted(images) == sorted(expected), f"image buffer {images} != {expected}")
visited = walk["listlinks2"]["items"]
for page in ("a.htm", "b.htm", "c.htm", "start.htm"):
    check(visited.count(f"{base}/{page}") == 1, f"{page} not walked once: {visited}")
check(walk["listlinks"]["items"] == [], f"links left: {walk['listlinks']['items']}")
check(not walk["Timer9"]["enabled"], "Timer9 still on after the walk")
check(walk["StatusBar1"]["panels"][1]["text"] == "Found - 0 links  ! ", f"panel 2 after the walk: {walk['StatusBar1']['panels'][1]}")
check(walk["catalogs"][0] == f"<img src='{base}/a.htm'>", f"catalog 0: {walk['catalogs'][0]!r}")

panel1 = hover["StatusBar1"]["panels"][0]["text"]
check(panel1 == f"{base}/a.htm", f"hover shows {panel1!r}")

check(len(stop["listlinks2"]["items"]) == 1, f"walked on after Stop: {stop['listlinks2']['items']}")
check(len(stop["listlinks"]["items"]) == 1, f"links list after Stop: {stop['listlinks']['items']}")
check(not stop["Timer9"]["enabled"], "Timer9 still on after Stop")
check(not stop["WebBrowser4"]["busy"], "WebBrowser4 still loading after Stop")

finish()
PY
