#!/usr/bin/env bash
# Drives the generator windows through the real program: fields, Add, the
# header line, Generate, the card profile window, Save profile and Preview;
# then the sitegen command line writes the same site from the saved profile.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

start_home_site
mkdir "$work/folder" "$work/cli"
run_window 120 "$work/folder" - <<SCRIPT
menu wshipping
menu online
type Form2.Text1(0) Corner Store
type Form2.Text1(1) http://example.com/
type Form2.Text1(2) A1
type Form2.Text1(3) Apple "Gala"
type Form2.Text1(4) 1.25
type Form2.Text1(5) shop@example.com
type Form2.Text1(6) a.gif
type Form2.Text1(7) a.htm
click Form2.Command3
type Form2.Text1(4) 1,25
click Form2.Command3
type Form2.Text1(4) 2.5
type Form2.Text1(2) B2
click Form2.Command3
dblclick Form2.List1 0
# The item list is a table; its rows are clicked with the mouse.
click Form2.List1 1
dump $work/selected.json
type Form2.Text1(2) <b>C3</b>
click Form2.Command3
dump $work/added.json
dblclick Form2.List1 3
click Form2.Command2
type Form3.Text2 <table id='shop'>
click Form3.Command2
click Form2.Command1
answer file $work/saved.pro
click Form2.Command5
dump $work/generated.json
click Form2.Command4
wait-load WebBrowser1
dump $work/preview.json
click Form2.Close
dump $work/closed.json
SCRIPT

"$quorvane" sitegen "$work/saved.pro" --order-mode online --program-folder "$work/cli" >"$work/cli.out"
bad=0
"$quorvane" sitegen "$work/saved.pro" --order-mode fax >/dev/null 2>"$work/bad.err" || bad=$?

python3 - "$work" "$bad" <<'PY'
import os, urllib.parse
from checks import args, check, finish, load, work
bad = int(args[0])
header = "Item ID , Item Description , Item Price ,Item Picture URL, Item Description URL , "

selected = load("selected.json")["Form2"]
check(selected["List1"]["selected"] == 1 and selected["Text1"][2:5] == ["A1", 'Apple "Gala"', "1.25"],
      f"clicking row 1: {selected['List1']['selected']} {selected['Text1']}")
table = load("added.json")["Form2"]["List1"].get("table", {})
check(table.get("columns") == ["Item ID", "Item Description", "Item Price", "Item Picture URL", "Item Description URL"],
      f"table columns {table.get('columns')}")
check(table.get("resizable") is True, "the table's columns cannot be resized")
rows = table.get("rows", [])
check([r["cells"] for r in rows] == [
    ["Item ID ", " Item Description ", " Item Price ", "Item Picture URL", " Item Description URL "],
    ["A1", 'Apple "Gala"', "1.25", "a.gif", "a.htm"],
    ["B2", 'Apple "Gala"', "2.5", "a.gif", "a.htm"],
    ["<b>C3</b>", 'Apple "Gala"', "1.25", "a.gif", "a.htm"]], f"table rows {rows}")
check(len(rows) == 4 and "&lt;b&gt;C3&lt;/b&gt;,Apple &quot;Gala&quot;,1.25,a.gif,a.htm," in rows[3]["toolTip"]
      and "<b>" not in rows[3]["toolTip"], f"tool tip of the added row: {rows[3:]}")

g = load("generated.json")
form2 = g.get("Form2", {})
check(g["orderMode"] == "online", f"orderMode {g['orderMode']!r}")
check(form2.get("List1", {}).get("items") == [header, 'A1,Apple "Gala",1.25,a.gif,a.htm,', 'B2,Apple "Gala",2.5,a.gif,a.htm,'],
      f"Form2 list {form2.get('List1')}")
check(form2.get("Command5", {}).get("enabled") is True, "Save profile not enabled after Generate")
check(g.get("Form3", {}).get("Text2") == "<table id='shop'>" and g["Form3"]["visible"] is False, f"Form3 {g.get('Form3')}")
messages = [d["text"] for d in g["dialogs"] if d["kind"] == "message"]
check(len(messages) == 2 and "holds a comma" in messages[0] and "header line cannot be removed" in messages[1],
      f"messages {messages}")

site = os.path.join(work, "folder", "corner store")
files = sorted(os.listdir(site)) if os.path.isdir(site) else []
check(files == sorted(f"{p}corner store.{e}" for p, e in
                      (("f_", "htm"), ("m_", "htm"), ("l_", "htm"), ("b_", "htm"), ("form_", "htm"),
                       ("1_", "js"), ("2_", "js"), ("3_", "js"))), f"site files {files}")
script = open(os.path.join(site, "1_corner store.js"), "rb").read()
check(b'List[ 1] = new item("A1","Apple \\"Gala\\"",1.25,0,"a.gif","a.htm" )\r\n' in script, "item line 1 not as expected")
check(b"<table id='shop'>" in script, "edited table style not used")
check(b"authnet25" in open(os.path.join(site, "form_corner store.htm"), "rb").read(), "not the payment form")

p = load("preview.json")
check(p["WebBrowser1"]["visible"] and urllib.parse.unquote(p["WebBrowser1"]["url"]) == "file://" + site + "/f_corner store.htm",
      f"preview {p['WebBrowser1']}")
check(p["Form2"]["visible"] is False, "Preview did not hide the generator")
check(p["WebBrowser1"]["title"] == "CORNER STORE", f"title {p['WebBrowser1']['title']!r}")
c = load("closed.json")
check("Form2" not in c and "Form3" in c, "close control did not destroy Form2 alone")

saved = open(os.path.join(work, "saved.pro"), "rb").read().split(b"\r\n")
check(saved[:2] == [b"Corner Store", b"shop@example.com"] and b"[DATA]" in saved, f"saved profile {saved[:8]}")
out = open(os.path.join(work, "cli.out")).read()
cli_site = os.path.join(work, "cli", "corner store")
check(out == cli_site + "\n", f"sitegen printed {out!r}")
for name in files:
    check(open(os.path.join(site, name), "rb").read() == open(os.path.join(cli_site, name), "rb").read(),
          f"{name} differs between Generate and sitegen")
check(bad == 2 and "bad order mode" in open(os.path.join(work, "bad.err")).read(), f"bad order mode exit {bad}")

finish()
PY
