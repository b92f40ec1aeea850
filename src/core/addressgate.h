#pragma once

#include <QString>
#include <QStringView>

namespace quorvane {

// The one gate for addresses that enter the window's lists, are opened in a
// view or are handed to a reader. Only web addresses pass, and local files
// where the user opened one: anything else (javascript:, vbscript:, data:,
// schemes a browser may learn tomorrow) could run a hostile page's script in
// the origin of whatever page a view shows.

// The address's scheme in lower case ("https"), or empty when it has none.
QString addressScheme(QStringView address);
// http://... or https://...
bool isWebAddress(QStringView address);
// file:...
bool isLocalFileAddress(QStringView address);
// An address found in the page at pageUrl: a web address, or a local file
// when the page is a local file itself (one the user opened).
bool isPageAddressAllowed(QStringView address, QStringView pageUrl);
// An address from the user's own lists, files or typing: a web address, a
// local file, or a bare host name ("example.com", as history keeps them)
// that a view completes to a web address.
bool isOpenableAddress(QStringView address);
// A link taken for a picture: ".jpg" or ".gif" anywhere in it, in any case.
bool isPictureLink(QStringView address);

}  // namespace quorvane
