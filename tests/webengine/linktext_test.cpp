#include "eventlog.h"
#include "testsupport.h"

#include "host/webengine/webenginebrowser.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineView>

#include <string>

namespace quorvane {
namespace {

// Links whose rendered text could differ from their characters: the snapshot
// reads the text content only where the two provably agree.
const char *const kTrickyLinks =
    "<a href='/1'>plain text</a>"
    "<a href='/2'>  leading and trailing  </a>"
    "<a href='/3'>two  blanks</a>"
    "<a href='/4'>line\nbreak</a>"
    "<a href='/5'>tab\there</a>"
    "<a href='/6'>no&nbsp;break&nbsp;space</a>"
    "<a href='/7'>soft&shy;hyphen</a>"
    "<a href='/8'>line<br>break element</a>"
    "<a href='/9'><b>bold</b> and <i>italic</i></a>"
    "<a href='/10' hidden>hidden link</a>"
    "<div hidden><a href='/11'>in a hidden block</a></div>"
    "<pre><a href='/12'>in  pre\n  formatted</a> <a href='/13'>pre plain</a></pre>"
    "<details><summary><a href='/14'>summary link</a></summary><a href='/15'>closed details</a></details>"
    "<details open><a href='/16'>open details</a></details>"
    "<noscript><a href='/17'>noscript</a></noscript>"
    "<map name='m'><area href='/18' alt='area'></map>"
    "<a href='/19'></a>"
    "<a href='/20'><img src='data:,' alt='picture'></a>"
    "<table><tr><td><a href='/21'>in a cell</a></td><td><a href='/22'>cell\n  two</a></td></tr></table>"
    "<ul><li><a href='/23'>list item</a></li></ul>"
    "<select><option><a href='/24'>in option</a></option></select>"
    "<textarea><a href='/25'>raw</a></textarea>"
    "<div hidden='until-found'><a href='/26'>until found</a></div>"
    "<div hidden='UNTIL-FOUND'><p>until found too</p></div>"
    "<dialog><a href='/27'>closed dialog</a></dialog>"
    "<a href='/28'>\xe2\x80\x83" "em\xe2\x80\x83space\xe2\x80\x83</a>"
    "<a href='/29'>wide\xe3\x80\x80space</a>"
    "<p>paragraph  text</p><p>plain paragraph</p><p>with <a href='/30'>a link</a> inside</p>"
    "<a name='no-href'>anchor  only</a>";

const char *const kStyles[] = {
    // No author style at all: the text content path.
    "",
    // Style sheets, a style attribute, a shadow tree slotting a link: the
    // rendered text throughout.
    "<style>a.up { text-transform: uppercase } .gone { display: none } pre { white-space: normal }</style>"
    "<a class='up' href='/s1'>shouted</a><a href='/s2'>shown<span class='gone'> not shown</span></a>",
    "<a href='/s3' style='text-transform: capitalize'>capital letters</a>",
    "<div id='host'><a href='/s4'>slotted link</a></div>"
    "<script>const root = document.getElementById('host').attachShadow({mode: 'open'});"
    "root.innerHTML = \"<span style='text-transform: uppercase'><slot></slot></span>\";</script>",
};

// The outerText of each link and of each P and A element, read in the page itself.
const char *const kDirectTexts =
    "JSON.stringify([Array.from(document.links, (l) => l.outerText),"
    " Array.from(document.querySelectorAll('p, a:not([href])'), (e) => e.outerText)])";

TEST(LinkText, SnapshotTextsEqualTheTextsThePageRenders)
{
    for (const char *styles : kStyles) {
        SCOPED_TRACE(styles);
        const std::string page = std::string("<!DOCTYPE html><html><body>") + styles + kTrickyLinks + "</body></html>";
        LoopbackServer server(quickServer({{"/links.html", [page] { return page; }}}));
        WebEngineBrowser browser(QStringLiteral("WebBrowser1"), WebEngineApp::profile(), true);
        browser.view()->resize(800, 600);
        browser.view()->show();
        EventLog log(&browser);
        browser.navigate(urlOf(server, "/links.html"));
        ASSERT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("document top")); }));
        const DocumentPtr doc = browser.document();
        ASSERT_NE(doc, nullptr);

        const QJsonArray direct = QJsonDocument::fromJson(
                                      runScript(browser.page(), QLatin1String(kDirectTexts)).toString().toUtf8())
                                      .array();
        const QJsonArray links = direct.at(0).toArray();
        ASSERT_EQ(doc->links.size(), links.size());
        ASSERT_GE(links.size(), 27);  // noscript, option and textarea hold no elements
        for (qsizetype i = 0; i < links.size(); ++i) {
            SCOPED_TRACE(doc->links[i].href.toStdString());
            EXPECT_EQ(doc->links[i].outerText, links.at(i).toString());
        }
        QStringList elementTexts;
        for (const HtmlElement &e : doc->all) {
            if (e.tagName == QLatin1String("P") || (e.tagName == QLatin1String("A") && e.href.isEmpty()))
                elementTexts.append(e.outerText);
        }
        QStringList expected;
        for (const QJsonValue &text : direct.at(1).toArray())
            expected.append(text.toString());
        EXPECT_EQ(elementTexts, expected);
    }
}

}  // namespace
}  // namespace quorvane
