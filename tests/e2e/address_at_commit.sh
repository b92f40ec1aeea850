#!/usr/bin/env bash
# The address bar and status panel 1 follow Browser 1 as soon as a page
# commits: while a page with a slow image is still loading, the bar shows its
# address and panel 1 "Working..."; "Done" and the caption come with the load.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site"
printf '<html><head><title>First</title></head><body><p>first</p></body></html>' >"$site/first.htm"
printf '<html><head><title>Slow pictures</title></head><body><p>text</p><img src="/fault/slow?ms=6000"></body></html>' \
  >"$site/slow.htm"
start_home_site "$site"

run_window 120 "$work/folder" - <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/first.htm
wait-load WebBrowser1
navigate WebBrowser1 $base/slow.htm
wait 2500
dump $work/committed.json
wait-load WebBrowser1
dump $work/loaded.json
SCRIPT

python3 - "$work" "$base" <<'PY'
from checks import args, check, finish, load
slow = f"{args[0]}/slow.htm"
committed, loaded = load("committed", "loaded")
check(committed["WebBrowser1"]["busy"], "the slow page had finished loading before the first look")
check(committed["Combo2"]["text"] == slow, f"while loading the address bar holds {committed['Combo2']['text']!r}")
panel = committed["StatusBar1"]["panels"][0]["text"]
check(panel == "Working...", f"while loading panel 1 says {panel!r}")
check(committed["caption"] == "First", f"while loading the caption is {committed['caption']!r}")

check(loaded["Combo2"]["text"] == slow, f"loaded: address bar holds {loaded['Combo2']['text']!r}")
check(loaded["StatusBar1"]["panels"][0]["text"] == "Done", f"loaded: panel 1 {loaded['StatusBar1']['panels'][0]}")
check(loaded["caption"] == "Slow pictures", f"loaded: caption {loaded['caption']!r}")
finish()
PY
