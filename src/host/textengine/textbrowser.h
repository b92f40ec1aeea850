#pragma once

#include "host/browser.h"
#include "host/transfer.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace quorvane {

// A browser that only reads: the page text comes through a Transfer, the
// document from the HTML parser, frames fetched and attached as documents.
// No images, scripts or style sheets are loaded, which makes it many times
// faster than a web engine for reading pages out of sight.
class TextBrowser final : public Browser {
    Q_OBJECT
public:
    using TransferFactory = std::function<std::unique_ptr<Transfer>()>;

    // A page or frame is read up to this size; the rest is never downloaded.
    static constexpr int MaxPageBytes = MaxReaderPageBytes;
    // Frame documents fetched for one page, at every depth together.
    static constexpr int MaxFrames = 32;
    // Characters of frame documents parsed for one page, all frames together.
    static constexpr qsizetype MaxFrameTextPerPage = 8 * 1024 * 1024;
    // Frames nested deeper than this stay without a document.
    static constexpr int MaxFrameDepth = 4;

    TextBrowser(QString name, TransferFactory transfers, QObject *parent = nullptr);
    ~TextBrowser() override;

    QString name() const override { return m_name; }
    void navigate(const QString &url) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    void stop() override;
    void runPageCommand(PageCommand) override {}

    QString locationName() const override;
    QString locationUrl() const override { return m_url; }
    bool busy() const override { return m_busy; }
    DocumentPtr document() const override { return m_busy ? nullptr : current(); }
    void closeDocument() override { m_writeOpen = false; }
    // Written text is parsed when the document is next read, not at each
    // write: rows written one by one cost one parse, not one per row.
    void writeDocument(const QString &html) override;
    // Written text parsed so far, in UTF-16 units.
    qint64 writtenCharsParsed() const { return m_writtenCharsParsed; }

    bool isVisible() const override { return m_visible; }
    void setVisible(bool visible) override { m_visible = visible; }

private:
    void load(const QString &url, bool addToHistory);
    void onPageFinished(const TransferResult &result);
    void onFrameFinished(Transfer *transfer, const TransferResult &result);
    // Parses the page with the frames read so far and fetches the frames it
    // names that are not read yet; finishes when none is left to fetch.
    void assemble();
    void finish(DocumentPtr document);
    Transfer *idleFrameTransfer();
    const DocumentPtr &current() const;

    QString m_name;
    TransferFactory m_factory;
    std::unique_ptr<Transfer> m_page;
    std::vector<std::unique_ptr<Transfer>> m_frameTransfers;

    bool m_visible = false;
    bool m_busy = false;
    bool m_addToHistory = false;
    quint64 m_generation = 0;
    QString m_url;
    QString m_pendingUrl;
    QString m_html;
    mutable DocumentPtr m_document;
    // Frame texts by address, and the frames that could not be read.
    QHash<QString, QString> m_frameTexts;
    QSet<QString> m_failedFrames;
    QHash<Transfer *, QString> m_frameFetches;
    int m_framesRequested = 0;

    QStringList m_history;
    int m_historyIndex = -1;

    bool m_writeOpen = false;
    QString m_written;
    mutable bool m_writtenUnparsed = false;
    mutable qint64 m_writtenCharsParsed = 0;
};

}  // namespace quorvane
