#!/usr/bin/env bash
# The widget paths the automation drives: the address bar, the keyword box and
# a toolbar button reach the logic; a failing command stops the script with
# "script:LINE:" and exit code 1, yet the shutdown still writes the lists.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

start_home_site
url=$base/samples/frames.htm

cat >"$work/script.txt" <<SCRIPT
wait-idle 30000   # start-up's first home page
open $url   # through the address bar
wait-load WebBrowser1
type Combo1 shoes
key Combo1 Enter
type Combo1 boots
key Combo1 Enter
type Combo1 shoes
key Combo1 Delete
press Picture241
dump $work/dump.json
SCRIPT
timeout 60 "$quorvane" --program-folder "$work/folder" --home-site "${base#http://}" --script "$work/script.txt"

python3 - "$work" "$url" <<'PY'
import os
from checks import args, check, finish, load, work
url, d = args[0], load("dump")
check(d["Combo2"]["text"] == url and d["Combo2"]["items"] == [url], f"address bar: {d['Combo2']}")
check(d["WebBrowser1"]["url"] == url, f"browser shows {d['WebBrowser1']['url']}")
check(d["Combo1"]["items"] == ["boots"], f"keyword box: Enter files and Delete removes, got {d['Combo1']}")
links = d["listlinks"]["items"]
check(len(links) > 0 and sorted(links) == sorted(d["List7"]["items"]), f"toolbar harvest: {links}")
lb = open(os.path.join(work, "folder", "lb.prv"), "rb").read()
check(lb == b'"' + url.encode() + b'\r\n"\r\n', f"lb.prv holds {lb!r}")
finish()
PY

# A failing line: reported with its number, later lines skipped, shutdown as usual.
printf 'wait 1\n\nmenu nosuch\ndump %s/late.json\n' "$work" >"$work/bad.txt"
rm -rf "$work/folder2"
status=0
timeout 60 "$quorvane" --program-folder "$work/folder2" --home-site "${base#http://}" --script "$work/bad.txt" \
  2>"$work/err.txt" || status=$?
[ "$status" -eq 1 ] || { echo "FAIL: exit code $status"; exit 1; }
grep -q '^script:3: unknown menu entry "nosuch"' "$work/err.txt" || { echo "FAIL: stderr: $(grep script: "$work/err.txt")"; exit 1; }
[ ! -e "$work/late.json" ] || { echo "FAIL: the line after the failure ran"; exit 1; }
[ -f "$work/folder2/lb.prv" ] || { echo "FAIL: no shutdown after the failure"; exit 1; }
