#include "foundpagefacts.h"

#include "core/emailaddress.h"
#include "core/pageclues.h"
#include "core/wordsearch.h"

#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <utility>

namespace quorvane {

FoundPageFacts::FoundPageFacts(Provenance &provenance) : m_provenance(provenance)
{
    m_provenance.setSettle([this] { settle(); });
    m_thread = QThread::create([this] { work(); });
    m_thread->setObjectName(QStringLiteral("found page facts"));
    m_thread->start(QThread::IdlePriority);
}

FoundPageFacts::~FoundPageFacts()
{
    settle();
    m_provenance.setSettle({});
    {
        const QMutexLocker lock(&m_mutex);
        m_stop = true;
        m_wake.wakeAll();
    }
    m_thread->wait();
    delete m_thread;
}

FoundPageFacts::Facts FoundPageFacts::read(const QString &url, const QStringList &words, const QString &text)
{
    Facts facts;
    facts.page.address = url;
    for (const QString &word : words) {
        if (containsWord(text, word) && !facts.page.words.contains(word))
            facts.page.words.append(word);
    }
    facts.page.paragraphs = paragraphCount(text);
    facts.page.clues = readPageClues(pageWordsFromHtml(url, text));
    facts.emails = mailtoAddressesIn(text);
    return facts;
}

void FoundPageFacts::work()
{
    QMutexLocker lock(&m_mutex);
    while (!m_stop) {
        if (m_pages.empty() || (m_held && m_pagesChars < HeldWaitingChars)) {
            m_sleeping = true;
            m_wake.wait(&m_mutex);
            m_sleeping = false;
            continue;
        }
        m_reading = std::move(m_pages.front());
        m_pages.pop_front();
        m_pagesChars -= m_reading->text.size();
        const Page page = *m_reading;
        lock.unlock();
        Facts facts = read(page.url, page.words, page.text);
        lock.relock();
        // Unless settle read it meanwhile.
        if (m_reading && m_reading->sequence == page.sequence) {
            m_read.push_back({page.sequence, std::move(facts)});
            m_reading.reset();
        }
    }
}

void FoundPageFacts::add(const QString &url, const QStringList &words, const QString &text)
{
    // Paused now means nothing of this page is kept, whenever it is read.
    if (m_provenance.paused() || url.isEmpty())
        return;
    if (m_waitingChars + text.size() > MaxWaitingChars)
        settle();
    ++m_waiting;
    m_waitingChars += text.size();
    const QMutexLocker lock(&m_mutex);
    m_pages.push_back({m_nextSequence++, url, words, text});
    m_pagesChars += text.size();
    // A thread at work takes the page when it is done: no call to the system per page.
    if (m_sleeping && (!m_held || m_pagesChars >= HeldWaitingChars))
        m_wake.wakeAll();
}

void FoundPageFacts::setHeld(bool held)
{
    const QMutexLocker lock(&m_mutex);
    m_held = held;
    if (!held && m_sleeping)
        m_wake.wakeAll();
}

void FoundPageFacts::settle()
{
    if (m_waiting == 0)
        return;
    std::deque<Page> unread;
    std::vector<Read> read;
    {
        const QMutexLocker lock(&m_mutex);
        if (m_reading) {
            unread.push_back(std::move(*m_reading));
            m_reading.reset();
        }
        while (!m_pages.empty()) {
            unread.push_back(std::move(m_pages.front()));
            m_pages.pop_front();
        }
        m_pagesChars = 0;
        read.swap(m_read);
    }
    for (const Page &page : unread)
        read.push_back({page.sequence, FoundPageFacts::read(page.url, page.words, page.text)});
    std::sort(read.begin(), read.end(), [](const Read &a, const Read &b) { return a.sequence < b.sequence; });
    m_waiting = 0;
    m_waitingChars = 0;
    for (const Read &r : read) {
        m_provenance.addFoundPage(r.facts.page);
        for (const QString &address : r.facts.emails)
            m_provenance.addEmail(address, r.facts.page.address);
    }
}

}  // namespace quorvane
