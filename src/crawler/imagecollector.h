#pragma once

#include "listindex.h"
#include "core/config.h"
#include "host/htmldocument.h"

#include <QObject>
#include <QSet>
#include <QString>

namespace quorvane {

class Browser;
class CommandTable;
class Harvester;
class Host;
class Timer;
class WindowState;
struct Config;

// The image buffer List2 and its three collectors: the shown-page collector
// (Browser 1's completed pages), the automatic collector (Picture15: walks the
// links list in WebBrowser4, time-out Timer9) and the private gallery
// (Browser 2's pages in the private zone); View, Clear and Save image buf and
// Browser 2's completed navigations.
class ImageCollector final : public QObject {
    Q_OBJECT
public:
    static constexpr int BufferCapacity = 400;
    static constexpr int PageTimeoutMs = 30000;

    ImageCollector(WindowState &state, Host &host, const Config &config, Harvester &harvester,
                   QObject *parent = nullptr);

    void bind(CommandTable &commands);

    // page: where the image was collected, kept for the exports.
    void addImage(const QString &address, const QString &page = {});
    void addCollectedLink(const QString &address);
    void collectDocumentImages(const DocumentPtr &document);
    void collectShownPageImages(const DocumentPtr &document);
    // Browser 1's current document through the shown-page collector.
    void collectShownPage();

    void Picture15_Click();
    void walkNextLink();
    // Part of the Stop button, which stops WebBrowser4 itself: Timer9 off and
    // no further step until Picture15 starts a walk again.
    void stopWalk();
    // Drops from the buffer every picture an unrecorded private session
    // collected (the session ends, or the program closes during it).
    void forgetUnrecordedImages();
    bool walking() const { return m_walking; }

    void imagebuf_Click();
    void cllearimagebuf_Click();
    void sreport_Click();
    // Removes every buffer entry equal to address (a catalog took it).
    void removeImage(const QString &address);

    // Texts of the pages and files built from the buffer.
    QString galleryPage() const;
    QByteArray savedBufferFile() const;
    QString spillFileName(int counter) const;

private:
    void collect(const DocumentPtr &document, bool shownPage);
    void showImageGallery(Browser &view);
    void setCountPanels(bool linksToo);
    void spill();
    int nextSpillNumber() const;
    // Unrecorded private pictures go only into what the user sees or saves.
    QString imageTags(bool withUnrecorded) const;

    void onWalkerComplete(bool topLevel);
    void onWalkerDocumentComplete(bool topLevel);
    void finishWalkerPage(const DocumentPtr &document);
    void onWalkerTimeout();
    // The status bar's progress of the walk; loading: a page is on its way.
    void showWalkProgress(bool loading);
    void onSecondViewNavigateComplete(bool topLevel);
    void onSecondViewDocumentComplete(bool topLevel);

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
    Harvester &m_harvester;
    ListIndex m_buffer;
    ListIndex m_links;
    ListIndex m_visited;
    bool m_walking = false;
    bool m_awaitingDocument = false;  // the walked page's document is still to come
    // Pages of this walk done (read or timed out) and pictures it added.
    int m_walkDone = 0;
    int m_walkPictures = 0;
    bool m_countingPictures = false;
    // Browser 2 shows the gallery this collector wrote; cleared when the view
    // starts a navigation of its own, so the gallery is never collected again.
    bool m_galleryShown = false;
    // Pictures collected in the private zone without a record: never written
    // to a file, and forgotten when the session ends.
    QSet<QString> m_unrecorded;
};

}  // namespace quorvane
