#!/usr/bin/env bash
# Writes the README's pictures of the main window at its design size (a client
# area of 7650 x 4650 twips, 510 x 310 pixels at 96 dpi): the toolbar at rest,
# and with one button hovered and one pressed.
# Usage: scripts/toolbar-screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build}
work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$build/quorvane-testserver" --root "$source_dir/homesite" --port 0 >"$work/server.out" 2>&1 &
server=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/server.out" && break
  sleep 0.1
done
base=$(sed -n 's/^listening on \(http:\/\/[^ ]*\).*/\1/p' "$work/server.out")
hostport=${base#http://}

cat >"$work/script.txt" <<SCRIPT
resize-client 7650 4650
wait-idle
wait-load WebBrowser1
open $base/welcome.htm
wait-load WebBrowser1
hover-background
screenshot $source_dir/docs/toolbar-normal.png
press Picture28 left
hover Picture5
screenshot $source_dir/docs/toolbar-hover-pressed.png
SCRIPT
mkdir -p "$source_dir/docs"
QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 "$build/quorvane" --program-folder "$work/folder" \
  --home-site "$hostport" --translation-host "$hostport" --script "$work/script.txt"
