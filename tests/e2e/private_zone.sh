#!/usr/bin/env bash
# The home site's lists through the real window: start-up fills the public
# menus and shows their buttons; the demo account logs in, its private menus
# fill, a private channel opens; logging out restores the public window, where
# Save image buf still saves; a login at once after it opens the start page.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

run_window 120 "$work/folder" - <<SCRIPT
wait-idle 30000
dump $work/start.json
answer text demo
answer no
press Picture14
wait-idle 30000
dump $work/private.json
answer no
menu privch(0)
wait-load WebBrowser1
dump $work/channel.json
press Picture14
answer file $work/buffer.htm
menu sreport
dump $work/out.json
answer text demo
answer no
press Picture14
wait-idle 30000
dump $work/again.json
SCRIPT

python3 - "$work" "$base" <<'PY'
import os
from checks import args, check, finish, load, work

base = args[0]
start, private, channel, out, again = load("start", "private", "channel", "out", "again")
def shown(dump, control):
    return dump["controls"].get(control, {}).get("visible")

check(start["menus"]["pubch"] == ["Link Exchange Directory", "Shop Directory", "Contact Us", "Picture Gallery"],
      f"pubch: {start['menus']['pubch']}")
check(start["menus"]["pubs"] == ["LinkFinder", "ShopSeek", "TradeWinds Search"], f"pubs: {start['menus']['pubs']}")
check(start["ara2"]["items"][:2] == ["", base + "/channels/linkexchange.htm"], f"ara2: {start['ara2']['items']}")
check(start["pass"]["items"] == ["***"], f"pass: {start['pass']['items']}")
check(shown(start, "Picture8") and shown(start, "Picture11"), "Picture8/Picture11 hidden after start-up")
check(start["WebBrowser1"]["url"] == base + "/next/page1.htm", f"first home page: {start['WebBrowser1']['url']}")

check(private["privateZone"] == 1, "not in the private zone after the login")
check(private["menus"]["privch"] == ["Partner Sites", "Wholesale Suppliers"], f"privch: {private['menus']['privch']}")
check(private["menus"]["privs"] == ["Trade Search"], f"privs: {private['menus']['privs']}")
check(private["WebBrowser1"]["url"] == base + "/private/start.htm", f"start page: {private['WebBrowser1']['url']}")
check(not private["Combo2"]["visible"], "the address bar shows in the private zone")
check(shown(private, "Picture8") and shown(private, "Picture11"), "buttons did not come back with the private lists")
check(not private["Timer10"]["enabled"] and not private["Timer11"]["enabled"], "retry timers still armed")
check(private["StatusBar1"]["panels"][1]["text"] == "Your tracking will not keeped !!! ", "zone status text")

check(channel["WebBrowser1"]["url"] == base + "/private/partners.htm", f"channel: {channel['WebBrowser1']['url']}")

check(out["privateZone"] == 0, "still private after logging out")
check(out["Combo2"]["visible"] and out["Combo2"]["text"] == "", "address bar not restored")
check(out["menuEntries"]["sreport"]["enabled"], "Save image buf disabled after logging out")
saved = os.path.join(work, "buffer.htm")
check(os.path.exists(saved) and open(saved, "rb").read().startswith(b"<html>\r\n\r\n<head><title>Image Buffer's contents"),
      "Save image buf wrote no buffer file after logging out")
check(again["privateZone"] == 1 and again["WebBrowser1"]["url"] == base + "/private/start.htm",
      f"a login right after a logout shows {again['WebBrowser1']['url']}")
inputs = [d for d in out["dialogs"] if d["kind"] == "input"]
check(len(inputs) == 1 and inputs[0]["answer"] != "demo", f"password input not masked: {inputs}")
for name in ["../start.json", "../private.json"] + os.listdir(os.path.join(work, "folder")):
    data = open(os.path.join(work, "folder", name), "rb").read()
    check(b"demo" not in data, f"the password ended up in {name}")

finish()
PY
