#!/usr/bin/env bash
# Kills the program with SIGKILL in the middle of a keyword search, starts it
# again, answers Yes to the restore question and to going on with the search,
# and checks that the lists came back, every keyword page is found in the end,
# and no page was read twice but those in flight at the kill.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

mkdir "$work/folder" "$work/state"
args=(--program-folder "$work/folder" --state-folder "$work/state" --home-site "$hostport"
  --translation-host "$hostport")

# 24 pages answering after 2.5 s each, four at a time: a batch ends every 2.5 s.
# The kill falls 4.2 s after the search began, while the second batch is read
# and more than a journal tick after the first batch ended.
cat >"$work/first.txt" <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/gen/index.htm?n=24&ms=2500
wait-load WebBrowser1
menu getlinks
type Combo1 quorvanekey
key Combo1 Enter
menu readit
wait 3000
dump $work/before.json
wait 60000
SCRIPT
"$quorvane" "${args[@]}" --script "$work/first.txt" &
pid=$!
for _ in $(seq 300); do [ -s "$work/before.json" ] && break; sleep 0.1; done
sleep 1.2
kill -9 "$pid"
wait "$pid" 2>/dev/null || true

cat >"$work/second.txt" <<SCRIPT
answer yes
dump $work/restored.json
answer yes
answer no
menu readit
wait-idle 60000
dump $work/after.json
SCRIPT
timeout 120 "$quorvane" "${args[@]}" --script "$work/second.txt"
curl -sf "$base/gen/hits" >"$work/hits.txt"

python3 - "$work" "$base" <<'PY'
import os, re
from checks import args, check, finish, load, work

base = args[0]
before, restored, after = load("before", "restored", "after")
items = lambda dump, name: dump[name]["items"]

questions = [d for d in restored["dialogs"] if d["kind"] == "question"]
check(questions and questions[0]["answer"] == "yes", f"no restore question: {restored['dialogs']}")
if questions:
    m = re.fullmatch(r"Quorvane did not close properly\. Restore the previous session\? \((\d+) links, (\d+) found "
                     r"pages, (\d+) pages left to read, (\d+) pictures, (\d+) catalogs\)", questions[0]["text"])
    check(m is not None, f"question text {questions[0]['text']!r}")
    if m:
        check(int(m.group(2)) == len(items(restored, "List1")), "found-pages count of the question")

# Nothing of the journal's last second before the kill is older than the dump.
check(set(items(before, "List1")) <= set(items(restored, "List1")), "found pages lost")
check(items(restored, "Combo1") == ["quorvanekey"], f"keyword box {items(restored, 'Combo1')}")
check(set(items(before, "List3")) <= set(items(restored, "List3")), "link rows lost")
pages = {f"{base}/gen/page/{i}.htm?kb=2&ms=2500" for i in range(24)}
left = set(items(restored, "listlinks"))
check(left and left <= pages, f"links left {sorted(left)}")

found = sorted(f"{base}/gen/page/{i}.htm?kb=2&ms=2500" for i in range(0, 24, 3))
resume = [d for d in after["dialogs"] if d["text"].startswith("Go on with the ")]
check(resume and resume[0]["answer"] == "yes", f"no offer to go on: {after['dialogs']}")
check(sorted(items(after, "List1")) == found, f"found {items(after, 'List1')} != {found}")
hits = dict(map(int, line.split()) for line in open(os.path.join(work, "hits.txt")) if line.strip())
check(sorted(hits) == list(range(24)), f"pages read: {sorted(hits)}")
twice = [page for page, count in hits.items() if count > 1]
check(len(twice) <= 4, f"read again after the restart: {twice}")
finish(f"restored after kill -9; read again: {len(twice)} pages")
PY
