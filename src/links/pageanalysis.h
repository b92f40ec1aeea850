#pragma once

#include "host/htmldocument.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// Turns pages into report rows of List3: the page shown in Browser 1 on
// "Add Link", and every page the page-queue reader completes in WebBrowser2.
// Every row built from page content is escaped for its place in the HTML.
class PageAnalysis final {
public:
    PageAnalysis(WindowState &state, Host &host, std::function<void()> readNextQueuedPage);

    void bind(CommandTable &commands);

    void addlink_Click();
    // WebBrowser2 has completed a page: analyse it, then read on or show the report.
    void onReaderPageComplete();
    // The end of the report run: the rows go into the main view as one table.
    void printReport();

    void analysePageWithQuestion(const DocumentPtr &document);
    void analysePageInBackground(const DocumentPtr &document);

    void addTitleRow(const DocumentPtr &document);
    void addDescriptionRow(const DocumentPtr &document);
    void addParagraphRows(const DocumentPtr &document);
    void addMailtoRows(const DocumentPtr &document);
    void addImageRow(const DocumentPtr &document);

    // The rows, from page texts and addresses as the page gives them.
    static QString titleRow(const QString &url, const QString &title);
    static QString descriptionRow(const QString &description);
    static QString paragraphRow(const QString &text);
    static QString mailtoRow(const QString &address, const QString &text);
    static QString imageRow(const QStringList &pictures);

    static QStringList addLinkWords();
    static constexpr int LongDescription = 1000;
    static constexpr int CutDescription = 500;

private:
    WindowState &m_state;
    Host &m_host;
    std::function<void()> m_readNextQueuedPage;
};

}  // namespace quorvane
