#!/usr/bin/env bash
# Crash trials for the session journal: a measurement, not a test.
#
# Each crash trial runs a scripted session of about 2,000 links (harvest of a
# generated index, address-bar entries, a favorite, pictures into the image
# buffer, a catalog entry, a keyword search over slow pages) that dumps the
# window state about every 250 ms, kills the program with SIGKILL at a random
# moment, starts it again answering Yes to the restore question, and compares
# what came back with the last dump taken at least a second before the kill.
# Each shutdown trial kills the program while it saves at its normal close and
# checks that every list file holds its old or its new content, never a torn
# one, and that the journal is intact.
#
# Usage: bench/crash_trials.sh [BUILD_DIR] [--trials N] [--shutdown-trials N]
#                              [--plan P] [--links N] [--ms M] [--keep DIR]
# BUILD_DIR defaults to build. The plan number (the start of the random
# numbers) is printed; the same plan gives the same kill moments. Exit code 0 when no item went missing, no file was torn
# and every journal passed its check, else 1.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$source_dir/build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  build=$1
  shift
fi
[ -x "$build/quorvane" ] && [ -x "$build/quorvane-testserver" ] \
  || { echo "no quorvane build in $build" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
exec python3 - "$build" "$source_dir" "$@" <<'PY'
import argparse, json, os, random, re, shutil, signal, sqlite3, subprocess, sys, tempfile, time, urllib.request

build, source_dir = sys.argv[1:3]
parser = argparse.ArgumentParser(prog="crash_trials.sh")
parser.add_argument("--trials", type=int, default=20)
parser.add_argument("--shutdown-trials", type=int, default=8)
parser.add_argument("--plan", type=int, default=None, help="start of the random kill moments")
parser.add_argument("--links", type=int, default=2000)
parser.add_argument("--ms", type=int, default=20, help="delay of each generated page")
parser.add_argument("--keep", default=None, help="keep the trials' folders here")
args = parser.parse_args(sys.argv[3:])
plan = args.plan if args.plan is not None else int(time.time()) % 100000
rng = random.Random(plan)
print(f"plan {plan}: {args.trials} crash trials, {args.shutdown_trials} shutdown trials, "
      f"{args.links} links, pages {args.ms} ms late", flush=True)

quorvane = os.path.join(build, "quorvane")
testserver = os.path.join(build, "quorvane-testserver")
work = args.keep or tempfile.mkdtemp(prefix="quorvane-crash-")
os.makedirs(work, exist_ok=True)

# The bundled home site plus a page with a link whose click the page cancels,
# so that a double click on it fills a catalog and the page stays.
site = os.path.join(work, "site")
if not os.path.isdir(site):
    shutil.copytree(os.path.join(source_dir, "homesite"), site)
    with open(os.path.join(site, "catalog.htm"), "w") as f:
        f.write('<html><body><a id="pick" href="/gen/pic9999.jpg" onclick="return false">pick</a></body></html>\n')

COMPARED = ["listlinks", "List1", "List2", "List3", "List4", "Combo2", "favorit2", "domain2", "catalogs"]
LIST_FILES = ["lb.prv", "domain.prv", "domain2.txt", "favor.prv", "favor2.txt", "list6.prv"]
QUESTION = re.compile(r"Quorvane did not close properly\. Restore the previous session\?")


class Server:
    def __init__(self):
        self.out = open(os.path.join(work, "server.out"), "w+")
        self.proc = subprocess.Popen([testserver, "--root", site, "--port", "0"], stdout=self.out,
                                     stderr=subprocess.STDOUT)
        for _ in range(100):
            self.out.seek(0)
            m = re.search(r"^listening on (http://\S+)", self.out.read(), re.M)
            if m:
                self.base = m.group(1)
                self.hostport = self.base[len("http://"):]
                return
            time.sleep(0.05)
        raise SystemExit("test server did not start")

    def hits(self):
        text = urllib.request.urlopen(self.base + "/gen/hits").read().decode()
        return {int(a): int(b) for a, b in (line.split() for line in text.splitlines() if line.strip())}

    def stop(self):
        self.proc.kill()
        self.proc.wait()
        self.out.close()


def program(folder, state, server, script):
    cmd = [quorvane, "--program-folder", folder, "--state-folder", state, "--home-site", server.hostport,
           "--translation-host", server.hostport, "--script", script]
    log = open(script + ".log", "w")
    # A group of its own: after the kill, the engine's helper processes are ended with it.
    return subprocess.Popen(cmd, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)


def kill(proc):
    try:
        proc.send_signal(signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def finish(proc, timeout=180):
    try:
        return proc.wait(timeout)
    except subprocess.TimeoutExpired:
        kill(proc)
        return "timeout"


def load(path):
    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def items(dump, name):
    if name == "catalogs":
        # A catalog grows by picture tags: each tag is one item.
        return [f"{k}:{tag}" for k, text in enumerate(dump["catalogs"]) for tag in re.findall(r"<img [^>]*>", text)]
    return dump[name]["items"]


def list_file_sound(data):
    # A double quote, items each ending in CR LF, a double quote, CR LF.
    if not (data.startswith(b'"') and data.endswith(b'"\r\n')) or len(data) < 4:
        return False
    inner = data[1:-3]
    return b'"' not in inner and (inner == b"" or inner.endswith(b"\r\n"))


def list_record(entries):
    return b'"' + b"".join(e.encode("utf-8") + b"\r\n" for e in entries) + b'"\r\n'


def journal_sound(folder):
    """PRAGMA integrity_check on a copy (opening the file itself would replay its log)."""
    db = os.path.join(folder, "session.db")
    if not os.path.exists(db):
        return "none"
    copy = tempfile.mkdtemp(dir=work)
    try:
        for suffix in ("", "-wal"):
            if os.path.exists(db + suffix):
                shutil.copy(db + suffix, os.path.join(copy, "session.db" + suffix))
        con = sqlite3.connect(os.path.join(copy, "session.db"))
        try:
            result = con.execute("PRAGMA integrity_check").fetchone()[0]
        finally:
            con.close()
        return "ok" if result == "ok" else result
    except sqlite3.Error as e:
        return f"error: {e}"
    finally:
        shutil.rmtree(copy, ignore_errors=True)


def files_sound(folder):
    bad = [n for n in LIST_FILES
           if os.path.exists(os.path.join(folder, n)) and not list_file_sound(open(os.path.join(folder, n), "rb").read())]
    return "ok" if not bad else "torn " + ",".join(bad)


def session_script(base, dumps, period_dumps):
    """The first run: the work, with a dump between its steps and every ~250 ms during the search."""
    n = iter(range(100000))
    dump = lambda: f"dump {dumps}/d{next(n):04d}.json\n"
    steps = [
        "wait-idle 30000",
        f"navigate WebBrowser1 {base}/gen/index.htm?n={args.links}&ms={args.ms}",
        "wait-load WebBrowser1",
        "menu getlinks",
        f"open {base}/gen/page/1.htm",
        "wait-load WebBrowser1",
        f"open {base}/gen/page/2.htm",
        "wait-load WebBrowser1",
        "menu add",
        f"open {base}/gen/page/4.htm",
        "wait-load WebBrowser1",
        f"navigate WebBrowser1 {base}/catalog.htm",
        "wait-load WebBrowser1",
        "type Combo1 shoes",
        "key Combo1 Enter",
        "click Combo1 0",
        "page-dblclick WebBrowser1 a#pick",
        "type Combo1 quorvanekey",
        "key Combo1 Enter",
        "menu readit",
    ]
    text = "".join(dump() + s + "\n" for s in steps)
    text += "".join(dump() + "wait 250\n" for _ in range(period_dumps))
    return text


def crash_trial(k, kill_after, period_dumps):
    trial = os.path.join(work, f"crash{k:02d}")
    shutil.rmtree(trial, ignore_errors=True)
    folder, state, dumps = (os.path.join(trial, d) for d in ("folder", "state", "dumps"))
    for d in (folder, state, dumps):
        os.makedirs(d)
    server = Server()
    try:
        script = os.path.join(trial, "first.txt")
        with open(script, "w") as f:
            f.write(session_script(server.base, dumps, period_dumps))
        proc = program(folder, state, server, script)
        started = time.time()
        time.sleep(kill_after)
        ended_early = proc.poll() is not None
        killed_at = time.time()
        kill(proc)
        hits = server.hits()
        after_kill = {"files": files_sound(folder), "journal": journal_sound(folder)}

        # The last dump taken at least a second before the kill.
        before, before_at = None, None
        for name in sorted(os.listdir(dumps), reverse=True):
            path = os.path.join(dumps, name)
            at = os.stat(path).st_mtime
            if at <= killed_at - 1.0:
                before = load(path)
                if before is not None:
                    before_at = at
                    break

        restart = os.path.join(trial, "second.txt")
        restored_path = os.path.join(trial, "restored.json")
        with open(restart, "w") as f:
            f.write(f"answer yes\ndump {restored_path}\n")
        code = finish(program(folder, state, server, restart))
        restored = load(restored_path)
    finally:
        server.stop()

    row = {"trial": k, "kill": killed_at - started, "early": ended_early, "before": None, "restored": None,
           "missing": None, "asked": None, "files": after_kill["files"], "journal": after_kill["journal"],
           "exit": code}
    if restored is None:
        row["files"] += " (no restored dump)"
        return row
    row["asked"] = any(QUESTION.match(d["text"]) and d.get("answer") == "yes" for d in restored["dialogs"])
    row["restored"] = sum(len(items(restored, name)) for name in COMPARED)
    # The restart read the journal and wrote the list files at its close.
    if os.path.exists(os.path.join(folder, "session.db.damaged")):
        row["journal"] += " (set aside at restart)"
    if files_sound(folder) != "ok":
        row["files"] += "; after restart " + files_sound(folder)
    after_restart = journal_sound(folder)
    if after_restart != "ok":
        row["journal"] += "; after restart " + after_restart
    if before is None:
        return row
    row["before"] = sum(len(items(before, name)) for name in COMPARED)
    row["dumpAge"] = killed_at - before_at
    missing = {}
    page = re.compile(r"/gen/page/(\d+)\.htm")
    restored_found = set(items(restored, "List1"))
    for name in COMPARED:
        now = set(items(restored, name))
        gone = [i for i in items(before, name) if i not in now]
        if name == "listlinks":
            # A page read to its end leaves the links list: a keyword page
            # for the found pages, any other page for good.
            def read(url):
                m = page.search(url)
                number = int(m.group(1)) if m else -1
                return url in restored_found if number % 3 == 0 else hits.get(number, 0) > 0
            gone = [u for u in gone if not read(u)]
        if name == "List2":
            # A double-clicked picture moves from the buffer into the catalog.
            gone = [u for u in gone if not any(f"<img src='{u}'>" in c for c in restored["catalogs"])]
        if gone:
            missing[name] = gone
    if not args.keep:
        shutil.rmtree(dumps, ignore_errors=True)  # about 50 MB a trial
    row["missing"] = sum(len(v) for v in missing.values())
    row["missingLists"] = {n: len(v) for n, v in missing.items()}
    if missing:
        with open(os.path.join(trial, "missing.json"), "w") as f:
            json.dump(missing, f, indent=1)
    return row


def shutdown_trial(k, delay):
    trial = os.path.join(work, f"shutdown{k:02d}")
    shutil.rmtree(trial, ignore_errors=True)
    folder, state = os.path.join(trial, "folder"), os.path.join(trial, "state")
    os.makedirs(folder)
    os.makedirs(state)
    server = Server()
    try:
        # A clean run leaves the old files.
        first = os.path.join(trial, "first.txt")
        with open(first, "w") as f:
            f.write(f"wait-idle 30000\nopen {server.base}/gen/page/1.htm\nwait-load WebBrowser1\nmenu add\n")
        finish(program(folder, state, server, first))
        old = {n: open(os.path.join(folder, n), "rb").read() for n in LIST_FILES + ["error.htm"]
               if os.path.exists(os.path.join(folder, n))}

        # A second run changes the lists and closes; it is killed while it saves.
        last = os.path.join(trial, "last.json")
        local = server.base.replace("127.0.0.1", "localhost")
        second = os.path.join(trial, "second.txt")
        with open(second, "w") as f:
            f.write(f"wait-idle 30000\nopen {local}/gen/page/5.htm\nwait-load WebBrowser1\n"
                    f"wait 1500\nopen {server.base}/gen/page/6.htm\nwait-load WebBrowser1\nmenu add\n"
                    f"dump {last}\n")
        proc = program(folder, state, server, second)
        final = None
        for _ in range(1200):
            final = load(last)
            if final is not None or proc.poll() is not None:
                break
            time.sleep(0.005)
        seen = time.time()
        exited = None  # when the program ended by itself, if it did before the kill
        while time.time() - seen < delay:
            if proc.poll() is not None:
                exited = time.time() - seen
                break
            time.sleep(0.002)
        kill(proc)
        new = {"lb.prv": list_record(final["Combo2"]["items"]), "domain.prv": list_record(final["domain"]["items"]),
               "domain2.txt": list_record(final["domain2"]["items"]), "list6.prv": list_record(final["List6"]["items"]),
               "favor2.txt": list_record(final["favorit2"]["items"]),
               "favor.prv": list_record(final["favorit"]["items"])} if final else {}
        states = {}
        for n in LIST_FILES + ["error.htm"]:
            path = os.path.join(folder, n)
            data = open(path, "rb").read() if os.path.exists(path) else None
            if data == old.get(n):
                states[n] = "old"
            elif n in new and data == new[n]:
                states[n] = "new"
            elif n == "error.htm" and data and data.startswith(b'"<html><body>') and data.endswith(b'</body></html>"\r\n'):
                states[n] = "new"
            else:
                states[n] = "torn"
        journal = journal_sound(folder)

        third = os.path.join(trial, "third.txt")
        after = os.path.join(trial, "after.json")
        with open(third, "w") as f:
            f.write(f"answer yes\ndump {after}\n")
        code = finish(program(folder, state, server, third))
        restored = load(after)
    finally:
        server.stop()
    asked = restored is not None and any(QUESTION.match(d["text"]) for d in restored["dialogs"])
    # A list whose file was saved comes back whole, restored or read from its file.
    lost = None
    if restored is not None and final is not None:
        lost = sum(1 for n, name in (("lb.prv", "Combo2"), ("domain2.txt", "domain2"), ("favor2.txt", "favorit2"))
                   if states.get(n) == "new" for i in final[name]["items"] if i not in restored[name]["items"])
    if os.path.exists(os.path.join(folder, "session.db.damaged")):
        journal += " (set aside at restart)"
    return {"trial": k, "delay": delay, "exited": exited, "states": states, "journal": journal, "asked": asked,
            "lost": lost, "exit": code}


# A calibration run without a kill: how long the session's work takes.
print("calibration run ...", flush=True)
cal = os.path.join(work, "calibration")
shutil.rmtree(cal, ignore_errors=True)
for d in ("folder", "state", "dumps"):
    os.makedirs(os.path.join(cal, d))
server = Server()
try:
    script = os.path.join(cal, "script.txt")
    with open(script, "w") as f:
        f.write(session_script(server.base, os.path.join(cal, "dumps"), 0) + "wait-idle 120000\n"
                + f"dump {cal}/end.json\n")
    started = time.time()
    code = finish(program(os.path.join(cal, "folder"), os.path.join(cal, "state"), server, script))
    session_length = os.stat(os.path.join(cal, "end.json")).st_mtime - started
finally:
    server.stop()
end = load(os.path.join(cal, "end.json"))
print(f"  the session's work takes {session_length:.1f} s (exit code {code}); its end holds "
      + ", ".join(f"{len(items(end, n))} {n}" for n in COMPARED), flush=True)

period_dumps = int((session_length + 10) / 0.25)
rows = []
print()
print(f"{'trial':>5} {'kill s':>7} {'dump age':>8} {'before':>7} {'restored':>8} {'missing':>7} {'asked':>5}  "
      f"{'files':<8} {'journal':<8} exit")
for k in range(1, args.trials + 1):
    kill_after = rng.uniform(1.5, session_length)
    row = crash_trial(k, kill_after, period_dumps)
    rows.append(row)
    fmt = lambda v, f="{}": "-" if v is None else f.format(v)
    detail = f"  {row['missingLists']}" if row.get("missing") else ""
    print(f"{k:>5} {row['kill']:>7.2f} {fmt(row.get('dumpAge'), '{:.2f}'):>8} {fmt(row['before']):>7} "
          f"{fmt(row['restored']):>8} {fmt(row['missing']):>7} {fmt(row['asked']):>5}  {row['files']:<8} "
          f"{row['journal']:<8} {row['exit']}{' (ended before the kill)' if row['early'] else ''}{detail}",
          flush=True)

print()
print(f"{'trial':>5} {'kill delay s':>12} {'exited':>6}  files (old/new/torn)"
      f"{'':<112} journal  asked lost exit")
shut = []
for k in range(1, args.shutdown_trials + 1):
    delay = rng.uniform(0.0, 0.15)
    row = shutdown_trial(k, delay)
    shut.append(row)
    counts = {s: sum(1 for v in row["states"].values() if v == s) for s in ("old", "new", "torn")}
    torn = [n for n, v in row["states"].items() if v == "torn"]
    ended = "-" if row["exited"] is None else f"{row['exited']:.3f}"
    print(f"{k:>5} {delay:>12.3f} {ended:>6}  {counts['old']}/{counts['new']}/{counts['torn']} "
          f"{' '.join(f'{n}={v}' for n, v in row['states'].items()):<124} {row['journal']:<8} "
          f"{str(row['asked']):>5} {'-' if row['lost'] is None else row['lost']:>4} {row['exit']}"
          f"{'  torn: ' + ','.join(torn) if torn else ''}", flush=True)

compared = [r for r in rows if r["missing"] is not None]
bad = [r for r in rows if r["missing"] or r["files"] != "ok" or r["journal"] not in ("ok", "none") or r["exit"] != 0]
bad += [r for r in shut if "torn" in r["states"].values() or r["journal"] not in ("ok", "none") or r["exit"] != 0
        or r["lost"]]
print()
print(f"crash trials: {len(rows)}, compared {len(compared)}, missing items {sum(r['missing'] for r in compared)}, "
      f"restore asked {sum(1 for r in rows if r['asked'])}; shutdown trials: {len(shut)}, torn files "
      f"{sum(1 for r in shut for v in r['states'].values() if v == 'torn')}, entries lost "
      f"{sum(r['lost'] or 0 for r in shut)}; plan {plan}")
if not args.keep:
    shutil.rmtree(work, ignore_errors=True)
sys.exit(1 if bad else 0)
PY
