#!/usr/bin/env bash
# A page whose links and pictures are script addresses: the harvester, the
# shown-page collector and the image walk (on both hidden engines) put none of
# them into a list, and opening the list's entries runs no script: the test
# server's beacon, which every script would call, is never reached.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site"
start_home_site "$site"
cat >"$site/hostile.htm" <<HTML
<html><body>
<a href="javascript:fetch('$base/fault/beacon?a')">a</a>
<a href="JAVASCRIPT:fetch('$base/fault/beacon?b')//x.jpg">b</a>
<a href="data:text/html,<script>fetch('$base/fault/beacon?c')</script>">c</a>
<a href=" vbscript:x">d</a>
<img src="javascript:fetch('$base/fault/beacon?e')">
<a href="ok.htm">ok</a>
</body></html>
HTML
cp "$site/hostile.htm" "$site/ok.htm"

for engine in text webengine; do
  mkdir -p "$work/$engine"
  {
    echo "wait-idle 30000"
    echo "navigate WebBrowser1 $base/hostile.htm"
    echo "wait-load WebBrowser1"
    echo "menu getlinks"
    echo "dump $work/$engine/harvest.json"
    for i in 0 1 2 3 4; do
      echo "click listlinks $i"
      echo "rightclick listlinks"
      echo "wait 300"
    done
    echo "wait-load WebBrowser1"
    echo "press Picture15"
    echo "wait-idle 30000"
    echo "wait 1000"
    echo "dump $work/$engine/walk.json"
  } >"$work/$engine/script.txt"
  run_window 120 "$work/$engine" "$work/$engine/script.txt" --hidden-engine "$engine"
done

python3 - "$work" "$base" <<'PY'
import urllib.request
from checks import args, check, finish, load
base = args[0]
for engine in ("text", "webengine"):
    for name in ("harvest", "walk"):
        dump = load(f"{engine}/{name}")
        for listname in ("listlinks", "listlinks2", "List2", "List3", "List7"):
            for item in dump[listname]["items"]:
                low = item.lower()
                check("script:" not in low and "data:" not in low, f"{engine} {name} {listname}: {item}")
    harvest = load(f"{engine}/harvest")
    check(harvest["listlinks"]["items"] == [f"{base}/ok.htm"], f"{engine}: links {harvest['listlinks']['items']}")
beacons = urllib.request.urlopen(f"{base}/fault/beacon-count").read().decode()
check(beacons == "0", f"the page's scripts reached the server {beacons} times")
finish("hostile links: no script address listed or opened")
PY
