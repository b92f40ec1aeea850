#pragma once

#include "checkrecord.h"
#include "pagefetcher.h"
#include "sitematch.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quorvane {

// Fills a record from the final answer for page: status, address, redirects,
// the best link to one of sites with its rel and anchor, robots meta and
// header, canonical, page signs. Robots.txt and the rendered check are the
// checker's.
CheckRecord readFindings(const FetchReply &reply, const QString &page, const QList<OwnSite> &sites,
                         const QString &expectedAnchor);

// Whether any of hrefs points to one of sites.
bool anyLinkTo(const QStringList &hrefs, const QList<OwnSite> &sites);

// Anchor texts compare with collapsed blanks, ignoring case.
bool sameAnchor(const QString &expected, const QString &actual);

}  // namespace quorvane
