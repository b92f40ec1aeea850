#include "imagecollector.h"

#include "core/addressgate.h"
#include "core/collectionfile.h"
#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/windowstate.h"
#include "host/host.h"
#include "host/safefile.h"
#include "links/harvester.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <climits>
#include <utility>

namespace quorvane {

namespace {
const QLatin1String kFilterWords[] = {
    QLatin1String("secur"),   QLatin1String("edu"),     QLatin1String("member"), QLatin1String("mailto"),
    QLatin1String("/~"),      QLatin1String("support"), QLatin1String("signup"), QLatin1String("aggre"),
    QLatin1String("pl"),      QLatin1String("merchant")};

}  // namespace

ImageCollector::ImageCollector(WindowState &state, Host &host, const Config &config, Harvester &harvester,
                               QObject *parent)
    : QObject(parent),
      m_state(state),
      m_host(host),
      m_config(config),
      m_harvester(harvester),
      m_buffer(state.List2),
      m_links(state.listlinks),
      m_visited(state.listlinks2)
{
    if (Timer *timer = m_host.timer(TimerId::ImageWalkTimeout)) {
        timer->setInterval(PageTimeoutMs);
        connect(timer, &Timer::timeout, this, [this] { onWalkerTimeout(); });
    }
    if (Browser *imageReader = m_host.browser(BrowserId::ImageReader)) {
        connect(imageReader, &Browser::navigateComplete, this, [this](const QString &, bool top) { onWalkerComplete(top); });
        connect(imageReader, &Browser::documentComplete, this, [this](bool top) { onWalkerDocumentComplete(top); });
    }
    if (Browser *secondView = m_host.browser(BrowserId::SecondView)) {
        connect(secondView, &Browser::beforeNavigate, this, [this] { m_galleryShown = false; });
        connect(secondView, &Browser::navigateComplete, this,
                [this](const QString &, bool top) { onSecondViewNavigateComplete(top); });
        connect(secondView, &Browser::documentComplete, this, [this](bool top) { onSecondViewDocumentComplete(top); });
    }
}

void ImageCollector::bind(CommandTable &c)
{
    c.onButtonClick(QStringLiteral("Picture15"), [this] { Picture15_Click(); });
    c.onMenu(QStringLiteral("imagebuf"), [this] { imagebuf_Click(); });
    c.onMenu(QStringLiteral("cllearimagebuf"), [this] { cllearimagebuf_Click(); });
    c.onMenu(QStringLiteral("sreport"), [this] { sreport_Click(); });
    c.onPanelClick(4, [this] {
        if (!m_state.imageBufferShown())
            imagebuf_Click();
        else
            m_state.setImageBufferShown(false);
    });
    c.onPanelDoubleClick(5, [this] { cllearimagebuf_Click(); });
}

QString ImageCollector::spillFileName(int counter) const
{
    return QDir(m_config.programFolder).filePath(QStringLiteral("bufer%1.htm").arg(counter));
}

// An earlier run's spill files stay: numbering goes on after the highest one.
int ImageCollector::nextSpillNumber() const
{
    static const QRegularExpression pattern(QStringLiteral("^bufer(\\d{1,9})\\.htm$"));
    int next = m_state.bufferFileCounter();
    const QStringList names =
        QDir(m_config.programFolder).entryList({QStringLiteral("bufer*.htm")}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        // A number beyond the 16-bit counter is no spill file of ours; counting
        // it would stop spilling for good.
        if (const int n = match.hasMatch() ? match.captured(1).toInt() : -1; n >= 0 && n < SHRT_MAX)
            next = std::max(next, n + 1);
    }
    return next;
}

QString ImageCollector::imageTags(bool withUnrecorded) const
{
    QString tags;
    for (const QString &image : m_state.List2.items()) {
        if (withUnrecorded || !m_unrecorded.contains(image))
            tags += QLatin1String("<img src='") + escapeHtmlAttribute(image) + QLatin1String("'>");
    }
    return tags;
}

void ImageCollector::forgetUnrecordedImages()
{
    for (const QString &image : std::as_const(m_unrecorded))
        m_buffer.removeAll(m_state.List2, image);
    m_unrecorded.clear();
}

void ImageCollector::spill()
{
    const int number = nextSpillNumber();
    // The counter is 16-bit and must hold the next number too: past the last
    // one, a spill would wrap it and overwrite the last file. Keep the buffer.
    if (number >= SHRT_MAX) {
        m_state.setPanelText(2, QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(spillFileName(number))));
        return;
    }
    // A spill file outlives the session: an unrecorded one's pictures stay out.
    const QString text = QLatin1String("<html><body>") + imageTags(false) + QLatin1String("</body></html>\r\n");
    if (!writeFileAtomically(spillFileName(number), text.toUtf8())) {
        // Emptying the buffer now would lose it: it keeps growing, and the
        // next spill tries again with everything.
        m_state.setPanelText(2, QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(spillFileName(number))));
        return;
    }
    m_state.setBufferFileCounter(qint16(number + 1));
    m_state.List2.clear();
    m_unrecorded.clear();
}

void ImageCollector::addImage(const QString &address, const QString &page)
{
    // The spill comes first: the address arriving at a full buffer always
    // becomes the first entry of the emptied one.
    // After a failed spill, the next try comes another full buffer later.
    if (const qsizetype count = m_state.List2.count(); count > 0 && count % BufferCapacity == 0)
        spill();
    if (m_buffer.contains(address))
        return;
    m_buffer.add(m_state.List2, address);
    m_walkPictures += m_countingPictures ? 1 : 0;
    if (m_state.privateZone() && !m_state.keepPrivateRecord())
        m_unrecorded.insert(address);
    else if (!page.isEmpty())
        m_state.provenance.addImage(address, page);
}

void ImageCollector::removeImage(const QString &address)
{
    m_buffer.removeAll(m_state.List2, address);
}

void ImageCollector::addCollectedLink(const QString &address)
{
    for (const QLatin1String word : kFilterWords) {
        if (address.contains(word, Qt::CaseInsensitive))
            return;
    }
    if (m_links.contains(address) || m_visited.contains(address))
        return;
    m_links.add(m_state.listlinks, address);
}

void ImageCollector::collect(const DocumentPtr &document, bool shownPage)
{
    if (!document)
        return;
    if (document->bodyTagName == QLatin1String("BODY")) {
        for (const HtmlLink &link : document->links) {
            const QString &href = link.href;
            // Pages are hostile: nothing but what a view may open enters a list.
            if (!isPageAddressAllowed(href, document->url))
                continue;
            if (isPictureLink(href))
                addImage(href, document->url);
            else if (!shownPage || m_state.harvestRequested())
                addCollectedLink(href);
        }
        for (const QString &image : document->images) {
            if (isPageAddressAllowed(image, document->url))
                addImage(image, document->url);
        }
    }
    for (const DocumentPtr &frame : document->frames)
        collect(frame, shownPage);
    setCountPanels(!shownPage);
    if (shownPage)
        m_state.setHarvestRequested(false);
}

void ImageCollector::setCountPanels(bool linksToo)
{
    if (linksToo)
        m_state.setPanelText(2, QStringLiteral("Found - %1 links  ! ").arg(m_state.listlinks.count()));
    m_state.setPanelText(4, QStringLiteral("Found - %1 pictures ! ").arg(m_state.List2.count()));
}

void ImageCollector::collectDocumentImages(const DocumentPtr &document)
{
    collect(document, false);
    m_state.notify();
}

void ImageCollector::collectShownPageImages(const DocumentPtr &document)
{
    collect(document, true);
    m_state.notify();
}

void ImageCollector::collectShownPage()
{
    if (Browser *mainView = m_host.browser(BrowserId::MainView))
        collectShownPageImages(mainView->document());
}

void ImageCollector::Picture15_Click()
{
    m_harvester.getlinks_Click();
    m_walking = true;
    m_walkDone = 0;
    m_walkPictures = 0;
    m_state.progress.start(WorkProgress::Work::ImageWalk, m_state.listlinks.count());
    walkNextLink();
}

void ImageCollector::walkNextLink()
{
    m_awaitingDocument = false;
    Browser *imageReader = m_host.browser(BrowserId::ImageReader);
    if (!m_walking || !imageReader)
        return;
    while (!m_state.listlinks.isEmpty() && !isOpenableAddress(m_state.listlinks.at(0)))
        m_links.removeAll(m_state.listlinks, m_state.listlinks.at(0));
    if (m_state.listlinks.isEmpty()) {
        // The walk has reached its end: no page is left for the time-out to guard.
        m_walking = false;
        if (Timer *timer = m_host.timer(TimerId::ImageWalkTimeout))
            timer->setEnabled(false);
        showWalkProgress(false);
        m_state.progress.setPhase(WorkProgress::Work::ImageWalk, WorkProgress::Phase::Finished);
        return;
    }
    if (imageReader->busy())
        return;
    const QString next = m_state.listlinks.at(0);
    imageReader->navigate(next);
    if (Timer *timer = m_host.timer(TimerId::ImageWalkTimeout))
        timer->setEnabled(true);
    m_visited.add(m_state.listlinks2, next);
    m_state.setPanelText(1, imageReader->locationUrl());
    // By address: the navigation may have completed at once and moved the list on.
    m_links.removeAll(m_state.listlinks, next);
    // Unless the page completed at once and the walk moved on.
    if (m_walking && m_state.progress.active(WorkProgress::Work::ImageWalk))
        showWalkProgress(imageReader->busy());
    m_state.notify();
}

void ImageCollector::showWalkProgress(bool loading)
{
    const int left = m_state.listlinks.count() + (loading ? 1 : 0);
    m_state.progress.update(WorkProgress::Work::ImageWalk, m_walkDone, m_walkDone + left, m_walkPictures);
}

void ImageCollector::stopWalk()
{
    if (m_walking && m_state.progress.active(WorkProgress::Work::ImageWalk)) {
        showWalkProgress(true);
        m_state.progress.setPhase(WorkProgress::Work::ImageWalk, WorkProgress::Phase::Stopped);
        m_state.setPanelText(2, QStringLiteral("Image walk stopped - %1 links left").arg(m_state.listlinks.count()));
    }
    m_walking = false;
    m_awaitingDocument = false;
    if (Timer *timer = m_host.timer(TimerId::ImageWalkTimeout))
        timer->setEnabled(false);
}

void ImageCollector::onWalkerComplete(bool topLevel)
{
    if (!topLevel || !m_walking)
        return;
    Browser *imageReader = m_host.browser(BrowserId::ImageReader);
    const DocumentPtr document = imageReader->document();
    if (!document) {
        // QtWebEngine reads the page after reporting the navigation: its
        // document comes with document complete (or the time-out moves on).
        m_awaitingDocument = true;
        return;
    }
    finishWalkerPage(document);
}

void ImageCollector::onWalkerDocumentComplete(bool topLevel)
{
    if (!topLevel || !m_walking || !std::exchange(m_awaitingDocument, false))
        return;
    if (Browser *imageReader = m_host.browser(BrowserId::ImageReader))
        finishWalkerPage(imageReader->document());
}

void ImageCollector::finishWalkerPage(const DocumentPtr &document)
{
    ++m_walkDone;
    if (document) {
        m_countingPictures = true;
        collectDocumentImages(document);
        m_countingPictures = false;
        if (Browser *mainView = m_host.browser(BrowserId::MainView))
            mainView->stop();
        if (Browser *imageReader = m_host.browser(BrowserId::ImageReader))
            imageReader->closeDocument();
    }
    walkNextLink();
}

void ImageCollector::onWalkerTimeout()
{
    if (Timer *timer = m_host.timer(TimerId::ImageWalkTimeout))
        timer->setEnabled(false);
    if (Browser *imageReader = m_host.browser(BrowserId::ImageReader))
        imageReader->stop();
    ++m_walkDone;
    walkNextLink();
}

QString ImageCollector::galleryPage() const
{
    return QLatin1String("<html><body><font face='Verdana'><big><strong><big>Report</big></strong></big></font> "
                         "<ul><p>")
        + imageTags(true) + QLatin1String("</p></ul> </body> </html>");
}

QByteArray ImageCollector::savedBufferFile() const
{
    const QString text = QLatin1String("<html>\r\n\r\n<head><title>Image Buffer's contents</title></head><body>")
        + imageTags(true) + QLatin1String("</body>\r\n</html>\r\n");
    return text.toUtf8();
}

void ImageCollector::showImageGallery(Browser &view)
{
    view.writeDocument(galleryPage());
}

void ImageCollector::imagebuf_Click()
{
    Browser *mainView = m_host.browser(BrowserId::MainView);
    if (!mainView)
        return;
    if (m_state.imageBufferShown()) {
        mainView->goBack();
        m_state.setImageBufferShown(false);
    } else {
        mainView->closeDocument();
        showImageGallery(*mainView);
        m_state.setImageBufferShown(true);
    }
    m_state.notify();
}

void ImageCollector::cllearimagebuf_Click()
{
    m_state.List2.clear();
    m_state.setPanelText(4, QStringLiteral("Images'Listing is clear ! "));
}

void ImageCollector::sreport_Click()
{
    saveCollectionFile(m_host.services(), m_state.privateZone(), savedBufferFile());
}

void ImageCollector::onSecondViewNavigateComplete(bool topLevel)
{
    Browser *secondView = m_host.browser(BrowserId::SecondView);
    if (!secondView)
        return;
    if (secondView->isVisible() && !m_state.privateZone()) {
        m_state.setComboText(m_state.Combo2, secondView->locationUrl());
        m_state.setCaption(secondView->locationName());
        m_state.setPanelText(1, QStringLiteral("Working..."));
    }
    if (topLevel && !m_state.secondViewEventsConnected()) {
        m_state.setSecondViewEventsConnected(true);
    }
}

// The frames are collected with their page, when the page completes.
void ImageCollector::onSecondViewDocumentComplete(bool topLevel)
{
    if (!topLevel || !m_state.privateZone() || m_galleryShown)
        return;
    Browser *secondView = m_host.browser(BrowserId::SecondView);
    const DocumentPtr document = secondView ? secondView->document() : nullptr;
    // A written page (the gallery itself) reports about:blank, whichever order
    // the engine raises its events in.
    if (!document || document->url == QLatin1String("about:blank"))
        return;
    m_state.List2.clear();
    collectDocumentImages(document);
    secondView->stop();
    secondView->closeDocument();
    m_galleryShown = true;
    showImageGallery(*secondView);
}

}  // namespace quorvane
