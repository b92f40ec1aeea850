#!/usr/bin/env bash
# Save As on a page the program wrote (the links report) writes that page as
# it stands; a save that cannot be written says so. An ordinary page still
# saves through the engine.
# Arguments: QUORVANE_BIN TESTSERVER_BIN SOURCE_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site" "$work/folder"
printf '<html><head><title>Links</title></head><body><a href="a.htm">Tom &amp; Jerry</a></body></html>' >"$site/page.htm"
start_home_site "$site"

cat >"$work/script.txt" <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/page.htm
wait-load WebBrowser1
answer file $work/plain.htm
menu save_file
wait 1500
menu getlinks
menu viewlinks
wait 1000
answer file $work/report.htm
menu save_file
answer file $work/no/such/folder/report.htm
menu save_file
dump $work/dump.json
SCRIPT
timeout 120 "$quorvane" --program-folder "$work/folder" --home-site "$hostport" \
  --translation-host "$hostport" --script "$work/script.txt"

python3 - "$work" "$base" <<'PY'
import json, os, sys
from checks import check, finish
work, base = sys.argv[1:3]
report = open(os.path.join(work, "report.htm"), encoding="utf-8").read() if os.path.exists(os.path.join(work, "report.htm")) else ""
check(f"{base}/a.htm" in report and "Tom &amp; Jerry" in report, f"report saved as: {report[:300]!r}")
check(os.path.exists(os.path.join(work, "plain.htm")), "the ordinary page was not saved")
dump = json.load(open(os.path.join(work, "dump.json"), encoding="utf-8"))
messages = [d["text"] for d in dump["dialogs"] if d["kind"] == "message"]
check(any(m.startswith("Cannot save ") and "no/such/folder" in m for m in messages), f"no message for the failed save: {messages}")
finish()
PY
