#include "provenance.h"

#include "csv.h"
#include "host/safefile.h"

#include <QFile>

#include <algorithm>

namespace quorvane {

namespace {
const QStringList fileColumns = {QStringLiteral("kind"),  QStringLiteral("address"), QStringLiteral("text"),
                                 QStringLiteral("rel"),   QStringLiteral("page"),    QStringLiteral("words"),
                                 QStringLiteral("paragraphs"), QStringLiteral("soft 404"), QStringLiteral("parked")};

template <typename Entry>
bool addEntry(QList<Entry> &list, QHash<QString, qsizetype> &index, const QString &key, const Entry &entry)
{
    if (list.size() >= Provenance::MaxEntries)
        return false;
    // One lookup: a new key comes in with the index it is about to get.
    const qsizetype known = index.size();
    qsizetype &slot = index[key];
    if (index.size() == known)
        return false;
    slot = list.size();
    list.append(entry);
    return true;
}

template <typename Entry>
const Entry *findEntry(const QList<Entry> &list, const QHash<QString, qsizetype> &index, const QString &key)
{
    const auto it = index.constFind(key);
    return it == index.cend() ? nullptr : &list.at(*it);
}
}  // namespace

void Provenance::addLink(const Link &link)
{
    settle();
    if (!m_paused && !link.address.isEmpty())
        addEntry(m_links, m_linkIndex, link.address, link);
}

void Provenance::reserveLinks(qsizetype more)
{
    // The index only: it grows by doubling either way, where a list's
    // reserve would copy it for every small harvest.
    m_linkIndex.reserve(std::min(m_links.size() + more, MaxEntries));
}

void Provenance::addFoundPage(const FoundPage &page)
{
    settle();
    if (m_paused || page.address.isEmpty())
        return;
    // A page found again by a later search tells of that search.
    if (const auto it = m_foundIndex.constFind(page.address); it != m_foundIndex.cend())
        m_found[*it] = page;
    else
        addEntry(m_found, m_foundIndex, page.address, page);
}

void Provenance::addEmail(const QString &address, const QString &page)
{
    settle();
    if (!m_paused && !address.isEmpty())
        addEntry(m_emails, m_emailIndex, address.toCaseFolded() + u'\n' + page, Email{address, page});
}

void Provenance::addImage(const QString &address, const QString &page)
{
    settle();
    if (!m_paused && !address.isEmpty())
        addEntry(m_images, m_imageIndex, address, Image{address, page});
}

const Provenance::Link *Provenance::link(const QString &address) const
{
    settle();
    return findEntry(m_links, m_linkIndex, address);
}

const Provenance::FoundPage *Provenance::foundPage(const QString &address) const
{
    settle();
    return findEntry(m_found, m_foundIndex, address);
}

const Provenance::Image *Provenance::image(const QString &address) const
{
    settle();
    return findEntry(m_images, m_imageIndex, address);
}

void Provenance::clearEmails()
{
    settle();
    m_emails.clear();
    m_emailIndex.clear();
}

void Provenance::clear()
{
    settle();
    const bool paused = m_paused;
    std::function<void()> settleHook = std::move(m_settle);
    *this = Provenance();
    m_paused = paused;
    m_settle = std::move(settleHook);
}

QByteArray Provenance::toCsv() const
{
    settle();
    CsvWriter writer(fileColumns);
    // Only the program reads this file back: cells stay exactly as they are.
    writer.setFormulaGuard(false);
    for (const Link &l : m_links)
        writer.addRow({QStringLiteral("link"), l.address, l.text, l.rel, l.page});
    for (const FoundPage &f : m_found) {
        writer.addRow({QStringLiteral("found"), f.address, {}, {}, {}, f.words.join(u'\n'),
                       QString::number(f.paragraphs), f.clues.softNotFound ? QStringLiteral("yes") : QString(),
                       f.clues.parked ? QStringLiteral("yes") : QString()});
    }
    for (const Email &e : m_emails)
        writer.addRow({QStringLiteral("email"), e.address, {}, {}, e.page});
    for (const Image &i : m_images)
        writer.addRow({QStringLiteral("image"), i.address, {}, {}, i.page});
    return writer.data();
}

bool Provenance::fromCsv(QByteArrayView data)
{
    const CsvTable table = readCsv(data);
    if (!table.fatal.isEmpty() || !table.missingColumns({QStringLiteral("kind"), QStringLiteral("address")}).isEmpty())
        return false;
    Provenance loaded;
    for (const CsvRecord &record : table.records) {
        const auto cell = [&](const char *name) { return table.value(record, QString::fromLatin1(name)); };
        const QString kind = cell("kind");
        if (kind == QLatin1String("link")) {
            loaded.addLink({cell("address"), cell("text"), cell("rel"), cell("page")});
        } else if (kind == QLatin1String("found")) {
            FoundPage page;
            page.address = cell("address");
            page.words = cell("words").split(u'\n', Qt::SkipEmptyParts);
            page.paragraphs = qMax(0, cell("paragraphs").toInt());
            page.clues.softNotFound = cell("soft 404") == QLatin1String("yes");
            page.clues.parked = cell("parked") == QLatin1String("yes");
            loaded.addFoundPage(page);
        } else if (kind == QLatin1String("email")) {
            loaded.addEmail(cell("address"), cell("page"));
        } else if (kind == QLatin1String("image")) {
            loaded.addImage(cell("address"), cell("page"));
        }
    }
    settle();
    loaded.m_paused = m_paused;
    loaded.m_settle = std::move(m_settle);
    *this = std::move(loaded);
    return true;
}

bool Provenance::save(const QString &path) const
{
    return writeFileAtomically(path, toCsv());
}

bool Provenance::load(const QString &path)
{
    const CsvLimits limits;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limits.maxFileBytes)
        return false;
    return fromCsv(file.read(limits.maxFileBytes));
}

}  // namespace quorvane
