#!/usr/bin/env bash
# Writes the README's pictures of the main window at its design size (a client
# area of 7650 x 4650 twips, 510 x 310 pixels at 96 dpi): the toolbar at rest,
# and with one button hovered and one pressed.
# Usage: scripts/toolbar-screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build}
testserver=$build/quorvane-testserver source=$source_dir
source "$source_dir/tests/e2e/lib/homesite.sh"
start_home_site

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
