#!/usr/bin/env bash
# A home site that accepts connections and never answers must not hold up the
# window: a start-up screenshot is written and the program exits normally.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

# Accepts and keeps every connection open, saying nothing, for at most 60 s.
python3 -u -c '
import socket, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(64)
s.settimeout(0.2)
print(s.getsockname()[1], flush=True)
held, end = [], time.time() + 60
while time.time() < end:
    try:
        held.append(s.accept()[0])
    except socket.timeout:
        pass
' >"$work/port" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/port" ] && break
  sleep 0.1
done
port=$(head -n1 "$work/port")
[ -n "$port" ] || { echo "silent server did not start"; exit 1; }

mkdir "$work/folder"
status=0
QT_QPA_PLATFORM=offscreen timeout 30 "$quorvane" --program-folder "$work/folder" \
  --home-site "127.0.0.1:$port" --translation-host "127.0.0.1:$port" --screenshot "$work/shot.png" || status=$?
[ "$status" -eq 0 ] || { echo "quorvane exited with $status (124: it did not finish in time)"; exit 1; }
[ -s "$work/shot.png" ] || { echo "no screenshot written"; exit 1; }
head -c 8 "$work/shot.png" | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a' || { echo "screenshot is not a PNG"; exit 1; }
# The shutdown still wrote the lists.
[ -f "$work/folder/lb.prv" ] || { echo "shutdown did not write lb.prv"; exit 1; }

# A home site where nothing listens: the status bar says so and the views show
# an offline note instead of nothing.
closed=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir "$work/closed"
cat >"$work/closed.txt" <<SCRIPT
wait 4000
dump $work/closed.json
SCRIPT
QT_QPA_PLATFORM=offscreen timeout 60 "$quorvane" --program-folder "$work/closed" \
  --home-site "127.0.0.1:$closed" --translation-host "127.0.0.1:$closed" --script "$work/closed.txt"
python3 - "$work" "127.0.0.1:$closed" <<'PY'
from checks import args, check, finish, load
dump, home = load("closed"), args[0]
panel = dump["StatusBar1"]["panels"][0]["text"]
check("cannot be reached" in panel and home in panel and "retried" in panel, f"panel 1: {panel!r}")
for view in ("WebBrowser1", "WebBrowser5"):
    check(dump[view]["title"] == "Offline", f"{view} shows {dump[view]['url']} ({dump[view]['title']!r})")
finish()
PY
