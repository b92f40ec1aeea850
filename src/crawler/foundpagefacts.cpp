#include "foundpagefacts.h"

#include "core/emailaddress.h"
#include "core/pageclues.h"
#include "core/wordsearch.h"

#include <QMutexLocker>

#include <utility>

namespace quorvane {

FoundPageFacts::FoundPageFacts(Provenance &provenance) : m_provenance(provenance)
{
    m_pool.setMaxThreadCount(1);
    m_provenance.setSettle([this] { settle(); });
}

FoundPageFacts::~FoundPageFacts()
{
    settle();
    m_provenance.setSettle({});
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

void FoundPageFacts::add(const QString &url, const QStringList &words, const QString &text)
{
    // Paused now means nothing of this page is kept, whenever it is read.
    if (m_provenance.paused() || url.isEmpty())
        return;
    if (m_waiting >= MaxWaiting)
        settle();
    ++m_waiting;
    m_pool.start([this, url, words, text] {
        Facts facts = read(url, words, text);
        const QMutexLocker lock(&m_mutex);
        m_read.push_back(std::move(facts));
    });
}

void FoundPageFacts::settle()
{
    if (m_waiting == 0)
        return;
    m_pool.waitForDone();
    std::deque<Facts> read;
    {
        const QMutexLocker lock(&m_mutex);
        read.swap(m_read);
    }
    m_waiting = 0;
    for (const Facts &facts : read) {
        m_provenance.addFoundPage(facts.page);
        for (const QString &address : facts.emails)
            m_provenance.addEmail(address, facts.page.address);
    }
}

}  // namespace quorvane
