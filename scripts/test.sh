#!/usr/bin/env bash
# Builds Quorvane and runs every test headless.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
