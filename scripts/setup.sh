#!/usr/bin/env bash
# Installs the Debian packages Quorvane needs (when missing), then configures
# and builds it with CMake and Ninja into build/ (or $QUORVANE_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$root/build}

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginewidgets6
  qt6-webchannel-dev libqt6webchannel6 libgl1-mesa-dev
  libqt6sql6-sqlite
  libcurl4-openssl-dev libgumbo-dev libcpp-httplib-dev zlib1g-dev
  googletest libgtest-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core python3
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${QUORVANE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build"
