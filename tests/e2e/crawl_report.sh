#!/usr/bin/env bash
# Harvests a generated site of 41 links (slow, never-answering, resetting, huge,
# hostile and script-built pages among them), finds a keyword, answers Yes to
# the report, and checks the report in Browser 1 and the saved report file.
# QUORVANE_E2E_HIDDEN_ENGINE picks WebBrowser2's engine (default text).
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

# Start-up sends Browser 1 to the next home page; let it land first.
run_window 200 "$work/folder" - --hidden-engine "${QUORVANE_E2E_HIDDEN_ENGINE:-text}" <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/gen/index.htm?n=35&faults=1
wait-load WebBrowser1
menu getlinks
dump $work/harvest.json
type Combo1 quorvanekey
key Combo1 Enter
answer yes
answer no
menu readit
wait-idle 120000
dump $work/report.json
answer file $work/report.htm
menu savereport
SCRIPT

python3 - "$work" "$base" "${QUORVANE_E2E_HIDDEN_ENGINE:-text}" <<'PY'
import os
from checks import args, check, finish, load, work

base, engine = args
harvest, dump = load("harvest", "report")

links = harvest["listlinks"]["items"]
check(len(links) == 41, f"harvested {len(links)} links, expected 41")

# Pages 0, 3, ..., 33 and the hostile page hold the keyword.
found = [f"{base}/gen/page/{i}.htm?kb=2" for i in range(0, 35, 3)]
hostile = [l for l in links if "/gen/hostile" in l]
check(len(hostile) == 1, f"no hostile link among {links}")
found += hostile
found.append(f"{base}/gen/scripted.htm")
check(sorted(dump["List1"]["items"], key=str.casefold) == sorted(found, key=str.casefold),
      f"found pages {dump['List1']['items']} != {found}")
questions = [d for d in dump["dialogs"] if d["title"] == "Would You Like to see a report?"]
check(len(questions) == 1 and questions[0]["answer"] == "yes"
      and questions[0]["text"].startswith(f"Found {len(found)} links with Your Keywords."), f"report question {questions}")
# The never-answering page was dropped and the run ended.
check(dump["keywordMode"] == 0, "the report run did not end")
check(dump["List4"]["items"] == [] and dump["listlinks"]["items"] == [], "pages left unread")
for t in ("Timer3", "Timer4", "Timer5", "Timer6", "Timer7"):
    check(not dump[t]["enabled"], f"{t} still enabled")

rows = dump["List3"]["items"]
titles = [r for r in rows if "bgcolor='#FFFF00'" in r]
check(len(titles) == len(found), f"{len(titles)} title rows for {len(found)} pages")
for i in range(0, 35, 3):
    check(any(f">Page {i}</a>" in r for r in titles), f"no title row for page {i}")
check(sum("<tr><td><p>Trade your links with us: quorvanekey.</p></td></tr>" == r for r in rows) == 12,
      "paragraph rows missing")
# Only an engine that runs the page's script sees the paragraph it builds.
scripted = "<tr><td><p>Built by script: quorvanekey.</p></td></tr>" in rows
check(scripted == (engine == "webengine"), f"script-built paragraph row {'missing' if not scripted else 'present'} on {engine}")
# Hostile text shows as text: no markup of the page survives in any row.
for r in rows:
    for bad in ("<script", "<img src=x", "'onmouseover", "hostile'x"):
        check(bad not in r, f"row {r!r} holds {bad!r}")
check(any(">&lt;script&gt;document.title='PWNED'&lt;/script&gt;</a>" in r for r in rows), "hostile title row missing")
check(dump["WebBrowser1"]["title"] != "PWNED", "a script of the hostile page ran in Browser 1")
check(dump["WebBrowser1"]["url"] == "about:blank", f"report not shown in Browser 1: {dump['WebBrowser1']['url']}")

expected = ("<html>\r\n\r\n<title>Report</title><body>" + "".join(rows) + "</body>\r\n</html>\r\n").encode("ascii", "xmlcharrefreplace")
path = os.path.join(work, "report.htm")
check(os.path.exists(path) and open(path, "rb").read() == expected, "saved report differs from the rows")

finish()
PY
