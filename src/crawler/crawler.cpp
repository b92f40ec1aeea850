#include "crawler.h"

#include "foundpagefacts.h"
#include "foundreports.h"
#include "core/addressgate.h"
#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/retryafter.h"
#include "core/windowstate.h"
#include "core/wordsearch.h"
#include "host/host.h"
#include "links/linksreports.h"
#include "links/pageanalysis.h"

#include <QDateTime>

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {
const QString missingLinksWarning =
    QStringLiteral("You need get links before, click on 'Links Editor' menu and next click 'Get Links'");
const QString warningTitle = QStringLiteral("Warning!!!");
// Entries of the links list looked at for one free slot: past them, a long
// run of one busy site waits rather than costing a scan per completion.
constexpr int MaxScan = 4096;
// The status panel the robots count goes to; panels 1 to 4 have their texts.
constexpr int RobotsPanel = 6;

WorkProgress::Work searchWork(const QString &kind)
{
    if (kind == QLatin1String("email"))
        return WorkProgress::Work::Email;
    if (kind == QLatin1String("contact"))
        return WorkProgress::Work::Contact;
    return kind.isEmpty() ? WorkProgress::Work::None : WorkProgress::Work::Keywords;
}
}  // namespace

Crawler::Crawler(WindowState &state, Host &host)
    : m_state(state),
      m_host(host),
      m_analysis(std::make_unique<PageAnalysis>(state, host, [this] { readNextQueuedPage(); })),
      m_foundFacts(std::make_unique<FoundPageFacts>(state.provenance)),
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
    if (Timer *t = m_host.timer(TimerId::Reserved8))
        m_connections.append(QObject::connect(t, &Timer::timeout, t, [this] { onTick(); }));
    if (Browser *reader = m_host.browser(BrowserId::PageReader)) {
        // The snapshot is readable once the top document has completed; frames complete before it.
        m_connections.append(QObject::connect(reader, &Browser::documentComplete, reader, [this](bool topLevel) {
            if (topLevel && !m_stoppingReport) {
                if (!std::exchange(m_queuePage, QString()).isEmpty())
                    ++m_reportDone;
                m_analysis->onReaderPageComplete();
                // The last page analysed prints the report: the run has ended.
                if (m_queuePage.isEmpty() && m_state.List4.isEmpty())
                    m_state.progress.setPhase(WorkProgress::Work::Report, WorkProgress::Phase::Finished);
                showReportProgress();
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
    beginSearchProgress();
    dispatchFetches();
}

void Crawler::startFixedSearch(const QString &kind, const QStringList &words)
{
    if (!requireLinks() || offerSearchResume())
        return;
    m_searchKind = kind;
    // The addresses listed beside the report are those of this search.
    if (kind == QLatin1String("email"))
        m_state.provenance.clearEmails();
    m_state.Combo1.list.setItems(words);
    m_state.List1.clear();
    m_state.setPanelText(2, QString());
    beginSearchProgress();
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
    beginSearchProgress();
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
    const auto anyExecuting = [this] {
        for (int slot = 1; slot <= SlotCount; ++slot) {
            if (Transfer *t = slotTransfer(slot); t && t->stillExecuting())
                return true;
        }
        return false;
    };
    if (links.isEmpty() && !anyExecuting() && !m_schedule.hasRetries()) {
        finishSearch();
        return;
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        Transfer *transfer = slotTransfer(slot);
        if (!transfer || transfer->stillExecuting())
            continue;
        bool robots = false;
        const QString address = takeNextAddress(&robots);
        if (address.isEmpty())
            break;
        startSlot(slot, address, robots);
        m_state.setPanelText(1, transfer->url());
    }
    m_state.setPanelText(2, QStringLiteral("Left - %1 pages to read").arg(links.count()));
    showSearchProgress();
    // Pages a robots file keeps out can empty the list with nothing started.
    if (links.isEmpty() && !anyExecuting() && !m_schedule.hasRetries()) {
        finishSearch();
        return;
    }
    armTick();
}

QString Crawler::takeNextAddress(bool *robots)
{
    *robots = false;
    if (QString retry = m_schedule.takeReadyRetry(); !retry.isEmpty())
        return retry;
    ListControl &links = m_state.listlinks;
    for (int i = 0; i < links.count() && i < MaxScan;) {
        const QString address = links.at(i);
        if (!m_schedule.allowedByRobots(address)) {
            links.removeAt(i);
            ++m_searchDone;
            ++m_robotsSkipped;
            showRobotsSkipped();
            continue;
        }
        if (m_schedule.needsRobots(address)) {
            *robots = true;
            return HostSchedule::robotsUrl(HostSchedule::siteOf(address));
        }
        if (m_schedule.mayStart(address)) {
            links.removeAt(i);
            return address;
        }
        ++i;
    }
    return {};
}

void Crawler::startSlot(int slot, const QString &address, bool robots)
{
    Transfer *transfer = slotTransfer(slot);
    const QString site = m_schedule.tracksSites() ? HostSchedule::siteOf(address) : QString();
    if (robots) {
        m_robotsSite[slot] = site;
        m_schedule.setRobotsFetching(site);
        transfer->execute(address, RobotsTxt::MaxBytes);
    } else {
        m_reading[slot] = address;
        transfer->execute(address, PageReadSize);
    }
    m_slotSite[slot] = site;
    m_schedule.started(site);
    if (Timer *timer = slotTimer(slot))
        restart(timer);
}

void Crawler::endSlot(int slot)
{
    m_reading[slot].clear();
    if (!m_robotsSite[slot].isEmpty())
        m_schedule.forgetRobotsFetch(std::exchange(m_robotsSite[slot], QString()));
    if (!m_slotSite[slot].isEmpty())
        m_schedule.ended(std::exchange(m_slotSite[slot], QString()));
}

void Crawler::armTick()
{
    Timer *tick = m_host.timer(TimerId::Reserved8);
    if (!tick)
        return;
    if (!m_schedule.waiting()) {
        if (tick->enabled())
            tick->setEnabled(false);
        return;
    }
    if (!tick->enabled()) {
        tick->setInterval(TickMs);
        tick->setEnabled(true);
    }
}

void Crawler::onTick()
{
    m_schedule.tick(TickMs);
    if (!m_state.listlinks.isEmpty() || m_schedule.hasRetries())
        dispatchFetches();
    else
        armTick();
}

void Crawler::showRobotsSkipped()
{
    m_state.setPanelText(RobotsPanel, QStringLiteral("Robots.txt - %1 pages skipped").arg(m_robotsSkipped));
}

void Crawler::beginSearchProgress()
{
    // A finder command given while its search runs goes on with the same count.
    m_foundFacts->setHeld(true);
    const WorkProgress::Work work = searchWork(m_searchKind);
    if (m_state.progress.active(work))
        return;
    m_searchDone = 0;
    m_searchFound = 0;
    m_state.progress.start(work, m_state.listlinks.count());
}

void Crawler::showSearchProgress()
{
    int left = m_state.listlinks.count() + m_schedule.retryCount();
    for (int slot = 1; slot <= SlotCount; ++slot)
        left += m_reading[slot].isEmpty() ? 0 : 1;
    m_state.progress.update(searchWork(m_searchKind), m_searchDone, m_searchDone + left, m_searchFound);
}

void Crawler::showReportProgress()
{
    const int left = m_state.List4.count() + (m_queuePage.isEmpty() ? 0 : 1);
    m_state.progress.update(WorkProgress::Work::Report, m_reportDone, m_reportDone + left, m_state.List3.count());
}

void Crawler::finishSearch()
{
    showSearchProgress();
    m_state.progress.setPhase(searchWork(m_searchKind), WorkProgress::Phase::Finished);
    m_foundFacts->setHeld(false);
    m_searchKind.clear();
    m_searchInterrupted = false;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Timer *timer = slotTimer(slot))
            timer->setEnabled(false);
    }
    // Robots rules and pauses are kept for one search.
    m_schedule.clear();
    m_robotsSkipped = 0;
    if (Timer *tick = m_host.timer(TimerId::Reserved8))
        tick->setEnabled(false);
    m_state.listlinks.setItems(m_state.List1.items());
    const QString text = QStringLiteral("Found %1 links with Your Keywords. You may view report by click on "
                                        "'View Report' menu item.")
                             .arg(m_state.listlinks.count());
    const WindowServices::Answer answer = m_host.services().messageBox(
        text, QStringLiteral("Would You Like to see a report?"), WindowServices::Buttons::YesNo);
    if (answer == WindowServices::Answer::Yes)
        m_reports->viewreport_Click();
}

void Crawler::onRobotsFinished(int slot, const TransferResult &result)
{
    const QString site = m_robotsSite[slot];
    const QString body = result.complete() ? slotTransfer(slot)->readData(RobotsTxt::MaxBytes) : QString();
    m_robotsSite[slot].clear();
    m_schedule.setRobots(site, RobotsTxt::fromFetch(result.status, body, slotTransfer(slot)->userAgent()));
    endSlot(slot);
    if (Timer *timer = slotTimer(slot))
        timer->setEnabled(false);
    dispatchFetches();
}

void Crawler::onSlotFinished(int slot, const TransferResult &result)
{
    if (!m_robotsSite[slot].isEmpty()) {
        onRobotsFinished(slot, result);
        return;
    }
    Transfer *transfer = slotTransfer(slot);
    Timer *timer = slotTimer(slot);
    const bool wasReading = !m_reading[slot].isEmpty();
    endSlot(slot);
    if (result.complete()) {
        const QString text = transfer->readData(PageReadSize);
        if (timer)
            timer->setEnabled(false);
        m_searchDone += wasReading ? 1 : 0;
        if (!containsAnyWord(text, m_state.Combo1.list.items())) {
            dispatchFetches();
            return;
        }
        const QString &url = result.url;
        m_searchFound += wasReading ? 1 : 0;
        m_state.List1.add(url);
        recordFoundPage(url, text);
        m_state.setPanelText(2, QStringLiteral("Found - %1 pages").arg(m_state.List1.count()));
        if (m_state.keywordMode()) {
            if (Browser *main = m_host.browser(BrowserId::MainView))
                main->writeDocument(liveRow(url));
        }
        dispatchFetches();
        return;
    }
    // A site that asks for time gets it: the page is read again after the
    // wait it names (capped), once, while the other slots go on.
    if ((result.status == 429 || result.status == 503) && result.headers.contains("Retry-After")) {
        const std::optional<int> seconds = retryAfterSeconds(
            result.headers.value("Retry-After"), QDateTime::currentDateTimeUtc(),
            m_schedule.politeness().retryAfterCapSeconds);
        if (seconds && m_schedule.deferRetry(result.url, *seconds * 1000)) {
            if (timer)
                timer->setEnabled(false);
            dispatchFetches();
            return;
        }
    }
    // Every slot takes its next link at once rather than waiting for its time-out.
    m_searchDone += wasReading ? 1 : 0;
    transfer->cancel();
    if (timer)
        timer->setEnabled(false);
    dispatchFetches();
    readNextQueuedPage();
}

void Crawler::recordFoundPage(const QString &url, const QString &text)
{
    // Only found pages pay for this, so a search over many misses costs no
    // more; and they pay off the window's thread.
    m_foundFacts->add(url, m_state.Combo1.list.items(), text);
}

void Crawler::onSlotTimeout(int slot)
{
    // A robots file that never came counts as an unreachable site.
    if (!m_robotsSite[slot].isEmpty())
        m_schedule.setRobots(std::exchange(m_robotsSite[slot], QString()), RobotsTxt::disallowAll());
    m_searchDone += m_reading[slot].isEmpty() ? 0 : 1;
    endSlot(slot);
    if (Timer *timer = slotTimer(slot))
        timer->setEnabled(false);
    if (Transfer *transfer = slotTransfer(slot))
        transfer->cancel();
    dispatchFetches();
}

void Crawler::stopSearch()
{
    m_foundFacts->setHeld(false);
    m_searchInterrupted = !m_searchKind.isEmpty();
    const bool searching = m_state.progress.active(searchWork(m_searchKind));
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
        showReportProgress();
        if (m_state.progress.active(WorkProgress::Work::Report)) {
            m_state.progress.setPhase(WorkProgress::Work::Report, WorkProgress::Phase::Stopped);
            // The "Left" text would look like a run still going.
            m_state.setPanelText(2, QStringLiteral("Report stopped - %1 pages left").arg(m_state.List4.count() + 1));
        }
    }
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (Timer *timer = slotTimer(slot))
            timer->setEnabled(false);
        if (!m_reading[slot].isEmpty())
            m_state.listlinks.add(m_reading[slot]);
        endSlot(slot);
        if (Transfer *transfer = slotTransfer(slot))
            transfer->cancel();
    }
    // Pages put back for later go back into the list, so a new Find reads them.
    for (const QString &url : m_schedule.takeAllRetries())
        m_state.listlinks.add(url);
    if (Timer *tick = m_host.timer(TimerId::Reserved8))
        tick->setEnabled(false);
    if (searching) {
        showSearchProgress();
        m_state.progress.setPhase(searchWork(m_searchKind), WorkProgress::Phase::Stopped);
        m_state.setPanelText(2, QStringLiteral("Search stopped - %1 pages left").arg(m_state.listlinks.count()));
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
    // A run starts here unless one waits or was stopped; a search keeps the bar.
    WorkProgress &progress = m_state.progress;
    const bool searching = progress.active(searchWork(m_searchKind));
    if (progress.work() == WorkProgress::Work::Report
        && (progress.phase() == WorkProgress::Phase::Waiting || progress.phase() == WorkProgress::Phase::Stopped)) {
        progress.setPhase(WorkProgress::Work::Report, WorkProgress::Phase::Running);
    } else if (!searching && !progress.active(WorkProgress::Work::Report)) {
        m_reportDone = 0;
        progress.start(WorkProgress::Work::Report, queue.count());
    }
    m_queuePage = address;
    reader->navigate(address);
    m_state.setPanelText(1, address);
    if (Timer *timer = m_host.timer(TimerId::PageQueueTimeout))
        restart(timer);
    if (!queue.isEmpty())
        queue.removeAt(0);
    m_state.setPanelText(2, QStringLiteral("Left -%1pages to read").arg(queue.count()));
    showReportProgress();
}

void Crawler::onPageQueueTimeout()
{
    if (Browser *reader = m_host.browser(BrowserId::PageReader))
        reader->stop();
    if (Timer *timer = m_host.timer(TimerId::PageQueueTimeout))
        timer->setEnabled(false);
    const QString timedOut = std::exchange(m_queuePage, QString());
    if (!timedOut.isEmpty())
        ++m_reportDone;
    // Only the page that timed out is lost; it has already left the queue.
    if (m_state.List4.isEmpty()) {
        // Nothing is left to read, so nothing would ever print the rows read so far.
        m_analysis->printReport();
        showReportProgress();
        m_state.progress.setPhase(WorkProgress::Work::Report, WorkProgress::Phase::Finished);
        return;
    }
    if (m_state.keywordMode()) {
        readNextQueuedPage();
        return;
    }
    // The run rests here until Read next; say so, or the last texts look like work going on.
    m_state.setPanelText(1, pageTimedOutText(timedOut));
    showReportProgress();
    m_state.progress.setPhase(WorkProgress::Work::Report, WorkProgress::Phase::Waiting);
}

QString Crawler::pageTimedOutText(const QString &page)
{
    return QStringLiteral("No answer from %1 in 30 s: choose Read next to go on").arg(page);
}

}  // namespace quorvane
