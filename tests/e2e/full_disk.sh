#!/usr/bin/env bash
# A program folder that cannot be written: a small tmpfs filled to the last
# byte (else a read-only bind mount; without either the test is skipped).
# Start-up says so in a message and in status panel 1, the session's address
# entries, history and new favorite reach the recovery folder under the state
# folder, the files already in the program folder keep their content, the
# journal goes to the state folder, and the run ends with exit code 4.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
start_home_site

folder=$work/folder
mkdir "$folder" "$work/state" "$work/old"
# The lists an earlier session left.
printf '"http://old.example/\r\n"\r\n' >"$work/old/lb.prv"
printf '"old.example\r\n"\r\n' >"$work/old/domain2.txt"
printf '"http://old.example/favorite.htm\r\n"\r\n' >"$work/old/favor2.txt"

mounted=
trap '[ -z "$mounted" ] || umount "$folder" 2>/dev/null || umount -l "$folder" 2>/dev/null || true; cleanup' EXIT
if mount -t tmpfs -o size=64k tmpfs "$folder" 2>/dev/null; then
  mounted=tmpfs
  cp "$work/old/"* "$folder/"
  # Fill it: the write stops with "No space left on device".
  head -c 1048576 /dev/zero >"$folder/filler" 2>/dev/null || true
  if printf x >"$folder/probe" 2>/dev/null && [ -s "$folder/probe" ]; then
    echo "FAIL: the tmpfs did not fill up"
    exit 1
  fi
  rm -f "$folder/probe"
elif cp "$work/old/"* "$folder/" && mount --bind "$folder" "$folder" 2>/dev/null; then
  mounted=bind
  mount -o remount,bind,ro "$folder" 2>/dev/null || { echo "skipped: cannot mount"; exit 0; }
else
  echo "skipped: cannot mount"
  exit 0
fi

cat >"$work/script.txt" <<SCRIPT
dump $work/start.json
open $base/gen/page/1.htm
wait-load WebBrowser1
open $base/gen/page/2.htm
wait-load WebBrowser1
menu add
dump $work/end.json
SCRIPT
code=0
timeout 120 "$quorvane" --program-folder "$folder" --state-folder "$work/state" --home-site "$hostport" \
  --translation-host "$hostport" --script "$work/script.txt" || code=$?

python3 - "$work" "$base" "$code" "$mounted" <<'PY'
import glob, os
from checks import args, check, finish, load, work

base, code, mounted = args[0], int(args[1]), args[2]
folder = os.path.join(work, "folder")
start, end = load("start", "end")

check(code == 4, f"exit code {code}, not 4")
warnings = [d["text"] for d in start["dialogs"] if d["text"].startswith(f"The program folder {folder} cannot be written")]
check(warnings, f"no start-up message: {start['dialogs']}")
panel = start["StatusBar1"]["panels"][0]["text"]
check(panel.startswith(f"Cannot write {folder}:") and "recovered-" in panel, f"status panel 1 {panel!r}")

failed = {os.path.basename(f["file"]): f for f in end["saveFailures"]}
check("favor2.txt" in failed and failed["favor2.txt"]["copy"], f"favorites save not recorded: {end['saveFailures']}")
check(os.path.exists(os.path.join(work, "state", "session.db")), "no journal in the state folder")

def entries(path):
    data = open(path, "rb").read()
    check(data.startswith(b'"') and data.endswith(b'"\r\n'), f"{path} is no list file: {data[:80]!r}")
    return data[1:-3].decode("utf-8").split("\r\n")[:-1]

folders = glob.glob(os.path.join(work, "state", "recovered-*"))
check(len(folders) == 1, f"recovery folders {folders}")
pages = [f"{base}/gen/page/1.htm", f"{base}/gen/page/2.htm"]
if folders:
    recovered = folders[0]
    expected = {
        "lb.prv": ["http://old.example/"] + pages,
        "domain2.txt": ["127.0.0.1", "old.example"],
        "favor2.txt": [f"{base}/gen/page/2.htm", "http://old.example/favorite.htm"],
    }
    for name, want in expected.items():
        path = os.path.join(recovered, name)
        if not os.path.exists(path):
            check(False, f"{name} not in {recovered}: {os.listdir(recovered)}")
            continue
        got = entries(path)
        check(sorted(got) == sorted(want), f"{name} holds {got}, not {want}")
    check(os.path.exists(os.path.join(recovered, "error.htm")), "no copy of the image buffer page")

# What was there stays as it was.
for name in ("lb.prv", "domain2.txt", "favor2.txt"):
    check(open(os.path.join(folder, name), "rb").read() == open(os.path.join(work, "old", name), "rb").read(),
          f"{name} in the program folder changed")
finish(f"a program folder on a full disk ({mounted}): everything went to the recovery folder")
PY
