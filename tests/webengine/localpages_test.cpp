// Local pages the program wrote or the user opened show remote pictures, and
// their scripts still reach no remote server.
#include "eventlog.h"
#include "testsupport.h"

#include "support/testfiles.h"

#include "host/webengine/localpagepolicy.h"
#include "host/webengine/webenginebrowser.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEnginePage>

#include <atomic>

namespace quorvane {
namespace {

TEST(WebEngineLocalPages, ShowRemotePicturesButTheirScriptsReachNoServer)
{
    QTemporaryDir pictures;
    QImage red(8, 6, QImage::Format_RGB32);
    red.fill(QColor(Qt::red));
    ASSERT_TRUE(red.save(pictures.filePath(QStringLiteral("pic.png"))));
    std::atomic<int> beacons{0};
    LoopbackServer server(quickServer({{"/beacon", [&beacons] {
                                           ++beacons;
                                           return std::string("ok");
                                       }}},
                                      pictures.path().toStdString()));
    const QString picture = urlOf(server, "/pic.png");
    const QString beacon = urlOf(server, "/beacon");
    // The page tries every way a script reaches a server, and shows a picture.
    const QString body = QStringLiteral(
                             "<img id='p' src='%1'><script>"
                             "fetch('%2?fetch').catch(() => {});"
                             "fetch('%2?nocors', {mode: 'no-cors'}).catch(() => {});"
                             "const x = new XMLHttpRequest(); x.open('GET', '%2?xhr'); x.send();"
                             "navigator.sendBeacon('%2?send');"
                             "const s = document.createElement('script'); s.src = '%2?script'; document.head.appendChild(s);"
                             "</script>")
                             .arg(picture, beacon);

    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("saved.htm"));
    testing::writeBytes(file, QStringLiteral("<html><body>%1</body></html>").arg(body).toUtf8());

    const struct {
        const char *name;
        bool written;
    } cases[] = {{"a file opened", false}, {"a written page", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WebEngineBrowser browser(QStringLiteral("WebBrowser1"), WebEngineApp::profile(), true);
        EventLog log(&browser);
        if (c.written) {
            browser.writeDocument(body);
        } else {
            browser.navigate(QUrl::fromLocalFile(file).toString());
            ASSERT_TRUE(waitUntil([&] { return log.events().contains(QStringLiteral("document top")); }));
        }
        EXPECT_TRUE(waitUntil([&] {
            return runScript(browser.page(), QStringLiteral("(document.getElementById('p') || {}).naturalWidth"))
                       .toInt()
                == 8;
        })) << "the remote picture did not show";
        spin(500);
        EXPECT_EQ(beacons.load(), 0) << "a script of a local page reached the server";
        beacons = 0;
    }
}

TEST(WebEngineLocalPages, PolicyRefusesOnlyRemoteRequestsOfLocalPagesThatAreNoPictures)
{
    using Info = QWebEngineUrlRequestInfo;
    const struct {
        const char *page, *request;
        Info::ResourceType type;
        bool refused;
    } cases[] = {
        {"file:///s.htm", "http://x/p.png", Info::ResourceTypeImage, false},
        {"file:///s.htm", "https://x/a.css", Info::ResourceTypeStylesheet, false},
        {"file:///s.htm", "http://x/", Info::ResourceTypeMainFrame, false},  // a link followed
        {"file:///s.htm", "http://x/api", Info::ResourceTypeXhr, true},
        {"file:///s.htm", "http://x/a.js", Info::ResourceTypeScript, true},
        {"file:///s.htm", "ws://x/", Info::ResourceTypeWebSocket, true},
        {"about:blank", "http://x/b", Info::ResourceTypePing, true},
        {"file:///s.htm", "file:///a.js", Info::ResourceTypeScript, false},  // the shop's own scripts
        {"http://site/", "http://x/api", Info::ResourceTypeXhr, false},      // web pages as ever
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + c.request);
        EXPECT_EQ(LocalPagePolicy::refuses(QUrl(QString::fromLatin1(c.page)), QUrl(QString::fromLatin1(c.request)), c.type),
                  c.refused);
    }
}

}  // namespace
}  // namespace quorvane
