#!/usr/bin/env bash
# On a screen of twice the density the toolbar takes the shipped 2x
# renderings; a skin in the program folder still replaces the picture, at
# either density, and a skin's own 2x file wins there.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

run() {  # SCALE FOLDER NAME
  mkdir -p "$2"
  printf 'dump %s/%s.json\nscreenshot %s/%s.png\n' "$work" "$3" "$work" "$3" >"$work/$3.txt"
  QT_SCALE_FACTOR=$1 timeout 60 "$quorvane" --program-folder "$2" --home-site 127.0.0.1:9 \
    --translation-host 127.0.0.1:9 --script "$work/$3.txt"
}
run 1 "$work/plain" plain1
run 2 "$work/plain" plain2
mkdir -p "$work/skinned"
cp "$source/resources/toolbar/home1.bmp" "$work/skinned/back1.bmp"
cp "$source/resources/toolbar/home1@2x.bmp" "$work/skinned/stop1@2x.bmp"
run 2 "$work/skinned" skinned2

python3 - "$work" <<'PY'
import os
from checks import check, finish, load, work
plain1, plain2, skinned2 = (d["pictureSources"] for d in load("plain1", "plain2", "skinned2"))
check(plain1["Picture2"] == ":/toolbar/back1.bmp", f"scale 1: {plain1['Picture2']}")
check(plain2["Picture2"] == ":/toolbar/back1@2x.bmp", f"scale 2: {plain2['Picture2']}")
check(all(src.endswith("@2x.bmp") for src in plain2.values()), f"scale 2 without 2x pictures: {plain2}")
check(skinned2["Picture2"] == os.path.join(work, "skinned", "back1.bmp"), f"skin at scale 2: {skinned2['Picture2']}")
check(skinned2["Picture4"] == os.path.join(work, "skinned", "stop1@2x.bmp"), f"2x skin: {skinned2['Picture4']}")
check(skinned2["Picture3"] == ":/toolbar/forward1@2x.bmp", f"unskinned at scale 2: {skinned2['Picture3']}")
finish()
PY
