#!/usr/bin/env bash
# Edit > Preferences writes the settings file the next start reads: a bad
# HOST[:PORT] is refused in the dialog with nothing written, good values are
# written (other keys kept), and the next start uses them.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
start_home_site

mkdir -p "$work/config/Quorvane"
settings=$work/config/Quorvane/quorvane.ini
printf 'programFolder=%s\npoliteDelay=5\n' "$work/folder" >"$settings"

cat >"$work/script.txt" <<SCRIPT
menu preferences
type Preferences.homeSite bad host!
type Preferences.calculatorProgram xcalc -rpn
click Preferences.restoreAfterNormalExit
click Preferences.OK
dump $work/refused.json
type Preferences.homeSite $hostport
type Preferences.hiddenEngine webengine
screenshot $work/preferences.png
click Preferences.OK
dump $work/saved.json
SCRIPT
timeout 60 "$quorvane" --home-site 127.0.0.1:9 --script "$work/script.txt"
cp "$settings" "$work/after.ini"
printf 'wait-load WebBrowser5 20000\ndump %s/next.json\n' "$work" >"$work/next.txt"
timeout 60 "$quorvane" --script "$work/next.txt"

python3 - "$work" "$hostport" <<'PY'
import configparser, os
from checks import args, check, finish, load, work
hostport = args[0]
refused, saved, nxt = load("refused", "saved", "next")
prefs = refused.get("Preferences", {})
check(prefs.get("visible") and "Home site" in prefs.get("error", "") and "HOST[:PORT]" in prefs["error"],
      f"bad home site not refused in the dialog: {prefs}")
check(prefs.get("values", {}).get("calculatorProgram") == "xcalc -rpn", "typed values lost on a refusal")
check(not saved.get("Preferences", {}).get("visible"), "dialog still open after a good OK")
ini = configparser.ConfigParser()
ini.read(os.path.join(work, "after.ini"))
general = ini["General"]
check(general.get("homesite") == hostport, f"homeSite written: {dict(general)}")
check(general.get("calculatorprogram") == "xcalc -rpn" and general.get("hiddenengine") == "webengine",
      f"values written: {dict(general)}")
check(general.get("restoreafternormalexit") == "true", "restore flag not written")
check(general.get("politedelay") == "5", "another key of the file was lost")
check(nxt["WebBrowser5"]["url"] == f"http://{hostport}/welcome.htm", f"next start used {nxt['WebBrowser5']['url']}")
check(os.path.getsize(os.path.join(work, "preferences.png")) > 0, "no screenshot of the dialog")
finish()
PY
