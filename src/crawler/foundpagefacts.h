#pragma once

#include "core/provenance.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QWaitCondition>

#include <deque>
#include <optional>
#include <vector>

class QThread;

namespace quorvane {

// What the exports tell of each found page (the words it matched, its
// paragraphs, soft-404 and parked clues, its e-mail addresses), read from the
// page's text on a thread of its own at idle priority, so that a search
// finding thousands of pages spends neither the window's thread nor the
// processor its transfers need on them. The facts reach the provenance in the
// order the pages were found, before anything reads or adds to it: readers
// see the same entries, in the same order, as if each page had been read at
// once. Whatever the thread has not read by then is read on the spot, so a
// busy machine that starves the thread never holds the window up.
class FoundPageFacts final {
public:
    // Text of pages waiting at most, in characters: past this the pages
    // waiting are read at once.
    static constexpr qsizetype MaxWaitingChars = 8 * 1024 * 1024;
    // While held, the thread sets to work once this much waits: the rest of
    // the limit is room for it to keep ahead of a search finding page after
    // page, so the search itself never stops to read them.
    static constexpr qsizetype HeldWaitingChars = MaxWaitingChars / 4 * 3;

    explicit FoundPageFacts(Provenance &provenance);
    ~FoundPageFacts();
    FoundPageFacts(const FoundPageFacts &) = delete;
    FoundPageFacts &operator=(const FoundPageFacts &) = delete;

    // text: what the search read of the page; words: the search words.
    void add(const QString &url, const QStringList &words, const QString &text);
    // While held (a search runs), the thread leaves the pages waiting until
    // HeldWaitingChars have gathered: the processor goes to the search
    // first, and the pages are read when it is over.
    void setHeld(bool held);
    // Adds the facts of every page handed over to the provenance.
    void settle();

    struct Facts {
        Provenance::FoundPage page;
        QStringList emails;
    };
    static Facts read(const QString &url, const QStringList &words, const QString &text);

private:
    struct Page {
        quint64 sequence = 0;
        QString url;
        QStringList words;
        QString text;
    };
    struct Read {
        quint64 sequence = 0;
        Facts facts;
    };
    void work();

    Provenance &m_provenance;
    QThread *m_thread = nullptr;
    // The window's thread only.
    quint64 m_nextSequence = 0;
    int m_waiting = 0;
    qsizetype m_waitingChars = 0;
    // Shared with the thread, under m_mutex.
    QMutex m_mutex;
    QWaitCondition m_wake;
    std::deque<Page> m_pages;
    qsizetype m_pagesChars = 0;
    bool m_held = false;
    std::optional<Page> m_reading;  // taken by the thread; reset when settle reads it itself
    std::vector<Read> m_read;
    bool m_sleeping = false;
    bool m_stop = false;
};

}  // namespace quorvane
