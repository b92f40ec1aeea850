#pragma once

#include <QString>
#include <QVector>

namespace quorvane {

// One entry of a channel or search-engine list: the menu caption and its address.
struct SiteEntry {
    QString name;
    QString address;
};

// Reads a site list, "name<address>" repeated. A name runs from the end of the
// previous entry to the next "<", line breaks included. The text is whatever the
// home site sent, so anything malformed ends the list early: an entry is taken
// only when both of its brackets are there, and a tail of four characters or
// fewer after the last ">" is not read.
QVector<SiteEntry> parseSiteList(const QString &text);

}  // namespace quorvane
