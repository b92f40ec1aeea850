#include "catalog.h"

#include "imagecollector.h"
#include "core/addressgate.h"
#include "core/collectionfile.h"
#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

Catalog::Catalog(WindowState &state, Host &host, ImageCollector &images, PictureTarget &generator, QObject *parent)
    : QObject(parent), m_state(state), m_host(host), m_images(images), m_generator(generator)
{
    // The handlers run only while their document events are connected.
    if (Browser *main = m_host.browser(BrowserId::MainView)) {
        connect(main, &Browser::documentMouseOver, this, [this](const HtmlElement &e) {
            if (m_state.mainViewEventsConnected())
                DocEvents_onmouseover(e);
        });
        connect(main, &Browser::documentMouseOut, this, [this](const HtmlElement &) {
            if (m_state.mainViewEventsConnected())
                DocEvents_onmouseout();
        });
        connect(main, &Browser::documentDoubleClick, this, [this](const HtmlElement &e) {
            if (m_state.mainViewEventsConnected())
                DocEvents_ondblclick(e);
        });
    }
    if (Browser *second = m_host.browser(BrowserId::SecondView)) {
        connect(second, &Browser::documentDoubleClick, this, [this](const HtmlElement &e) {
            if (m_state.secondViewEventsConnected())
                DocEvents5_ondblclick(e);
        });
    }
}

void Catalog::bind(CommandTable &c)
{
    c.onMenu(QStringLiteral("viewcatalo"), [this] { viewcatalo_Click(); });
    c.onMenu(QStringLiteral("clearcatalog"), [this] { clearcatalog_Click(); });
    c.onMenu(QStringLiteral("savecatalog"), [this] { savecatalog_Click(); });
}

QString Catalog::pictureTag(const QString &address)
{
    return QLatin1String("<img src='") + escapeHtmlAttribute(address) + QLatin1String("'>");
}

int Catalog::selectedCatalog() const
{
    const int k = m_state.Combo1.selected();
    return k >= 0 && k < WindowState::CatalogCount ? k : -1;
}

void Catalog::DocEvents_onmouseover(const HtmlElement &source)
{
    if (m_state.privateZone())
        return;
    m_state.setPanelText(1, QString());
    m_state.setPanelText(1, source.href);
}

void Catalog::DocEvents_onmouseout()
{
    m_state.setPanelText(1, QString());
}

bool Catalog::DocEvents_ondblclick(const HtmlElement &source)
{
    return doubleClick(source, true);
}

bool Catalog::DocEvents5_ondblclick(const HtmlElement &source)
{
    return doubleClick(source, false);
}

bool Catalog::doubleClick(const HtmlElement &source, bool mainView)
{
    // An element without an address (plain text, a picture that is no link)
    // puts nothing anywhere, but the user is still told to choose a catalog.
    // Neither does a script address: the page is hostile, the catalog and the
    // generator's pages are ours.
    const Browser *view = m_host.browser(mainView ? BrowserId::MainView : BrowserId::SecondView);
    const QString pageUrl = view ? view->locationUrl() : QString();
    const QString href = isPageAddressAllowed(source.href, pageUrl) ? source.href : QString();
    if (!href.isEmpty())
        m_images.removeImage(href);
    if (mainView && m_generator.acceptsPictures()) {
        if (!href.isEmpty())
            m_generator.takePicture(href);
    } else {
        const int k = m_state.Combo1.selected();
        if (!m_state.Combo1.text.isEmpty() && k < FillableCount) {
            if (k >= 0 && !href.isEmpty()) {
                m_state.catalogs[k] += pictureTag(href);
                if (m_state.privateZone() && !m_state.keepPrivateRecord())
                    m_unrecorded.append({k, pictureTag(href)});
            }
        } else {
            m_host.services().messageBox(mainView ? QStringLiteral(" Choose the catalog's name ,please !")
                                                  : QStringLiteral("Choose a catalig's name , please"),
                                         QString(), WindowServices::Buttons::Ok);
        }
    }
    m_state.notify();
    m_host.services().beep();
    return false;
}

bool Catalog::takesDoubleClicks() const
{
    const int k = m_state.Combo1.selected();
    return m_generator.acceptsPictures() || (!m_state.Combo1.text.isEmpty() && k >= 0 && k < FillableCount);
}

void Catalog::forgetUnrecordedPictures()
{
    for (const auto &[k, tag] : std::as_const(m_unrecorded)) {
        QString &catalog = m_state.catalogs[k];
        if (const qsizetype at = catalog.lastIndexOf(tag); at >= 0)
            catalog.remove(at, tag.size());
    }
    if (!m_unrecorded.isEmpty())
        m_state.notify();
    m_unrecorded.clear();
}

void Catalog::viewcatalo_Click()
{
    const int k = selectedCatalog();
    forEachVisibleView(m_host, [&](Browser &view) {
        view.closeDocument();
        view.writeDocument(QStringLiteral("<html><body>"));
        if (k >= 0)
            view.writeDocument(m_state.catalogs.at(k));
        view.writeDocument(QStringLiteral("</body></html>"));
    });
}

void Catalog::clearcatalog_Click()
{
    const int k = selectedCatalog();
    if (k < 0) {
        m_state.setPanelText(2, QStringLiteral("Choose the catalog's name first ! "));
        return;
    }
    m_state.catalogs[k].clear();
    m_state.setPanelText(2, QStringLiteral("Buffer ") + m_state.Combo1.text + QStringLiteral(" is clear"));
}

QByteArray Catalog::savedCatalogFile() const
{
    const int k = selectedCatalog();
    const QString text = QLatin1String("<html>\r\n\r\n<title>Catalog</title><body>")
        + (k >= 0 ? m_state.catalogs.at(k) : QString()) + QLatin1String("</body>\r\n</html>\r\n");
    return text.toUtf8();
}

void Catalog::savecatalog_Click()
{
    saveCollectionFile(m_host.services(), m_state.privateZone(), savedCatalogFile());
}

}  // namespace quorvane
