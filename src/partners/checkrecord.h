#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// What one check of one partner page found. Everything a verdict is derived
// from is here, so a stored record can be judged again.
struct CheckRecord {
    qint64 checkedAt = 0;     // ms since the epoch, UTC
    bool answered = false;    // an HTTP response came (any status)
    QString error;            // why not, or why the answer was given up
    int attempts = 0;
    int httpStatus = 0;
    QString finalAddress;
    QStringList redirects;    // every address before the final one, in order
    bool movedOffSite = false;
    bool linkFound = false;   // in the markup
    QString linkAddress;
    QStringList rel;          // nofollow, sponsored, ugc among the link's rel tokens
    QString anchorText;       // the link's text, or its image's alt
    bool anchorMatches = true;
    QStringList robots;       // "noindex", "nofollow" from meta or header, "robots.txt"
    QString canonical;        // a canonical address elsewhere, empty when none or the page itself
    bool parked = false;
    bool soft404 = false;
    bool renderedChecked = false;  // the page was also read through the web engine
    bool scriptOnly = false;       // link present in the rendered document only
};

}  // namespace quorvane
