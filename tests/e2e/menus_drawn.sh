#!/usr/bin/env bash
# Every menu entry the window shows is drawn where its menu lays it out, and
# none it hides: separators included, the trailing one of the Go menu too.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site
run_window 120 "$work/folder" - <<SCRIPT
wait-idle
dump $work/dump.json
SCRIPT

python3 - "$work" <<'PY'
from checks import check, finish, load
entries = load("dump")["menuEntries"]
for name in ("www", "rrr", "fff", "hhh", "hhhh", "jjjj", "yyy", "uuu", "ppp"):
    check(entries[name]["caption"] == "-" and entries[name]["drawn"], f"separator {name} is not drawn: {entries[name]}")
for name, entry in entries.items():
    check(entry["drawn"] == entry["visible"], f"{name}: visible {entry['visible']} but drawn {entry['drawn']}")
finish()
PY
