#pragma once

#include "linkscan.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace quorvane::htmlparser {

// The scan of a page whose markup the tree builder takes as written: known
// elements nested the plain way, no tables, forms, frames, foreign content or
// misnested links, only the common character references. Such a page (most
// link pages are) is read in one pass without building a tree, many times
// faster than the full parser and with the same result. Anything else gives
// nullopt, and the full parser reads the page.
std::optional<MarkupScan> scanPlainMarkup(QStringView html, const QString &url);

// The lower-case tokens of an attribute such as rel, split at white space
// and extraSeparator.
QStringList attributeTokens(const QString &value, QChar extraSeparator = QChar());

// The page's visible text is gathered a text node at a time, each with its
// white space collapsed, up to MaxScanText characters.
void appendScanText(QString &into, QStringView node);
void finishScanText(QString &text);

}  // namespace quorvane::htmlparser
