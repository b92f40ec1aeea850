#!/usr/bin/env bash
# The e-mail finder over a small site with robots.txt obeyed and a page that
# first answers 429 with Retry-After, then the CSV exports of the window and
# of the saved session, read back with Python's csv module; hostile values
# go through the command-line export.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

site="$work/site"
mkdir -p "$site/private"
cat >"$site/robots.txt" <<'TXT'
User-agent: *
Disallow: /private/
TXT
cat >"$site/index.htm" <<'HTM'
<html><head><title>Shop links</title></head><body>
<a href="a.htm" rel="nofollow sponsored">=HYPERLINK("http://evil.test","Click")</a>
<a href="b.htm">Say "hello", please</a>
<a href="private/c.htm">Private</a>
<a href="http://{{HOST}}/fault/busy?key=e2e&amp;times=1&amp;after=1&amp;body=%3Ca+href%3D%27mailto%3Abusy%40shop.test%27%3Eb%3C%2Fa%3E">Busy</a>
<a href="d.htm"><img src="pic.jpg" alt="A picture, with a comma"></a>
</body></html>
HTM
cat >"$site/a.htm" <<'HTM'
<html><head><title>A</title></head><body><p>Write to us.</p>
<a href="mailto:sales@shop.test">Sales</a> <a href="mailto:info%40shop.test?subject=Hello">Info</a>
<img src="logo@2x.png"> contact at shop dot test, or joe&#64;shop.test
</body></html>
HTM
cat >"$site/b.htm" <<'HTM'
<html><head><title>Page not found</title></head><body>
<a href="MAILTO:Sales@Shop.Test">Sales</a> <a href="mailto:support@shop.test?cc=x@y.test">Support</a>
</body></html>
HTM
cat >"$site/private/c.htm" <<'HTM'
<html><body><a href="mailto:secret@shop.test">Secret</a></body></html>
HTM
cat >"$site/d.htm" <<'HTM'
<html><body><p>No addresses here.</p></body></html>
HTM
start_home_site "$site"

run_window 200 "$work/folder" - --obey-robots yes --retry-after-cap 5 <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/index.htm
wait-load WebBrowser1
menu getlinks
answer no
menu findemail
wait-idle 60000
dump $work/dump.json
export links $work/links.csv
export emails $work/emails.csv
export emails-by-page $work/emailpages.csv
export found $work/found.csv
export images $work/images.csv
export report $work/report.csv
SCRIPT
busy_requests=$(curl -s "$base/fault/busy-count?key=e2e")
# Settings out of range stop the program before any window, with exit code 2.
for bad in "--per-host-limit 0" "--per-host-limit 5" "--host-delay -1" "--obey-robots maybe" "--retry-after-cap x"; do
  code=0
  # shellcheck disable=SC2086
  "$quorvane" --program-folder "$work/folder" $bad --script "$work/none.txt" >/dev/null 2>"$work/usage.txt" || code=$?
  [ "$code" = 2 ] && grep -q '^quorvane: bad ' "$work/usage.txt" || { echo "FAIL: $bad gave exit code $code"; exit 1; }
done
"$quorvane" export links "$work/saved-links.csv" --program-folder "$work/folder" >/dev/null

python3 - "$work" "$base" "$busy_requests" "$quorvane" <<'PY'
import csv, os, subprocess
from checks import args, check, finish, load, work

base, busy_requests, quorvane = args
csv.field_size_limit(1 << 24)

def read(name):
    raw = open(os.path.join(work, name), "rb").read()
    check(raw.startswith(b"\xef\xbb\xbf"), f"{name} has no byte order mark")
    # Line breaks inside quoted cells stay as they are; rows end in CR LF.
    check(raw.endswith(b"\r\n") and b"\n" not in raw.split(b"\r\n", 1)[0], f"{name} rows do not end in CR LF")
    with open(os.path.join(work, name), encoding="utf-8-sig", newline="") as f:
        return list(csv.reader(f, strict=True))

dump = load("dump")
panels = [p["text"] for p in dump["StatusBar1"]["panels"]]
check(panels[5] == "Robots.txt - 1 pages skipped", f"robots panel {panels[5]!r}")
check(dump["provenance"]["emails"] == 5 and dump["provenance"]["links"] == 5, f"provenance {dump['provenance']}")
check(busy_requests == "2", f"the busy page was asked {busy_requests} times, expected 2 (429, then read again)")

emails = read("emails.csv")
check(emails[0] == ["address", "pages", "page count"], f"e-mail header {emails[0]}")
got = sorted(r[0].lower() for r in emails[1:])
check(got == ["busy@shop.test", "info@shop.test", "sales@shop.test", "support@shop.test"], f"addresses {got}")
sales = [r for r in emails[1:] if r[0].lower() == "sales@shop.test"][0]
check(sorted(sales[1].split("\n")) == [f"{base}/a.htm", f"{base}/b.htm"] and sales[2] == "2", f"sales row {sales}")
pages = read("emailpages.csv")
check(pages[0] == ["page", "address"] and len(pages) == 6, f"by page {pages}")

links = read("links.csv")
check(links[0] == ["address", "text", "rel", "source page"], f"links header {links[0]}")
rows = {r[0]: r for r in links[1:]}
check(rows[f"{base}/a.htm"][1:] == ["'=HYPERLINK(\"http://evil.test\",\"Click\")", "nofollow sponsored", f"{base}/index.htm"],
      f"formula link {rows.get(base + '/a.htm')}")
check(rows[f"{base}/b.htm"][1] == 'Say "hello", please', f"quoted link {rows.get(base + '/b.htm')}")
check(rows[f"{base}/d.htm"][1] == "A picture, with a comma", f"image link {rows.get(base + '/d.htm')}")
check(read("saved-links.csv") == links, "the saved session's links differ from the window's")

found = read("found.csv")
check(found[0] == ["address", "matching words", "paragraphs", "soft 404", "parked"], f"found header {found[0]}")
b = [r for r in found[1:] if r[0] == f"{base}/b.htm"]
check(b and b[0][3] == "yes", f"b.htm not flagged as a missing page: {found}")
a = [r for r in found[1:] if r[0] == f"{base}/a.htm"]
check(a and a[0][1:] == ["mailto:", "1", "no", "no"], f"a.htm row {a}")
images = read("images.csv")
check(any(r[0] == f"{base}/pic.jpg" and r[1].startswith(base) for r in images[1:]), f"images {images}")
check(read("report.csv")[0] == ["number", "text", "html"], "report header")

# Hostile values through the program: a saved session written by hand.
hostile = os.path.join(work, "hostile")
os.makedirs(hostile)
big = "x" * (1 << 20)
texts = ['say "hi", then', "two\r\nlines\nand\rmore", "nul\0byte", big, "=1+2", "+3", "-4", "@SUM(A1)",
         "\tindented", "plain"]
with open(os.path.join(hostile, "provenance.csv"), "w", encoding="utf-8", newline="") as f:
    w = csv.writer(f, lineterminator="\r\n")
    w.writerow(["kind", "address", "text", "rel", "page"])
    for i, t in enumerate(texts):
        w.writerow(["link", f"http://h.test/{i}", t, t, t])
out = os.path.join(work, "hostile.csv")
subprocess.run([quorvane, "export", "links", out, "--program-folder", hostile], check=True, capture_output=True)
back = read("hostile.csv")
check(len(back) == len(texts) + 1, f"{len(back)} rows read back")
for i, t in enumerate(texts):
    want = t.replace("\0", "")
    if want[:1] in ("=", "+", "-", "@", "\t", "\r"):
        want = "'" + want
    row = back[i + 1]
    check(row == [f"http://h.test/{i}", want, want, want], f"row {i} read back as {[c[:40] for c in row]}")

finish()
PY
