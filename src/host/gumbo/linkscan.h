#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

namespace quorvane {

// One anchor or area with an href, as a link checker needs it.
struct ScannedLink {
    QString href;       // absolute, resolved against <base href> or the page address
    QStringList rel;    // the rel tokens, lower case
    QString text;       // collapsed visible text
    QString imageAlt;   // alt of the first image inside, for image links
};

// What a page says about its links and about being indexed.
struct MarkupScan {
    QString title;
    QString heading;            // the first h1 (or, without one, the first h2), collapsed
    QString canonical;          // absolute href of <link rel=canonical>, empty when none
    QStringList robotsMeta;     // lower-case tokens of <meta name=robots|googlebot>
    QVector<ScannedLink> links; // document order
    QString text;               // visible text of the page, collapsed, at most MaxScanText characters
};

// Enough to tell a short placeholder page from a real one.
constexpr int MaxScanText = 8 * 1024;

// Scans html found at url with the page parser. Never fails: what cannot be
// read stays empty.
MarkupScan scanMarkup(const QString &html, const QString &url);
// The same through the full parser always (scanMarkup takes a one-pass path
// for plain markup, with the same result).
MarkupScan scanMarkupFully(const QString &html, const QString &url);

}  // namespace quorvane
