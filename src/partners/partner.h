#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// Where the user stands with a partner; set by the user, never by a check.
enum class Outreach { Found, Asked, Agreed, Live, Refused, Ended };

QString outreachName(Outreach outreach);  // "found", "asked", ...
std::optional<Outreach> outreachFromName(const QString &name);
const QStringList &outreachNames();

// One partner page on which a link back to one of the user's sites should stand.
struct Partner {
    qint64 id = 0;
    QString page;          // http(s) address of the partner page
    QString site;          // the user's site it must link to; empty: any of the user's sites
    QString anchor;        // expected anchor text; empty: any
    Outreach outreach = Outreach::Found;
    QString note;
    qint64 addedAt = 0;            // ms since the epoch, UTC
    qint64 outreachChangedAt = 0;  // ms since the epoch, UTC
};

}  // namespace quorvane
