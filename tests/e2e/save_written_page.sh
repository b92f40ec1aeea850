#!/usr/bin/env bash
# Save As saves what each view shows, in Browser 1 and in Browser 2: an
# ordinary page through the engine (one HTML file or a web archive, by the
# name), a page the program wrote (the links report, a catalog) as it stands.
# A save that cannot be written says so, naming the file and the reason.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site"
printf '<html><head><title>Links</title></head><body><a href="a.htm">Tom &amp; Jerry</a></body></html>' >"$site/page.htm"
printf '<html><head><title>Second</title></head><body><p>second view page</p></body></html>' >"$site/second.htm"
start_home_site "$site"
# A folder that cannot be made: its parent is a file.
printf 'not a folder' >"$work/afile"
missing="$work/afile/folder"

run_window 120 "$work/folder" - <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/page.htm
wait-load WebBrowser1
answer file $work/plain.htm
menu save_file
# Asked for while the first is under way: the engine saves one after the other.
answer file $work/plain.mht
menu save_file
answer file $missing/plain.htm
menu save_file
wait 1500
menu getlinks
menu viewlinks
wait 1000
answer file $work/report.htm
menu save_file
answer file $missing/report.htm
menu save_file
press Picture23
navigate WebBrowser5 $base/second.htm
wait-load WebBrowser5
answer file $work/second.htm
menu save_file
wait 1500
menu viewcatalo
wait 1000
answer file $work/catalog.htm
menu save_file
answer file $missing/catalog.htm
menu save_file
dump $work/dump.json
SCRIPT

python3 - "$work" "$base" "$missing" <<'PY'
import os
from checks import args, check, finish, load, work
base, missing = args

def saved(name):
    path = os.path.join(work, name)
    return open(path, encoding="utf-8").read() if os.path.exists(path) else None

plain, second = saved("plain.htm"), saved("second.htm")
archive = saved("plain.mht")
check(archive is not None and "Jerry" in archive, f"Browser 1's page archived as: {archive and archive[:200]!r}")
check(plain is not None and "Tom &amp; Jerry" in plain, f"Browser 1's page saved as: {plain and plain[:200]!r}")
check(second is not None and "second view page" in second, f"Browser 2's page saved as: {second and second[:200]!r}")
report = saved("report.htm") or ""
check(f"{base}/a.htm" in report and "Tom &amp; Jerry" in report, f"report saved as: {report[:300]!r}")
catalog = saved("catalog.htm")
check(catalog == "<html><body></body></html>", f"Browser 2's catalog saved as: {catalog!r}")

dump = load("dump")
check(dump["WebBrowser5"]["visible"], "Browser 2 was not the shown view")
messages = [d for d in dump["dialogs"] if d["kind"] == "message"]
for name in ("plain.htm", "report.htm", "catalog.htm"):
    prefix = f"Cannot save {missing}/{name}: "
    found = [m for m in messages if m["text"].startswith(prefix)]
    check(len(found) == 1, f"{name}: no single message for the failed save: {[m['text'] for m in messages]}")
    check(all(len(m["text"]) > len(prefix) and m["title"] == "Warning!!!" for m in found),
          f"{name}: the message gives no reason: {found}")
check(len(messages) == 3, f"messages: {[m['text'] for m in messages]}")
finish()
PY
