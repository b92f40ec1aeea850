#!/usr/bin/env bash
# The keyboard of every browser, on the real window: back, forward, stop,
# the address bar, add favorite, find keywords, and a tab order that reaches
# the keyword box, the address bar and the lists.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

run_window 120 "$work/folder" - <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/next/page2.htm
wait-load WebBrowser1
navigate WebBrowser1 $base/next/page3.htm
wait-load WebBrowser1
keys Alt+Left
wait 1500
dump $work/back.json
keys Alt+Right
wait 1500
dump $work/forward.json
keys Ctrl+D
menu viewlinkslisting
keys Ctrl+L
dump $work/address.json
keys Shift+Tab
dump $work/tab0.json
keys Tab
keys Tab
dump $work/tab2.json
keys Ctrl+Shift+F
dump $work/find.json
navigate WebBrowser1 $base/fault/hang
wait 1000
keys Escape
wait 500
dump $work/stop.json
SCRIPT

python3 - "$work" "$base" <<'PY'
from checks import args, check, finish, load
base = args[0]
check(load("back.json")["WebBrowser1"]["url"] == base + "/next/page2.htm", "Alt+Left did not go back")
check(load("forward.json")["WebBrowser1"]["url"] == base + "/next/page3.htm", "Alt+Right did not go forward")
address = load("address.json")
check(base + "/next/page3.htm" in address["favorit2"]["items"], f"Ctrl+D added no favorite: {address['favorit2']}")
check(address["focus"] == "Combo2", f"Ctrl+L focused {address['focus']!r}")
check(load("tab0.json")["focus"] == "Combo1", f"Shift+Tab from the address bar: {load('tab0.json')['focus']!r}")
tab2 = load("tab2.json")
lists = [name for name, value in tab2.items() if isinstance(value, dict) and "items" in value and name[:5] != "Combo"]
check(tab2["focus"] in lists, f"two tabs on reached {tab2['focus']!r}, not one of the lists")
find = load("find.json")
check(any(d["kind"] == "message" for d in find["dialogs"]) or find["StatusBar1"]["panels"][1]["text"],
      "Ctrl+Shift+F did not run Find keywords")
check(not load("stop.json")["WebBrowser1"]["busy"], "Escape did not stop the hanging page")
finish()
PY
