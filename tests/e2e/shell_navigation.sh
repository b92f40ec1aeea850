#!/usr/bin/env bash
# Browses through the real window: opens a page, clicks one of its links, goes
# back and forward with the toolbar, switches views, adds a favorite; then
# starts again on the same program folder and finds the favorite and the
# visited domain there.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site
first=$base/samples/links.htm
second=$base/samples/images.htm  # a link of the first page

run_window 120 "$work/folder" - <<SCRIPT
# The start-up downloads may show a next home page in Browser 1: let them finish first.
wait-idle
wait-load WebBrowser1
open $first
wait-load WebBrowser1
dump $work/opened.json
page-click WebBrowser1 a[href='images.htm']
wait 300
wait-load WebBrowser1
dump $work/clicked.json
press Picture2
wait 300
wait-load WebBrowser1
dump $work/back.json
press Picture3
wait 300
wait-load WebBrowser1
dump $work/forward.json
press Picture23 right
dump $work/switched.json
press Picture23
menu add
dump $work/added.json
SCRIPT

run_window 120 "$work/folder" - <<SCRIPT
dump $work/restarted.json
wait-idle
wait-load WebBrowser1
# A double click on Your Favorites opens the panel once, not open and shut.
press-double Picture9
dump $work/panel.json
open $first
wait-load WebBrowser1
menu add
open $base/samples/frames.htm
wait-load WebBrowser1
dump $work/reopened.json
press Picture9
# The right button opens the entry selected before, not the one under the pointer.
click favorit2 0
rightclick favorit2 1
wait 300
wait-load WebBrowser1
dump $work/rightclicked.json
SCRIPT

python3 - "$work" "$first" "$second" <<'PY'
import os
from checks import args, check, finish, load as dump, work

first, second = args

opened = dump("opened")
check(opened["WebBrowser1"]["url"] == first, f"opened: Browser 1 shows {opened['WebBrowser1']['url']}")
check(opened["Combo2"]["text"] == first, f"opened: address bar holds {opened['Combo2']['text']!r}")
check(opened["caption"] == opened["WebBrowser1"]["title"] and opened["caption"], f"opened: caption {opened['caption']!r}")
check(opened["StatusBar1"]["panels"][0]["text"] == "Done", f"opened: panel 1 {opened['StatusBar1']['panels'][0]}")
check(opened["DocEvents"] is True, "opened: document events are not hooked")

clicked = dump("clicked")
check(clicked["WebBrowser1"]["url"] == second, f"clicked: Browser 1 shows {clicked['WebBrowser1']['url']}")

back = dump("back")
check(back["WebBrowser1"]["url"] == first, f"back: Browser 1 shows {back['WebBrowser1']['url']}")
check(back["Combo2"]["text"] == first, f"back: address bar holds {back['Combo2']['text']!r}")
forward = dump("forward")
check(forward["WebBrowser1"]["url"] == second, f"forward: Browser 1 shows {forward['WebBrowser1']['url']}")

switched = dump("switched")
check(switched["WebBrowser5"]["visible"] and not switched["WebBrowser1"]["visible"], "switch: Browser 2 is not the shown view")
check(switched["caption"] == "Browser 2", f"switch: caption {switched['caption']!r}")
check(switched["pictures"]["Picture23"]["image"] == "switch_down.bmp",
      f"switch: Picture23 shows {switched['pictures']['Picture23']['image']}")
check(switched["WebBrowser1"]["url"] == second, "switch: Browser 1 moved")

added = dump("added")
check(added["WebBrowser1"]["visible"] and added["caption"] == "Browser 1", "switching back did not show Browser 1")
check(added["favorit2"]["items"] == [second], f"favorites: {added['favorit2']['items']}")
check("127.0.0.1" in added["domain2"]["items"], f"history: {added['domain2']['items']}")
toolbar = added["controls"]["Picture1"]
check(toolbar["top"] == 0 and toolbar["height"] == 420 and toolbar["width"] > 0, f"toolbar strip at {toolbar}")

restarted = dump("restarted")
check(restarted["favorit2"]["items"] == [second], f"after restart favorites: {restarted['favorit2']['items']}")
check(restarted["domain2"]["items"] == ["127.0.0.1"], f"after restart history: {restarted['domain2']['items']}")
check(restarted["pictures"]["Picture2"]["image"] == "back1.bmp", "after restart the toolbar is not in its normal state")

panel = dump("panel")
check(panel["favorit2"]["visible"], "a double click on Your Favorites left the panel closed")
check(not dump("reopened")["favorit2"]["visible"], "the favorites panel stayed open")
rightclicked = dump("rightclicked")
entries = rightclicked["favorit2"]["items"]
check(sorted(entries) == sorted([first, second]), f"favorites after the second add: {entries}")
check(rightclicked["favorit2"]["selected"] == 0, f"the right button moved the selection to {rightclicked['favorit2']['selected']}")
check(rightclicked["WebBrowser1"]["url"] == entries[0],
      f"the right button opened {rightclicked['WebBrowser1']['url']}, not the selected {entries[0]}")
# Saved at once, in the list's order.
favor = open(os.path.join(work, "folder", "favor2.txt"), "rb").read()
check(favor == b'"' + "\r\n".join(entries).encode() + b'\r\n"\r\n', f"favor2.txt holds {favor!r}")

finish()
PY
