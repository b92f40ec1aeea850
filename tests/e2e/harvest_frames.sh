#!/usr/bin/env bash
# Harvests the links of a frameset page through the real window and checks the
# lists, then the files a normal shutdown leaves in a fresh program folder.
# Arguments: QUORVANE_BIN TESTSERVER_BIN SOURCE_DIR
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

start_home_site

# Start-up shows the site's first next home page in Browser 1; let it settle first.
cat >"$work/script.txt" <<SCRIPT
wait-idle 30000
navigate WebBrowser1 $base/samples/frames.htm
wait-load WebBrowser1
menu getlinks
dump $work/out.json
SCRIPT

run_window 120 "$work/folder" "$work/script.txt"

python3 - "$work" "$base" "$source/homesite/samples" <<'PY'
import html.parser, json, os, sys, urllib.parse

work, base, samples = sys.argv[1:4]
dump = json.load(open(os.path.join(work, "out.json"), encoding="utf-8"))
from checks import check, finish

def normalized(url):
    # What the DOM's href property gives for the simple links of the samples.
    parts = urllib.parse.urlsplit(url)
    return urllib.parse.urlunsplit((parts.scheme.lower(), parts.netloc.lower(), parts.path or "/",
                                    parts.query, parts.fragment))

class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.hrefs = []
    def handle_starttag(self, tag, attrs):
        href = dict(attrs).get("href")
        if tag in ("a", "area") and href:
            self.hrefs.append(href)

def links_of(name):
    parser = Links()
    parser.feed(open(os.path.join(samples, name), encoding="utf-8", errors="replace").read())
    page = f"{base}/samples/{name}"
    return [normalized(urllib.parse.urljoin(page, h)) for h in parser.hrefs]

# Both frames, left first; an address already taken (ignoring case) is skipped.
expected, seen = [], set()
for address in links_of("left.htm") + links_of("right.htm"):
    if address.casefold() not in seen:
        seen.add(address.casefold())
        expected.append(address)
check(len(links_of("left.htm")) > 0 and len(links_of("right.htm")) > 0, "the sample frames hold no links")

check(dump["List7"]["items"] == expected, f"List7 {dump['List7']['items']} != {expected}")
listlinks = dump["listlinks"]["items"]
check(sorted(listlinks) == sorted(expected), f"listlinks {listlinks} does not hold {expected}")
check(listlinks == sorted(listlinks, key=str.casefold), f"listlinks is not sorted: {listlinks}")
rows = dump["List3"]["items"]
addresses = []
for row in rows:
    check(row.startswith("<a href='") and row.endswith("</a><br>"), f"List3 row {row!r} is not a link row")
    addresses.append(html.unescape(row[len("<a href='"):row.find("'>")]))
check(addresses == expected, f"List3 addresses {addresses} != {expected}")

def list_file(items):
    return b'"' + b"".join(i.encode("utf-8") + b"\r\n" for i in items) + b'"\r\n'

folder = os.path.join(work, "folder")
def file_bytes(name):
    path = os.path.join(folder, name)
    return open(path, "rb").read() if os.path.exists(path) else None

# A fresh folder: every list starts empty. The visited-domains list may have
# recorded the page's domain; whatever it held at the dump is what must be written.
domains = dump["domain2"]["items"]
check(domains in ([], ["127.0.0.1"]), f"domain2 holds {domains}")
for name, items in (("lb.prv", dump["Combo2"]["items"]), ("domain.prv", dump["domain"]["items"]),
                    ("list6.prv", dump["List6"]["items"]), ("domain2.txt", domains)):
    if name == "list6.prv":
        check(items == [base + "/next/page1.htm"], f"{name}: not just the first home page: {items}")
    elif name != "domain2.txt":
        check(items == [], f"{name}: the list behind it is not empty: {items}")
    check(file_bytes(name) == list_file(items), f"{name} holds {file_bytes(name)!r}, expected {list_file(items)!r}")
check(file_bytes("error.htm") == b'"<html><body></body></html>"\r\n', f"error.htm holds {file_bytes('error.htm')!r}")
check(file_bytes("error1.htm") == b"<html><body></body></html>\r\n", f"error1.htm holds {file_bytes('error1.htm')!r}")

finish()
PY
