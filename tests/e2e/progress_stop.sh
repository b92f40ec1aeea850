#!/usr/bin/env bash
# The status bar's progress during Find keywords, Create Full Report and the
# image walk over slow pages, each stopped (Escape, the Stop beside the bar,
# the toolbar's Stop): the bar holds pages done of the total and what was
# found, the time runs, and panel 2 says the work stopped instead of a stale
# "Left" text. The panels are as wide as their texts and readable at the
# smallest window; the mail button names the program configured.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

slow="$base/gen/index.htm?n=40&ms=500"
run_window 150 "$work/folder" - --mail-program "/opt/mail/my-mail --compose" <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $slow
wait-load WebBrowser1
menu getlinks
type Combo1 quorvanekey
key Combo1 Enter
menu readit
wait 1700
dump $work/search.json
keys Escape
dump $work/search-stopped.json
navigate WebBrowser1 $slow
wait-load WebBrowser1
menu getlinks
answer no
menu viewreport
wait 1700
dump $work/report.json
click ProgressStop
dump $work/report-stopped.json
navigate WebBrowser1 $slow
wait-load WebBrowser1
press Picture15 left
wait 1700
dump $work/walk.json
press Picture4 left
dump $work/walk-stopped.json
resize 200 200
wait 300
dump $work/small.json
SCRIPT

python3 - "$work" <<'PY'
from checks import check, finish, load
cases = [("search", "keywords", "Left - ", "Search stopped - ", "found"),
         ("report", "report", "Left -", "Report stopped - ", "rows"),
         ("walk", "imageWalk", "Found - ", "Image walk stopped - ", "pictures")]
for name, work_name, running_text, stopped_text, what in cases:
    running, stopped = load(name), load(name + "-stopped")
    p, shown = running["StatusBar1"]["progress"], running["statusBarShown"]["progress"]
    check(p["work"] == work_name and p["phase"] == "running", f"{name}: {p}")
    check(0 < p["done"] < p["total"] and p["elapsedMs"] > 1000, f"{name}: counts and time {p}")
    check(p["text"] == f"{p['done']}/{p['total']} pages, {p['found']} {what}", f"{name}: text {p['text']!r}")
    check(shown["visible"] and shown["stopEnabled"] and shown["text"] == p["text"], f"{name}: bar shown {shown}")
    check(running["StatusBar1"]["panels"][1]["text"].startswith(running_text), f"{name}: panel 2 while running")
    s, sshown = stopped["StatusBar1"]["progress"], stopped["statusBarShown"]["progress"]
    check(s["phase"] == "stopped" and s["done"] >= p["done"], f"{name} stopped: {s}")
    check(sshown["visible"] and not sshown["stopEnabled"], f"{name} stopped: bar {sshown}")
    panel2 = stopped["StatusBar1"]["panels"][1]["text"]
    check(panel2.startswith(stopped_text) and "Left" not in panel2, f"{name} stopped: panel 2 {panel2!r}")

# The report's rows and the search's pages stay where Stop left them.
check(load("search-stopped")["List4"]["items"] == [], "the search queued pages for a report")
small = load("small")
bar = small["statusBarShown"]
check(bar["windowWidth"] >= bar["minimumWidth"] > 200, f"the window went below its minimum: {bar['windowWidth']}")
for i, panel in enumerate(bar["panels"], 1):
    check(panel["readable"], f"panel {i} unreadable at the smallest window: {panel}")
    text = small["StatusBar1"]["panels"][i - 1]["text"]
    if panel["cut"]:
        check(text in panel["toolTip"], f"panel {i}: the whole text is not in its tool tip")
check(small["pictures"]["Picture19"]["toolTip"] == 'Calls "my-mail"', f"mail button: {small['pictures']['Picture19']}")
check(small["StatusBar1"]["panels"][5]["toolTip"] == "Call  my-mail", "panel 6's tool tip")
finish()
PY
