#pragma once

#include "core/provenance.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <deque>

namespace quorvane {

// What the exports tell of each found page (the words it matched, its
// paragraphs, soft-404 and parked clues, its e-mail addresses), read from the
// page's text on a thread of its own, so that a search finding thousands of
// pages does not spend the window's thread on them. The facts reach the
// provenance in the order the pages were found, before anything reads or adds
// to it: readers see the same entries, in the same order, as if each page
// had been read at once.
class FoundPageFacts final {
public:
    // Pages waiting at most: past this a new page waits for the ones before.
    static constexpr int MaxWaiting = 256;

    explicit FoundPageFacts(Provenance &provenance);
    ~FoundPageFacts();
    FoundPageFacts(const FoundPageFacts &) = delete;
    FoundPageFacts &operator=(const FoundPageFacts &) = delete;

    // text: what the search read of the page; words: the search words.
    void add(const QString &url, const QStringList &words, const QString &text);
    // Waits for the pages handed over and adds their facts to the provenance.
    void settle();

    struct Facts {
        Provenance::FoundPage page;
        QStringList emails;
    };
    static Facts read(const QString &url, const QStringList &words, const QString &text);

private:
    Provenance &m_provenance;
    QThreadPool m_pool;  // one thread: pages are read in the order found
    int m_waiting = 0;   // handed over and not yet added; the window's thread only
    QMutex m_mutex;
    std::deque<Facts> m_read;  // guarded by m_mutex
};

}  // namespace quorvane
