#!/usr/bin/env bash
# Takes the pictures of the help pages and the README again, offscreen, from
# the real window driven by automation scripts against the bundled home site:
# the progress bar during a search and after Stop, a report waiting for Read
# next, a catalog filled by double clicks, a saved image buffer opened from
# disk, the Preferences dialog, an unreachable home site and the toolbar at
# twice the density. Writes homesite/shots/*.png.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build}
testserver=$build/quorvane-testserver source=$source_dir
source "$source_dir/tests/e2e/lib/homesite.sh"
start_home_site
shots=$source_dir/homesite/shots
mkdir -p "$shots"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1

# run NAME [OPTIONS...]: runs $work/NAME.txt in a fresh program folder.
run() {
  local name=$1
  shift
  mkdir -p "$work/$name"
  timeout 180 "$build/quorvane" --program-folder "$work/$name" --home-site "$hostport" \
    --translation-host "$hostport" "$@" --script "$work/$name.txt" >/dev/null 2>"$work/$name.err" ||
    { echo "screenshots: $name failed" >&2; cat "$work/$name.err" >&2; return 1; }
}

slow="$base/gen/index.htm?n=60&ms=700"
cat >"$work/search.txt" <<SCRIPT
resize 900 420
wait-idle
navigate WebBrowser1 $slow
wait-load WebBrowser1
menu getlinks
type Combo1 quorvanekey
key Combo1 Enter
menu readit
wait 2500
screenshot $shots/progress.png
keys Escape
screenshot $shots/progress-stopped.png
SCRIPT
run search

# The second page never answers: after 30 s the report rests until Read next.
cat >"$work/report.txt" <<SCRIPT
resize 1200 260
wait-idle
open $base/welcome.htm
wait-load WebBrowser1
menu getlinks
answer no
menu viewreport
wait 33000
screenshot $shots/report-waiting.png
SCRIPT
printf '<html><body><a href="%s">a</a> <a href="%s">b</a> <a href="%s">c</a></body></html>\n' \
  "$base/about.htm" "$base/fault/hang" "$base/how.htm" >"$work/hang.htm"
sed -i "s|open $base/welcome.htm|navigate WebBrowser1 file://$work/hang.htm|" "$work/report.txt"
run report

# Ordinary links to pictures, double-clicked with real pointer input.
{
  echo "<html><body><h3>Pictures of the coast</h3><p>"
  for picture in sea sunrise meadow; do
    echo "<a id=\"$picture\" href=\"$base/samples/img/$picture.png\"><img src=\"$base/samples/img/$picture.png\" width=\"96\" height=\"64\"></a>"
  done
  echo "</p></body></html>"
} >"$work/pictures.htm"
cat >"$work/catalog.txt" <<SCRIPT
resize 900 420
wait-idle
navigate WebBrowser1 file://$work/pictures.htm
wait-load WebBrowser1
type Combo1 seaside
key Combo1 Enter
click Combo1 0
page-dblclick WebBrowser1 a#sea
wait 800
page-dblclick WebBrowser1 a#sunrise
wait 800
menu viewcatalo
wait 1000
screenshot $shots/catalog.png
SCRIPT
run catalog

cat >"$work/buffer.txt" <<SCRIPT
resize 900 420
wait-idle
navigate WebBrowser1 $base/channels/gallery.htm
wait-load WebBrowser1
answer file $work/buffer/pictures.htm
menu sreport
answer file $work/buffer/pictures.htm
menu open_file
wait-load WebBrowser1
wait 1000
screenshot $shots/local-pictures.png
SCRIPT
run buffer

cat >"$work/preferences.txt" <<SCRIPT
wait-idle
menu preferences
wait 500
screenshot-window Preferences $shots/preferences.png
click Preferences.Cancel
SCRIPT
run preferences

# Keyboard: the Go menu with its mnemonics and shortcuts.
cat >"$work/keyboard.txt" <<SCRIPT
wait-idle
screenshot-window Menu.nav $shots/menu-keys.png
SCRIPT
run keyboard

# A login, a logout and a login at once: the private start page shows, and
# Save image buf stays enabled after the logout.
cat >"$work/zone.txt" <<SCRIPT
resize 900 420
wait-idle
answer text demo
answer no
press Picture14
wait-idle
press Picture14
screenshot-window Menu.view $shots/menu-view-public.png
answer text demo
answer no
press Picture14
wait-idle
screenshot $shots/login-again.png
SCRIPT
run zone

# The shop's Preview goes to the view shown, here Browser 2.
cat >"$work/preview.txt" <<SCRIPT
resize 900 420
wait-idle
press Picture23 left
menu online
type Form2.Text1(0) Corner Store
type Form2.Text1(1) http://example.com/
type Form2.Text1(2) A1
type Form2.Text1(3) Sea picture
type Form2.Text1(4) 2.50
type Form2.Text1(5) shop@example.com
type Form2.Text1(6) $base/samples/img/sea.png
type Form2.Text1(7) $base/about.htm
click Form2.Command3
click Form2.Command1
click Form2.Command4
wait-load WebBrowser5
wait 1500
click Form2.Close
screenshot $shots/preview-browser2.png
SCRIPT
run preview

# Nothing listens on port 1.
cat >"$work/offline.txt" <<SCRIPT
resize 900 420
wait 2500
screenshot $shots/offline.png
SCRIPT
mkdir -p "$work/offline"
timeout 120 "$build/quorvane" --program-folder "$work/offline" --home-site 127.0.0.1:1 \
  --translation-host 127.0.0.1:1 --script "$work/offline.txt" >/dev/null 2>&1 || true

cat >"$work/hidpi.txt" <<SCRIPT
resize 560 140
wait-idle
hover-background
screenshot $shots/toolbar-2x.png
SCRIPT
QT_SCALE_FACTOR=2 run hidpi
ls -l "$shots"
