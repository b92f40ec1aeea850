#!/usr/bin/env bash
# The Partners window driven by a script: partners added (typed, from the
# address bar and from the report rows), checked twice with
# the partner site changed between the runs, filtered, opened in Browser 1,
# removed and brought back; the database keeps it all for the command line.
# Arguments: QUORVANE_BIN TESTSERVER_BIN SOURCE_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
start_home_site
p="$base/partners/p"

cat >"$work/script.txt" <<SCRIPT
# Start-up loads pages of the home site into the views first.
wait-idle 30000
partners open
partners sites mysite.example
partners add $p/live
partners add $p/nofollow
partners add $p/404
partners add $p/hostile
navigate WebBrowser1 $p/parked
wait-load WebBrowser1
answer no
menu addlink
menu addreportpartners
type Combo2 $p/sponsored
menu addpartner
partners check all
partners wait 60000
dump $work/first.json
navigate WebBrowser2 $base/partners/set?page=live&state=removed
wait-load WebBrowser2
partners check all
partners wait 60000
partners filter verdict missing
partners dblclick 0
wait-load WebBrowser1
partners filter verdict all
partners select 1
partners remove
dump $work/removed.json
partners undo
partners select 0
partners edit status refused
dump $work/second.json
SCRIPT
timeout 120 "$quorvane" --program-folder "$work/pf" --home-site "$hostport" --script "$work/script.txt"

python3 - "$work" "$p" <<'PY'
import json, sys
from checks import check, finish
work, p = sys.argv[1:]
first = json.load(open(work + '/first.json'))['Partners']
verdicts = {r['page'].rsplit('/', 1)[1]: r['verdict'] for r in first['rows']}
check(verdicts == {'live': 'live', 'nofollow': 'not-followed', '404': 'gone', 'hostile': 'live',
                   'sponsored': 'not-followed', 'parked': 'parked'}, 'first run: %s' % verdicts)
check(first['summary'] == '2 live, 2 not followed, 1 parked, 1 gone', 'summary: %s' % first['summary'])
check(first['sites'] == ['mysite.example'], 'sites: %s' % first['sites'])

removed = json.load(open(work + '/removed.json'))['Partners']
check(len(removed['rows']) == 5 and removed['canUndo'], 'remove: %d rows' % len(removed['rows']))

dump = json.load(open(work + '/second.json'))
second = dump['Partners']
rows = {r['page'].rsplit('/', 1)[1]: r for r in second['rows']}
check(len(rows) == 6 and not second['canUndo'], 'undo: %d rows' % len(rows))
check(rows['live']['verdict'] == 'missing' and rows['live']['changed'], 'second run: %s' % rows['live'])
check(not rows['nofollow']['changed'], 'an unchanged verdict shows as changed')
check(rows['live']['status'] == 'refused', 'edit: %s' % rows['live']['status'])
check(dump['WebBrowser1']['url'] == p + '/live', 'opened page: %s' % dump['WebBrowser1']['url'])
finish()
PY

# With the hidden readers on the web engine, a link that only the page's
# script writes is told apart from a missing one.
cat >"$work/webengine.txt" <<SCRIPT
partners sites mysite.example
partners add $p/script
partners add $p/removed
partners check all
partners wait 60000
dump $work/webengine.json
SCRIPT
timeout 120 "$quorvane" --program-folder "$work/pf2" --home-site "$hostport" --hidden-engine webengine \
  --script "$work/webengine.txt"
python3 - "$work" <<'PY'
import json, sys
from checks import check, finish
rows = json.load(open(sys.argv[1] + '/webengine.json'))['Partners']['rows']
verdicts = {r['page'].rsplit('/', 1)[1]: r['verdict'] for r in rows}
check(verdicts == {'script': 'script-only', 'removed': 'missing'}, 'web engine run: %s' % verdicts)
finish()
PY

# The window's database is the command line's.
"$quorvane" partners export "$work/out.csv" --program-folder "$work/pf" >/dev/null
grep -q "$p/live,missing," "$work/out.csv" || { echo "FAIL: export: $(cat "$work/out.csv")"; exit 1; }
echo "partners window: ok"
