#!/usr/bin/env bash
# Find keywords over 60 generated pages writes one live row per found page into
# Browser 1, appended as the pages come in: Save As then writes exactly those
# rows. A dump taken on the turn after the report question, before the window
# has redrawn, reads the same state as one taken a second later.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

run_window 120 "$work/folder" - >"$work/out.txt" <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/gen/index.htm?n=60
wait-load WebBrowser1
menu getlinks
type Combo1 quorvanekey
key Combo1 Enter
answer no
mark search
menu readit
wait-message 60000
mark found
dump $work/at-once.json
wait 1000
dump $work/later.json
answer file $work/rows.htm
menu save_file
SCRIPT

python3 - "$work" "$base" <<'PY'
import os, re
from checks import args, check, finish, load, work

base = args[0]
marks = dict(line.split()[1:3] for line in open(os.path.join(work, "out.txt")) if line.startswith("mark "))
check(set(marks) == {"search", "found"} and float(marks["found"]) >= float(marks["search"]), f"marks {marks}")

found = sorted((f"{base}/gen/page/{i}.htm?kb=2" for i in range(0, 60, 3)), key=str.casefold)
at_once, later = load("at-once", "later")
check(at_once["List1"]["items"] == found, f"found pages {at_once['List1']['items']}")
check(at_once["listlinks"]["items"] == found, "the found pages did not replace the links list")
questions = [d for d in at_once["dialogs"] if d["title"] == "Would You Like to see a report?"]
check(len(questions) == 1 and questions[0]["text"].startswith("Found 20 links"), f"report question {questions}")
for key in ("List1", "listlinks", "StatusBar1", "Combo1", "keywordMode"):
    check(at_once[key] == later[key], f"{key} changed after the dump taken at once: {at_once[key]} -> {later[key]}")

rows = open(os.path.join(work, "rows.htm"), encoding="utf-8").read() if os.path.exists(os.path.join(work, "rows.htm")) else ""
row = re.compile(r"<font face='Arial'><small><a href='([^']*)'>\1</a></small></font><br>")
written = row.findall(rows)
check(row.sub("", rows) == "", f"more than rows written: {row.sub('', rows)[:200]!r}")
check(sorted(written, key=str.casefold) == found, f"rows for {written}")
finish()
PY
