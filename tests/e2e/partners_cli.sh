#!/usr/bin/env bash
# "quorvane partners" on the command line against the test server's partner
# site: import with bad lines, a check with every verdict, the script-only
# verdict through the web engine with no display, sharded runs whose
# merged results equal one run, and a kill -9 in the middle of a run.
# Arguments: QUORVANE_BIN TESTSERVER_BIN SOURCE_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
start_home_site

fail() { echo "FAIL: $*"; exit 1; }
partners() { "$quorvane" partners "$@"; }
p="$base/partners/p"

# ---- import: bad lines are named, the rest goes in ----
pf=$work/one
partners sites mysite.example --program-folder "$pf" >/dev/null
{
  printf '\xef\xbb\xbfpage,site,anchor,status,note\r\n'
  for name in live removed nofollow sponsored anchor noindex xrobots robots redirect offsite 404 410 parked soft404 \
              script flaky ratelimited hang huge hostile; do
    printf '%s/%s,,My Site,agreed,\r\n' "$p" "$name"
  done
  printf 'javascript:alert(1),,,,\r\n'                  # line 22: no web address
  printf '%s/other,my site,,,\r\n' "$p"                 # line 23: no host
  printf '%s/other2,,,bogus,\r\n' "$p"                  # line 24: no such status
  printf '%s/formula,,,,"=HYPERLINK(""http://evil.example"")"\r\n' "$p"
  printf '%s/nul,,,,a\0b\r\n' "$p"
} >"$work/list.csv"
status=0
partners import "$work/list.csv" --program-folder "$pf" >"$work/import.out" 2>"$work/import.err" || status=$?
[ "$status" -eq 1 ] || fail "import: exit code $status"
for line in 22 23 24; do
  grep -q "list.csv:$line: " "$work/import.err" || fail "import: line $line not named: $(cat "$work/import.err")"
done
grep -q '^22 partners added' "$work/import.out" || fail "import: $(cat "$work/import.out")"

# ---- a check: every verdict, one CSV ----
status=0
partners check --csv "$work/check.csv" --timeout 2 --program-folder "$pf" >"$work/check.out" 2>"$work/check.err" || status=$?
[ "$status" -eq 3 ] || fail "check: exit code $status ($(cat "$work/check.err"))"
python3 - "$work/check.csv" "$p" "$(cat "$work/check.out")" <<'PY'
import csv, sys
from checks import check, finish
path, base, summary = sys.argv[1:]
raw = open(path, 'rb').read()
check(raw.startswith(b'\xef\xbb\xbf'), 'no byte order mark')
rows = list(csv.DictReader(open(path, encoding='utf-8-sig', newline='')))
header = open(path, encoding='utf-8-sig').readline().strip().split(',')
check(header[:10] == ['page', 'verdict', 'since', 'http_status', 'final_address', 'link_found', 'rel',
                      'anchor_text', 'robots', 'checked_at'], 'columns: %s' % header[:10])
verdicts = {r['page'].rsplit('/', 1)[1]: r for r in rows}
expected = {
    'live': 'live', 'removed': 'missing', 'nofollow': 'not-followed', 'sponsored': 'not-followed',
    'anchor': 'anchor-changed', 'noindex': 'blocked', 'xrobots': 'blocked', 'robots': 'blocked',
    'redirect': 'live', 'offsite': 'moved', '404': 'gone', '410': 'gone', 'parked': 'parked',
    'soft404': 'soft-404', 'script': 'missing', 'flaky': 'live', 'ratelimited': 'live',
    'hang': 'unreachable', 'huge': 'live', 'hostile': 'anchor-changed', 'formula': 'live', 'nul': 'live',
}
for name, verdict in expected.items():
    got = verdicts.get(name, {}).get('verdict')
    check(got == verdict, '%s: %s, expected %s' % (name, got, verdict))
check(verdicts['sponsored']['rel'] == 'sponsored', 'sponsored rel: %r' % verdicts['sponsored']['rel'])
check(verdicts['redirect']['final_address'].endswith('/redirect-moved'), 'redirect chain end')
check('<script>' in verdicts['hostile']['anchor_text'], 'hostile anchor kept as text')
check(verdicts['formula']['note'].startswith("'="), 'formula cell not guarded: %r' % verdicts['formula']['note'])
check(verdicts['hang']['link_found'] == 'no' and verdicts['hang']['http_status'] == '', 'hang row')
check(summary.startswith('7 live'), 'summary: %s' % summary)
finish()
PY

# ---- with the web-engine reader: a link only the page's script writes ----
sf=$work/scripted
partners sites mysite.example --program-folder "$sf" >/dev/null
printf 'page\r\n%s/script\r\n%s/live\r\n' "$p" "$p" >"$work/scripted.csv"
partners import "$work/scripted.csv" --program-folder "$sf" >/dev/null
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$quorvane" partners check --hidden-engine webengine \
  --csv "$work/scripted-out.csv" --timeout 10 --program-folder "$sf" >"$work/scripted.out" 2>"$work/scripted.err" \
  || status=$?
[ "$status" -eq 3 ] || fail "check --hidden-engine webengine: exit code $status ($(cat "$work/scripted.err"))"
python3 - "$work/scripted-out.csv" <<'PY'
import csv, sys
from checks import check, finish
verdicts = {r['page'].rsplit('/', 1)[1]: r['verdict'] for r in csv.DictReader(open(sys.argv[1], encoding='utf-8-sig'))}
check(verdicts == {'script': 'script-only', 'live': 'live'}, 'verdicts: %s' % verdicts)
finish()
PY

# ---- shards: three machines' results merged equal one run ----
{
  printf 'page,site,anchor\r\n'
  for k in $(seq 0 29); do printf '%s/partners/gen/%s,,\r\n' "$base" "$k"; done
  for name in nofollow 404 parked anchor robots offsite; do printf '%s/%s,,Cheap Widgets\r\n' "$p" "$name"; done
} >"$work/stable.csv"
for folder in whole s0 s1 s2 merged; do
  partners sites mysite.example --program-folder "$work/$folder" >/dev/null
  partners import "$work/stable.csv" --program-folder "$work/$folder" >/dev/null
done
partners check --csv "$work/whole.csv" --program-folder "$work/whole" >/dev/null || true
for k in 0 1 2; do
  partners check --shard "$k/3" --csv "$work/s$k.csv" --program-folder "$work/s$k" >/dev/null || true
  partners import --results "$work/s$k.csv" --program-folder "$work/merged" >/dev/null
done
partners export "$work/whole-export.csv" --program-folder "$work/whole" >/dev/null
partners export "$work/merged-export.csv" --program-folder "$work/merged" >/dev/null
python3 - "$work" <<'PY'
import csv, sys
from checks import check, finish
work = sys.argv[1]
def rows(name):
    keep = ['page', 'verdict', 'http_status', 'final_address', 'link_found', 'rel', 'anchor_text', 'robots', 'lost']
    return sorted(tuple(r[k] for k in keep) for r in csv.DictReader(open('%s/%s' % (work, name), encoding='utf-8-sig')))
shards = [set(r[0] for r in rows('s%d.csv' % k)) for k in range(3)]
check(sum(len(s) for s in shards) == 36 and len(set().union(*shards)) == 36, 'shards not disjoint or incomplete')
check(all(shards), 'an empty shard: %s' % [len(s) for s in shards])
check(rows('whole-export.csv') == rows('merged-export.csv'), 'merged shards differ from one run')
finish()
PY

# ---- kill -9 in the middle of a run: the database stays whole ----
kf=$work/killed
partners sites mysite.example --program-folder "$kf" >/dev/null
{ printf 'page\r\n'; for k in $(seq 1 40); do printf '%s/fault/slow?ms=250&n=%s\r\n' "$base" "$k"; done; } >"$work/slow.csv"
partners import "$work/slow.csv" --program-folder "$kf" >/dev/null
partners check --program-folder "$kf" >/dev/null 2>&1 &
run=$!
sleep 3
kill -9 "$run"
wait "$run" 2>/dev/null || true
python3 - "$kf/partners.sqlite" <<'PY'
import sqlite3, sys
from checks import check, finish
db = sqlite3.connect(sys.argv[1])
check(db.execute('PRAGMA integrity_check').fetchone()[0] == 'ok', 'integrity')
checks = db.execute('SELECT COUNT(*) FROM checks').fetchone()[0]
check(0 < checks < 40, 'checks stored before the kill: %d' % checks)
orphans = db.execute('SELECT COUNT(*) FROM checks WHERE partner_id NOT IN (SELECT id FROM partners)').fetchone()[0]
check(orphans == 0, 'checks without partners')
stale = db.execute('SELECT COUNT(*) FROM partners p WHERE last_checked_at != '
                   '(SELECT COALESCE(MAX(checked_at), 0) FROM checks c WHERE c.partner_id = p.id)').fetchone()[0]
check(stale == 0, 'partners out of step with their checks: %d' % stale)
finish()
PY
status=0
partners export "$work/after-kill.csv" --program-folder "$kf" >/dev/null || status=$?
[ "$status" -eq 0 ] || fail "export after kill: exit code $status"

# ---- unusable database and bad usage: exit code 2 ----
mkdir -p "$work/broken"
head -c 4096 /dev/urandom >"$work/broken/partners.sqlite"
for args in "check --program-folder $work/broken" "check --shard 3/3" "import" "frobnicate"; do
  status=0
  # shellcheck disable=SC2086
  partners $args >/dev/null 2>"$work/err.txt" || status=$?
  [ "$status" -eq 2 ] || fail "$args: exit code $status"
done
echo "partners command line: ok"
