#pragma once

#include "htmldocument.h"

#include <QObject>
#include <QString>

namespace quorvane {

// One browser instance: a visible view or a hidden loader. Navigation is
// asynchronous; the document is a snapshot refreshed at each completed document.
class Browser : public QObject {
    Q_OBJECT
public:
    enum class PageCommand { SaveAs, Copy, SelectAll, Print, PageSetup };

    // What a hidden reader takes of one page's body, on either engine.
    static constexpr int MaxReaderPageBytes = 4 * 1024 * 1024;

    using QObject::QObject;
    ~Browser() override = default;

    virtual QString name() const = 0;  // "WebBrowser1", ...

    virtual void navigate(const QString &url) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void refresh() = 0;
    virtual void stop() = 0;
    virtual void runPageCommand(PageCommand command) = 0;

    virtual QString locationName() const = 0;  // title of the shown page
    virtual QString locationUrl() const = 0;
    virtual bool busy() const = 0;

    // Null while no document is readable (nothing loaded yet, or loading).
    virtual DocumentPtr document() const = 0;
    // Document.Close then Document.Write: a write after a close starts a new
    // document; further writes append to it. The text is HTML shown as written.
    virtual void closeDocument() = 0;
    virtual void writeDocument(const QString &html) = 0;

    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;

signals:
    void beforeNavigate(const QString &url);
    // The top-level navigation has committed: the new document starts to
    // arrive and url is the address it shows (after any redirect). Raised
    // once per load, before navigateComplete, which waits for the whole page.
    void navigationCommitted(const QString &url);
    // topLevel is false for a frame's navigation.
    void navigateComplete(const QString &url, bool topLevel);
    void downloadComplete();
    // Raised for each frame document (topLevel false) and then for the page.
    void documentComplete(bool topLevel);
    // Mouse events of the shown top-level document, with the source element.
    void documentMouseOver(const quorvane::HtmlElement &source);
    void documentMouseOut(const quorvane::HtmlElement &source);
    void documentDoubleClick(const quorvane::HtmlElement &source);
};

}  // namespace quorvane
