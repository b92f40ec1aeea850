#pragma once

#include "core/picturetarget.h"
#include "host/htmldocument.h"

#include <QObject>
#include <QString>

namespace quorvane {

class Browser;
class CommandTable;
class Host;
class ImageCollector;
class WindowState;

// The 21 catalogs named by the keyword box entries: double-clicked links of
// either view are gathered into the selected one (or into the generator's
// picture field while Form2 is shown); View, Clear and Save catalog; and the
// hover address of Browser 1's links in status panel 1.
class Catalog final : public QObject {
    Q_OBJECT
public:
    // Catalogs 19 and 20 exist but never receive a picture.
    static constexpr int FillableCount = 19;

    Catalog(WindowState &state, Host &host, ImageCollector &images, PictureTarget &generator,
            QObject *parent = nullptr);

    void bind(CommandTable &commands);

    void DocEvents_onmouseover(const HtmlElement &source);
    void DocEvents_onmouseout();
    // Both return the event's result value: false.
    bool DocEvents_ondblclick(const HtmlElement &source);
    bool DocEvents5_ondblclick(const HtmlElement &source);

    void viewcatalo_Click();
    void clearcatalog_Click();
    void savecatalog_Click();

    static QString pictureTag(const QString &address);
    // Takes out of the catalogs every picture an unrecorded private session
    // put there.
    void forgetUnrecordedPictures();
    QByteArray savedCatalogFile() const;
    // Whether a double click on a link would file it now (a catalog entry is
    // chosen, or the generator takes pictures): the views then hold a link's
    // navigation for the double-click interval, so the second click can come.
    bool takesDoubleClicks() const;

private:
    bool doubleClick(const HtmlElement &source, bool mainView);
    // The selected keyword entry's catalog index, or -1 when none is selected.
    int selectedCatalog() const;

    WindowState &m_state;
    Host &m_host;
    ImageCollector &m_images;
    PictureTarget &m_generator;
    // (catalog, picture tag) filed in the private zone without a record.
    QList<QPair<int, QString>> m_unrecorded;
};

}  // namespace quorvane
