#include "crawler.h"

#include "foundreports.h"
#include "core/addressgate.h"
#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/windowstate.h"
#include "core/wordsearch.h"
#include "host/host.h"
#include "links/linksreports.h"
#include "links/pageanalysis.h"

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {
const QString missingLinksWarning =
    QStringLiteral("You need get links before, click on 'Links Editor' menu and next click 'Get Links'");
const QString warningTitle = QStringLiteral("Warning!!!");
}  // namespace

Crawler::Crawler(WindowState &state, Host &host)
    : m_state(state),
      m_host(host),
      m_analysis(std::make_unique<PageAnalysis>(state, host, [this] { readNextQueuedPage(); })),
      m_reports(std::make_unique<FoundReports>(state, host, [this] { readNextQueuedPage(); })),
      m_linksReports(std::make_unique<LinksReports>(state, host))
{
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Transfer *t = slotTransfer(slot))
            m_connections.append(QObject::connect(t, &Transfer::finished, t, [this, slot](const TransferResult &r) {
                onSlotFinished(slot, r);
            }));
        if (Timer *t = slotTimer(slot))
            m_connections.append(QObject::connect(t, &Timer::timeout, t, [this, slot] { onSlotTimeout(slot); }));
    }
    if (Timer *t = m_host.timer(TimerId::PageQueueTimeout))
        m_connections.append(QObject::connect(t, &Timer::timeout, t, [this] { onPageQueueTimeout(); }));
    if (Browser *reader = m_host.browser(BrowserId::PageReader)) {
        // The snapshot is readable once the top document has completed; frames complete before it.
        m_connections.append(QObject::connect(reader, &Browser::documentComplete, reader, [this](bool topLevel) {
            if (topLevel && !m_stoppingReport) {
                m_queuePage.clear();
                m_analysis->onReaderPageComplete();
            }
        }));
    }
}

Crawler::~Crawler()
{
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        QObject::disconnect(c);
}

void Crawler::bind(CommandTable &commands)
{
    commands.onMenu(QStringLiteral("readit"), [this] { readit_Click(); });
    commands.onMenu(QStringLiteral("findemail"), [this] { findemail_Click(); });
    commands.onMenu(QStringLiteral("findcontact"), [this] { findcontact_Click(); });
    commands.onMenu(QStringLiteral("readnext"), [this] { readnext_Click(); });
    m_analysis->bind(commands);
    m_reports->bind(commands);
    m_linksReports->bind(commands);
}

Transfer *Crawler::slotTransfer(int slot) const
{
    return m_host.transfer(readerSlot(slot));
}

Timer *Crawler::slotTimer(int slot) const
{
    return m_host.timer(readerTimeout(slot));
}

void Crawler::restart(Timer *timer)
{
    // Enabling an enabled timer keeps its old countdown; each fetch gets a full one.
    timer->setEnabled(false);
    timer->setEnabled(true);
}

QStringList Crawler::contactWords()
{
    return {QStringLiteral("contact"), QStringLiteral("mail"),    QStringLiteral("phone"),
            QStringLiteral("fax"),     QStringLiteral("address"), QStringLiteral("write"),
            QStringLiteral("people"),  QStringLiteral("stuff")};
}

bool Crawler::containsAnyWord(const QString &text, const QStringList &words)
{
    return std::any_of(words.cbegin(), words.cend(), [&](const QString &word) { return containsWord(text, word); });
}

QString Crawler::liveRow(const QString &url)
{
    return QLatin1String("<font face='Arial'><small><a href='") + escapeHtmlAttribute(url) + QLatin1String("'>")
         + escapeHtmlText(url) + QLatin1String("</a></small></font><br>");
}

bool Crawler::requireLinks()
{
    if (!m_state.listlinks.isEmpty())
        return true;
    m_host.services().messageBox(missingLinksWarning, warningTitle, WindowServices::Buttons::Ok);
    return false;
}

void Crawler::readit_Click()
{
    if (requireLinks() && !offerSearchResume())
        startKeywordSearch();
}

void Crawler::startKeywordSearch()
{
    m_state.setPanelText(1, QString());
    m_state.setPanelText(2, QString());
    m_state.setKeywordMode(true);
    if (m_state.Combo1.list.isEmpty()) {
        m_host.services().messageBox(QStringLiteral("You need enter keywords first!!!"), warningTitle,
                                     WindowServices::Buttons::Ok);
        m_state.requestFocus(QStringLiteral("Combo1"));
        return;
    }
    m_searchKind = QStringLiteral("keywords");
    dispatchFetches();
}

void Crawler::startFixedSearch(const QString &kind, const QStringList &words)
{
    if (!requireLinks() || offerSearchResume())
        return;
    m_searchKind = kind;
    m_state.Combo1.list.setItems(words);
    m_state.List1.clear();
    m_state.setPanelText(2, QString());
    dispatchFetches();
}

void Crawler::findemail_Click()
{
    startFixedSearch(QStringLiteral("email"), {QStringLiteral("mailto:")});
}

void Crawler::findcontact_Click()
{
    startFixedSearch(QStringLiteral("contact"), contactWords());
}

void Crawler::readnext_Click()
{
    // Reads the next queued page; an unread address is never dropped here.
    if (!offerReportResume())
        readNextQueuedPage();
}

bool Crawler::offerSearchResume()
{
    if (!std::exchange(m_searchInterrupted, false) || m_searchKind.isEmpty() || m_state.listlinks.isEmpty())
        return false;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Transfer *t = slotTransfer(slot); t && t->stillExecuting())
            return false;
    }
    const QString question = QStringLiteral("Go on with the %1 pages left of the interrupted search?")
                                 .arg(m_state.listlinks.count());
    if (m_host.services().messageBox(question, QStringLiteral("Question???"), WindowServices::Buttons::YesNo)
        != WindowServices::Answer::Yes)
        return false;
    // Its words and found pages are as the search left them.
    if (m_searchKind == QLatin1String("keywords"))
        m_state.setKeywordMode(true);
    dispatchFetches();
    return true;
}

bool Crawler::offerReportResume()
{
    if (!std::exchange(m_reportInterrupted, false) || m_queuePage.isEmpty())
        return false;
    Browser *reader = m_host.browser(BrowserId::PageReader);
    if (!reader || reader->busy())
        return false;
    const QString question = QStringLiteral("Go on with the %1 pages left of the interrupted report?")
                                 .arg(m_state.List4.count() + 1);
    const QString page = std::exchange(m_queuePage, QString());
    if (m_host.services().messageBox(question, QStringLiteral("Question???"), WindowServices::Buttons::YesNo)
        != WindowServices::Answer::Yes)
        return false;
    // The page that was loading when the run stopped is read first.
    m_state.List4.insert(0, page);
    readNextQueuedPage();
    return true;
}

QStringList Crawler::resumeState(ResumeItem item) const
{
    switch (item) {
    case ResumeItem::Search:
        return m_searchKind.isEmpty() ? QStringList() : QStringList{m_searchKind};
    case ResumeItem::ReaderPages: {
        QStringList pages;
        for (int slot = 1; slot <= SlotCount; ++slot) {
            if (!m_reading[slot].isEmpty())
                pages.append(m_reading[slot]);
        }
        return pages;
    }
    case ResumeItem::QueuePage:
        return m_queuePage.isEmpty() ? QStringList() : QStringList{m_queuePage};
    }
    return {};
}

void Crawler::restoreResumeState(ResumeItem item, const QStringList &values)
{
    switch (item) {
    case ResumeItem::Search:
        m_searchKind = values.value(0);
        m_searchInterrupted = !m_searchKind.isEmpty();
        break;
    case ResumeItem::ReaderPages:
        // They were not read to the end: they go back to be read.
        for (const QString &page : values)
            m_state.listlinks.add(page);
        break;
    case ResumeItem::QueuePage:
        m_queuePage = values.value(0);
        m_reportInterrupted = !m_queuePage.isEmpty();
        break;
    }
}

void Crawler::dispatchFetches()
{
    ListControl &links = m_state.listlinks;
    bool anyExecuting = false;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Transfer *t = slotTransfer(slot); t && t->stillExecuting())
            anyExecuting = true;
    }
    if (links.isEmpty() && !anyExecuting) {
        finishSearch();
        return;
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        Transfer *transfer = slotTransfer(slot);
        if (links.isEmpty() || !transfer || transfer->stillExecuting())
            continue;
        m_reading[slot] = links.at(0);
        transfer->execute(m_reading[slot], PageReadSize);
        if (Timer *timer = slotTimer(slot))
            restart(timer);
        if (!links.isEmpty())
            links.removeAt(0);
        m_state.setPanelText(1, transfer->url());
    }
    m_state.setPanelText(2, QStringLiteral("Left - %1 pages to read").arg(links.count()));
}

void Crawler::finishSearch()
{
    m_searchKind.clear();
    m_searchInterrupted = false;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Timer *timer = slotTimer(slot))
            timer->setEnabled(false);
    }
    m_state.listlinks.setItems(m_state.List1.items());
    const QString text = QStringLiteral("Found %1 links with Your Keywords. You may view report by click on "
                                        "'View Report' menu item.")
                             .arg(m_state.listlinks.count());
    const WindowServices::Answer answer = m_host.services().messageBox(
        text, QStringLiteral("Would You Like to see a report?"), WindowServices::Buttons::YesNo);
    if (answer == WindowServices::Answer::Yes)
        m_reports->viewreport_Click();
}

void Crawler::onSlotFinished(int slot, const TransferResult &result)
{
    Transfer *transfer = slotTransfer(slot);
    Timer *timer = slotTimer(slot);
    m_reading[slot].clear();
    if (result.complete()) {
        const QString text = transfer->readData(PageReadSize);
        if (timer)
            timer->setEnabled(false);
        if (!containsAnyWord(text, m_state.Combo1.list.items())) {
            dispatchFetches();
            return;
        }
        const QString &url = result.url;
        m_state.List1.add(url);
        m_state.setPanelText(2, QStringLiteral("Found - %1 pages").arg(m_state.List1.count()));
        if (m_state.keywordMode()) {
            if (Browser *main = m_host.browser(BrowserId::MainView))
                main->writeDocument(liveRow(url));
        }
        dispatchFetches();
    } else {
        // Every slot takes its next link at once rather than waiting for its time-out.
        transfer->cancel();
        if (timer)
            timer->setEnabled(false);
        dispatchFetches();
        readNextQueuedPage();
    }
}

void Crawler::onSlotTimeout(int slot)
{
    m_reading[slot].clear();
    if (Timer *timer = slotTimer(slot))
        timer->setEnabled(false);
    if (Transfer *transfer = slotTransfer(slot))
        transfer->cancel();
    dispatchFetches();
}

void Crawler::stopSearch()
{
    m_searchInterrupted = !m_searchKind.isEmpty();
    if (!m_queuePage.isEmpty()) {
        // The report run rests until Read next, which offers to go on with
        // the page it was loading. A completion the stop raises reads nothing.
        const QString page = m_queuePage;
        m_stoppingReport = true;
        if (Browser *reader = m_host.browser(BrowserId::PageReader))
            reader->stop();
        m_stoppingReport = false;
        if (Timer *timer = m_host.timer(TimerId::PageQueueTimeout))
            timer->setEnabled(false);
        m_queuePage = page;
        m_reportInterrupted = true;
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Timer *timer = slotTimer(slot))
            timer->setEnabled(false);
        if (!m_reading[slot].isEmpty())
            m_state.listlinks.add(std::exchange(m_reading[slot], QString()));
        if (Transfer *transfer = slotTransfer(slot))
            transfer->cancel();
    }
}

void Crawler::readNextQueuedPage()
{
    Browser *reader = m_host.browser(BrowserId::PageReader);
    ListControl &queue = m_state.List4;
    // The queue is filled from lists anyone's pages fed: a reader opens
    // nothing the address gate refuses.
    while (!queue.isEmpty() && !isOpenableAddress(queue.at(0)))
        queue.removeAt(0);
    if (queue.isEmpty() || !reader || reader->busy())
        return;
    const QString address = queue.at(0);
    m_queuePage = address;
    reader->navigate(address);
    m_state.setPanelText(1, address);
    if (Timer *timer = m_host.timer(TimerId::PageQueueTimeout))
        restart(timer);
    if (!queue.isEmpty())
        queue.removeAt(0);
    m_state.setPanelText(2, QStringLiteral("Left -%1pages to read").arg(queue.count()));
}

void Crawler::onPageQueueTimeout()
{
    if (Browser *reader = m_host.browser(BrowserId::PageReader))
        reader->stop();
    if (Timer *timer = m_host.timer(TimerId::PageQueueTimeout))
        timer->setEnabled(false);
    const QString timedOut = std::exchange(m_queuePage, QString());
    // Only the page that timed out is lost; it has already left the queue.
    if (m_state.List4.isEmpty()) {
        // Nothing is left to read, so nothing would ever print the rows read so far.
        m_analysis->printReport();
        return;
    }
    if (m_state.keywordMode()) {
        readNextQueuedPage();
        return;
    }
    // The run rests here until Read next; say so, or the last texts look like work going on.
    m_state.setPanelText(1, pageTimedOutText(timedOut));
}

QString Crawler::pageTimedOutText(const QString &page)
{
    return QStringLiteral("No answer from %1 in 30 s: choose Read next to go on").arg(page);
}

}  // namespace quorvane
