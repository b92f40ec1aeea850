#pragma once

#include "host/htmldocument.h"

#include <QSet>
#include <QString>

namespace quorvane {

class Host;
class WindowState;

// Collects every link of the shown page, frames included, into the links list
// (listlinks), the link rows (List3) and the step list (List7).
class Harvester final {
public:
    Harvester(WindowState &state, Host &host);

    // Get/Add all Links: adds to what is collected.
    void getlinks_Click();
    // The toolbar's get-all-links button: empties the three lists, then harvests.
    void Picture241_MouseUp();
    void harvestDocument(const DocumentPtr &document);

    // The link row of List3 for a link: escaped for its place in the HTML.
    static QString linkRow(const QString &address, const QString &text);
    // The address of a link row, as the page gave it; empty for other rows.
    static QString addressOfLinkRow(const QString &row);

private:
    void refreshIndex();

    WindowState &m_state;
    Host &m_host;
    // Case-folded addresses of the link rows in List3, valid while List3's
    // revision equals m_indexRevision.
    QSet<QString> m_index;
    quint64 m_indexRevision = ~quint64(0);
};

}  // namespace quorvane
