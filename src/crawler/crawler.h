#pragma once

#include "hostschedule.h"
#include "host/controls.h"
#include "host/transfer.h"

#include <QList>
#include <QMetaObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace quorvane {

class Browser;
class CommandTable;
class FoundPageFacts;
class FoundReports;
class Host;
class LinksReports;
class PageAnalysis;
class Timer;
class Transfer;
class WindowState;

// The background page reader: the keyword fetcher on the transfer slots
// Inet1 to Inet4 (time-outs Timer4 to Timer7), the page-queue reader on
// WebBrowser2 (time-out Timer3) and the finder commands that start them.
// It owns the report side too (page analysis, found-pages and links reports),
// as the reader and the reports hand work to each other.
class Crawler final {
public:
    static constexpr int SlotCount = ReaderSlotCount;
    static constexpr int PageReadSize = 32000;
    // How often time moves for pauses and put-back pages, on Timer8.
    static constexpr int TickMs = 100;

    Crawler(WindowState &state, Host &host);
    ~Crawler();
    Crawler(const Crawler &) = delete;
    Crawler &operator=(const Crawler &) = delete;

    void bind(CommandTable &commands);

    // Finder menu.
    void readit_Click();
    void findemail_Click();
    void findcontact_Click();
    void readnext_Click();

    // Hands the next links to idle slots, or finishes the search.
    void dispatchFetches();
    // Sends WebBrowser2 to the first address of the page queue.
    void readNextQueuedPage();
    // Halts the keyword search: cancels the slots and disarms their timers;
    // the links they were reading go back into the links list, so a new Find
    // resumes them.
    void stopSearch();

    // What an interrupted run needs to go on: the search under way (its kind),
    // the links the slots were reading, the page the page reader was loading.
    enum class ResumeItem { Search, ReaderPages, QueuePage };
    QStringList resumeState(ResumeItem item) const;
    // After a restart: the links being read go back into the links list, and
    // the next finder command or Read next offers to go on.
    void restoreResumeState(ResumeItem item, const QStringList &values);
    // Defaults keep the old behaviour: four requests to a site at once, no
    // pauses, no robots files; a 429 or 503 with Retry-After is read again.
    void setPoliteness(const Politeness &politeness) { m_schedule.setPoliteness(politeness); }
    const HostSchedule &schedule() const { return m_schedule; }
    // Pages a robots file kept the fetcher from, this search.
    int robotsSkipped() const { return m_robotsSkipped; }

    PageAnalysis &pageAnalysis() { return *m_analysis; }
    FoundReports &foundReports() { return *m_reports; }
    LinksReports &linksReports() { return *m_linksReports; }

    // The texts a page counts as found by.
    static QStringList contactWords();
    // Whether text (already cut to the read size) holds one of words, ignoring case.
    static bool containsAnyWord(const QString &text, const QStringList &words);
    static QString liveRow(const QString &url);
    // Panel 1 after a page of the report run timed out outside a keyword search.
    static QString pageTimedOutText(const QString &page);

private:
    void startKeywordSearch();
    void startFixedSearch(const QString &kind, const QStringList &words);
    bool requireLinks();
    void finishSearch();
    // Asks whether to go on with an interrupted search or report; true when
    // the user said Yes and it went on.
    bool offerSearchResume();
    bool offerReportResume();
    void onSlotFinished(int slot, const TransferResult &result);
    void onSlotTimeout(int slot);
    void onPageQueueTimeout();
    void onTick();
    // Keeps what the exports tell of a found page: the words it matched, its
    // paragraphs, soft-404 and parked clues, and its e-mail addresses.
    void recordFoundPage(const QString &url, const QString &text);
    // The next address a slot may fetch now: a page put back, a robots file
    // a site needs first, or the first links-list entry whose site is free.
    // Empty when none may start yet.
    QString takeNextAddress(bool *robots);
    void startSlot(int slot, const QString &address, bool robots);
    void endSlot(int slot);
    void onRobotsFinished(int slot, const TransferResult &result);
    void armTick();
    void showRobotsSkipped();
    // The status bar's progress of the search and of the report run.
    void beginSearchProgress();
    void showSearchProgress();
    void showReportProgress();

    Transfer *slotTransfer(int slot) const;
    Timer *slotTimer(int slot) const;
    static void restart(Timer *timer);

    WindowState &m_state;
    Host &m_host;
    std::unique_ptr<PageAnalysis> m_analysis;
    std::unique_ptr<FoundPageFacts> m_foundFacts;
    std::unique_ptr<FoundReports> m_reports;
    std::unique_ptr<LinksReports> m_linksReports;
    // The link each slot is reading, until it is read, dropped or failed: the
    // Stop button may cancel the transfers before stopSearch() runs.
    QString m_reading[SlotCount + 1];
    // The finder that started the search under way ("keywords", "email",
    // "contact"), until it finishes; whether Stop or a restart interrupted it.
    QString m_searchKind;
    bool m_searchInterrupted = false;
    // The queued page the page reader is loading, until it is read or dropped,
    // and whether Stop or a restart interrupted it.
    QString m_queuePage;
    bool m_reportInterrupted = false;
    bool m_stoppingReport = false;
    // The site each slot is reading from, and the site whose robots file it reads.
    QString m_slotSite[SlotCount + 1];
    QString m_robotsSite[SlotCount + 1];
    HostSchedule m_schedule;
    int m_robotsSkipped = 0;
    // Pages of this search read, dropped or skipped, and found; pages of the
    // report run read or dropped.
    int m_searchDone = 0;
    int m_searchFound = 0;
    int m_reportDone = 0;
    // Host signals bound to this object, undone when it goes before the host.
    QList<QMetaObject::Connection> m_connections;
};

}  // namespace quorvane
