#!/usr/bin/env bash
# A catalog filled by double clicks on two ordinary links of one page, with
# real pointer input and a server that answers at once: the page stays, both
# links are filed in order; a single click still follows its link, and with no
# catalog chosen a click follows at once.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site"
cp "$source"/homesite/samples/img/{sea,meadow}.png "$site/"
cat >"$site/page.htm" <<'HTML'
<html><body><h3>Pictures</h3>
<p><a id="a" href="sea.png"><img src="sea.png" width="96" height="64"></a>
<a id="b" href="meadow.png"><img src="meadow.png" width="96" height="64"></a>
<a id="next" href="next.htm">next</a></p></body></html>
HTML
echo '<html><body>next page</body></html>' >"$site/next.htm"
start_home_site "$site"

run_window 120 "$work/folder" - <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/page.htm
wait-load WebBrowser1
type Combo1 pictures
key Combo1 Enter
click Combo1 0
page-dblclick WebBrowser1 a#a
wait 800
page-dblclick WebBrowser1 a#b
wait 800
dump $work/filed.json
menu viewcatalo
wait 1000
screenshot $work/catalog.png
navigate WebBrowser1 $base/page.htm
wait-load WebBrowser1
page-click WebBrowser1 a#next
wait-load WebBrowser1
dump $work/followed.json
SCRIPT

python3 - "$work" "$base" <<'PY'
from checks import args, check, finish, load
base = args[0]
filed, followed = load("filed", "followed")
check(filed["WebBrowser1"]["url"] == base + "/page.htm", f"the double click left the page for {filed['WebBrowser1']['url']}")
expected = f"<img src='{base}/sea.png'><img src='{base}/meadow.png'>"
check(filed["catalogs"][0] == expected, f"catalog 0: {filed['catalogs'][0]!r}")
check(followed["WebBrowser1"]["url"] == base + "/next.htm", f"a single click did not follow: {followed['WebBrowser1']['url']}")
finish()
PY
