#include "harvester.h"

#include "core/addressgate.h"
#include "core/casefold.h"
#include "core/htmltext.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

namespace {
const QLatin1String rowStart("<a href='");
const QLatin1String rowMiddle("'>");
}  // namespace

Harvester::Harvester(WindowState &state, Host &host) : m_state(state), m_host(host) {}

QString Harvester::linkRow(const QString &address, const QString &text)
{
    return rowStart + escapeHtmlAttribute(address) + rowMiddle + escapeHtmlText(text) + QLatin1String("</a><br>");
}

QString Harvester::addressOfLinkRow(const QString &row)
{
    if (!row.startsWith(rowStart) || !row.endsWith(QLatin1String("</a><br>")))
        return {};
    // An escaped attribute holds no quote, so the first "'>" closes it.
    const qsizetype end = row.indexOf(rowMiddle, rowStart.size());
    return end < 0 ? QString() : unescapeHtml(row.mid(rowStart.size(), end - rowStart.size()));
}

void Harvester::refreshIndex()
{
    if (m_state.List3.revision() == m_indexRevision)
        return;
    m_index.clear();
    for (const QString &row : m_state.List3.items()) {
        const QString address = addressOfLinkRow(row);
        if (!address.isEmpty())
            m_index.insert(foldCase(address));
    }
    m_indexRevision = m_state.List3.revision();
}

void Harvester::getlinks_Click()
{
    m_state.setPanelText(1, QStringLiteral("Working..."));
    m_state.List4.clear();
    m_state.setHarvestRequested(true);
    refreshIndex();
    forEachVisibleView(m_host, [this](Browser &view) { harvestDocument(view.document()); });
    m_state.setPanelText(1, QStringLiteral("Done"));
    m_state.setPanelText(2, QStringLiteral("Found - %1 links").arg(m_state.listlinks.count()));
}

void Harvester::Picture241_MouseUp()
{
    m_state.listlinks.clear();
    m_state.List7.clear();
    m_state.List3.clear();
    getlinks_Click();
}

void Harvester::harvestDocument(const DocumentPtr &document)
{
    if (!document)
        return;
    if (document->bodyTagName == QLatin1String("BODY")) {
        refreshIndex();
        m_index.reserve(m_index.size() + document->links.size());
        m_state.provenance.reserveLinks(document->links.size());
        const QString keyword = m_state.Combo1.text;
        for (const HtmlLink &link : document->links) {
            const QString &address = link.href;
            if (address.isEmpty())
                continue;
            // One lookup for the common new link; a link passed over leaves the index as it was.
            const QString key = foldCase(address);
            const qsizetype known = m_index.size();
            m_index.insert(key);
            if (m_index.size() == known)
                continue;
            const QString &text = link.outerText.isEmpty() ? address : link.outerText;
            if (!isPageAddressAllowed(address, document->url)
                || (!keyword.isEmpty() && !address.contains(keyword, Qt::CaseInsensitive)
                    && !text.contains(keyword, Qt::CaseInsensitive))) {
                m_index.remove(key);
                continue;
            }
            m_state.List3.add(linkRow(address, text));
            m_state.listlinks.add(address);
            m_state.List7.add(address);
            m_state.provenance.addLink({address, link.outerText.isEmpty() ? link.imageAlt : link.outerText,
                                        link.rel, document->url});
            m_indexRevision = m_state.List3.revision();
        }
    }
    for (const DocumentPtr &frame : document->frames)
        harvestDocument(frame);
}

}  // namespace quorvane
