#pragma once

#include "pageclues.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace quorvane {

// Where the window's results came from, kept beside its lists (whose files
// and formats stay as they are) for the exports: the page a link was
// harvested from with its text and rel, the words a found page matched, the
// pages each e-mail address was seen on, the page each buffered image was
// collected on. Plain values by address, first sighting wins (a found page:
// the latest search), so that a journal can store them as they are.
class Provenance final {
public:
    // No more entries of one kind than this are kept, however long the run.
    static constexpr qsizetype MaxEntries = 200000;
    static constexpr char FileName[] = "provenance.csv";

    struct Link {
        QString address;
        QString text;
        QString rel;
        QString page;
    };
    struct FoundPage {
        QString address;
        QStringList words;
        int paragraphs = 0;
        PageClues clues;
    };
    struct Email {
        QString address;
        QString page;
    };
    struct Image {
        QString address;
        QString page;
    };

    // Work that adds entries later (found pages read off the window's thread)
    // is brought in by settle before anything is read, added or cleared, so
    // every caller sees the entries in the order they came.
    void setSettle(std::function<void()> settle) { m_settle = std::move(settle); }

    // While paused (the private zone without a record) nothing is added.
    void setPaused(bool paused)
    {
        settle();
        m_paused = paused;
    }
    bool paused() const { return m_paused; }

    void addLink(const Link &link);
    // Room for this many more links: a harvest of a large page then adds
    // each without growing the index again and again.
    void reserveLinks(qsizetype more);
    void addFoundPage(const FoundPage &page);
    // One row per distinct (address, page); addresses compare ignoring case.
    void addEmail(const QString &address, const QString &page);
    void addImage(const QString &address, const QString &page);

    const Link *link(const QString &address) const;
    const FoundPage *foundPage(const QString &address) const;
    const Image *image(const QString &address) const;
    const QList<Link> &links() const
    {
        settle();
        return m_links;
    }
    const QList<FoundPage> &foundPages() const
    {
        settle();
        return m_found;
    }
    const QList<Email> &emails() const
    {
        settle();
        return m_emails;
    }
    const QList<Image> &images() const
    {
        settle();
        return m_images;
    }

    void clearEmails();
    void clear();

    // One CSV file of every entry, by kind; load() replaces what is held and
    // skips rows it cannot take. False when the file cannot be written or read.
    QByteArray toCsv() const;
    bool fromCsv(QByteArrayView data);
    bool save(const QString &path) const;
    bool load(const QString &path);

private:
    void settle() const
    {
        if (m_settle)
            m_settle();
    }

    std::function<void()> m_settle;
    QList<Link> m_links;
    QHash<QString, qsizetype> m_linkIndex;
    QList<FoundPage> m_found;
    QHash<QString, qsizetype> m_foundIndex;
    QList<Email> m_emails;
    QHash<QString, qsizetype> m_emailIndex;  // folded address + "\n" + page
    QList<Image> m_images;
    QHash<QString, qsizetype> m_imageIndex;
    bool m_paused = false;
};

}  // namespace quorvane
