// The image buffer, its spill files, the three collectors and the buffer
// commands on the fake host.
#include "crawler/imagecollector.h"
#include "support/listsshell.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>

using namespace quorvane;
using quorvane::testing::readBytes;
using quorvane::testing::writeBytes;

namespace {

QString image(int n)
{
    return QStringLiteral("http://img.test/%1.png").arg(n, 4, 10, QLatin1Char('0'));
}

// A spill file holding the images from to to - 1.
QByteArray spillOf(int from, int to)
{
    QString text = QStringLiteral("<html><body>");
    for (int i = from; i < to; ++i)
        text += QStringLiteral("<img src='") + image(i) + QStringLiteral("'>");
    return (text + QStringLiteral("</body></html>\r\n")).toUtf8();
}

class ImageCollectorTest : public ListsShellTest {
protected:
    ImageCollector &images() { return m_logic.imageCollector(); }
    FakeBrowser &walker() { return m_host.fakeBrowser(BrowserId::ImageReader); }
    bool walkTimer() { return m_host.fakeTimer(TimerId::ImageWalkTimeout).enabled(); }
    QStringList buffer() const { return m_state.List2.items(); }
    void fill(int from, int count)
    {
        for (int i = from; i < from + count; ++i)
            images().addImage(image(i));
    }
    void walkTheSmallSite();
};

TEST_F(ImageCollectorTest, FullBufferSpillsAfterAnEarlierRunsFilesAndKeepsTheNewAddress)
{
    // A number the 16-bit counter cannot reach is somebody else's file.
    for (const char *name : {"bufer0.htm", "bufer1.htm", "bufer40000.htm"})
        writeBytes(folderFile(name), "earlier run");
    fill(0, 400);
    EXPECT_FALSE(QFile::exists(folderFile("bufer2.htm")));
    fill(400, 1);
    EXPECT_EQ(readBytes(folderFile("bufer2.htm")), spillOf(0, 400));
    EXPECT_EQ(readBytes(folderFile("bufer0.htm")), "earlier run");
    EXPECT_EQ(buffer(), QStringList{image(400)});
    EXPECT_EQ(m_state.bufferFileCounter(), 3);

    // A full buffer spills before the duplicate test: the repeated address is kept.
    fill(401, 399);
    images().addImage(image(401));
    EXPECT_TRUE(QFile::exists(folderFile("bufer3.htm")));
    EXPECT_EQ(buffer(), QStringList{image(401)});
}

TEST_F(ImageCollectorTest, AFailedSpillKeepsTheBufferAndTriesAgainAFullBufferLater)
{
    // A folder in the way of bufer0.htm: the write fails, as on a full disk.
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(QStringLiteral("bufer0.htm")));
    fill(0, 401);
    EXPECT_EQ(buffer().size(), 401);
    EXPECT_EQ(m_state.bufferFileCounter(), 0);
    EXPECT_TRUE(m_state.panelText(2).startsWith(QStringLiteral("Cannot write "))) << qPrintable(m_state.panelText(2));

    ASSERT_TRUE(QDir(m_folder.path()).rmdir(QStringLiteral("bufer0.htm")));
    fill(401, 399);
    EXPECT_EQ(buffer().size(), 800);
    fill(800, 1);
    EXPECT_EQ(readBytes(folderFile("bufer0.htm")), spillOf(0, 800));
    EXPECT_EQ(buffer(), QStringList{image(800)});
    EXPECT_EQ(m_state.bufferFileCounter(), 1);
}

TEST_F(ImageCollectorTest, DuplicatesAreExactAndHostileAddressesAreEscapedEverywhere)
{
    for (const char *a : {"http://a.test/x.png", "http://a.test/x.png", "http://a.test/X.png"})
        images().addImage(QString::fromLatin1(a));
    EXPECT_EQ(m_state.List2.count(), 2);

    m_state.List2.clear();
    images().addImage(QStringLiteral("http://e.test/'><script>alert(1)</script>.png"));
    const QString gallery = images().galleryPage();
    const QString saved = QString::fromUtf8(images().savedBufferFile());
    fill(0, 400);  // spills
    const QString escaped = QStringLiteral("http://e.test/&#39;&gt;&lt;script&gt;");
    for (const QString &text : {gallery, saved, QString::fromUtf8(readBytes(folderFile("bufer0.htm")))}) {
        EXPECT_FALSE(text.contains(QStringLiteral("<script>"))) << qPrintable(text.left(200));
        EXPECT_TRUE(text.contains(escaped)) << qPrintable(text.left(200));
    }
}

TEST_F(ImageCollectorTest, ShownPageTakesImageLinksAndPicturesButOtherLinksOnlyAfterAHarvest)
{
    const QString page = QStringLiteral(
        "<html><body><a href='http://s.test/big.JPG'>a</a><a href='http://s.test/x.gifts.htm'>b</a>"
        "<a href='http://s.test/next.htm'>c</a><img src='http://s.test/p.png'><img src='http://s.test/p.png'>"
        "</body></html>");
    mainView().load(QStringLiteral("http://s.test/"), page);
    EXPECT_EQ(buffer(), (QStringList{"http://s.test/big.JPG", "http://s.test/p.png", "http://s.test/x.gifts.htm"}));
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_EQ(m_state.panelText(4), QStringLiteral("Found - 3 pictures ! "));

    m_state.setHarvestRequested(true);
    mainView().load(QStringLiteral("http://s.test/again"), page);
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://s.test/next.htm"});
    EXPECT_FALSE(m_state.harvestRequested());
}

TEST_F(ImageCollectorTest, LinkFilterDropsFilterWordsAndKnownAddresses)
{
    for (const char *address : {"http://a.test/SECURE", "http://a.edu/", "http://a.test/members", "mailto:x@a.test",
                                "http://a.test/~me", "http://a.test/Support", "http://a.test/signup",
                                "http://a.test/aggregate", "http://a.test/apPLe.htm", "http://a.test/merchant"})
        images().addCollectedLink(QString::fromLatin1(address));
    EXPECT_TRUE(m_state.listlinks.isEmpty());

    m_state.listlinks2.add(QStringLiteral("http://a.test/seen"));
    for (const char *address : {"http://a.test/seen", "http://a.test/new", "http://a.test/new"})
        images().addCollectedLink(QString::fromLatin1(address));
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://a.test/new"});

    // Other commands change the lists behind the collector's indexes.
    m_state.listlinks.clear();
    m_state.List2.add(QStringLiteral("http://a.test/i.png"));
    images().addCollectedLink(QStringLiteral("http://a.test/new"));
    images().addImage(QStringLiteral("http://a.test/i.png"));
    EXPECT_EQ(m_state.listlinks.count(), 1);
    EXPECT_EQ(m_state.List2.count(), 1);
}

void ImageCollectorTest::walkTheSmallSite()
{
    m_host.web().setPage(QStringLiteral("http://w.test/a.htm"),
                         QStringLiteral("<body><img src='http://w.test/1.png'><a href='http://w.test/b.htm'>b</a>"
                                        "<a href='http://w.test/c.htm'>c</a></body>"));
    m_host.web().setPage(QStringLiteral("http://w.test/b.htm"),
                         QStringLiteral("<body><img src='http://w.test/1.png'><img src='http://w.test/2.png'>"
                                        "<a href='http://w.test/a.htm'>a</a></body>"));
    m_host.web().setPage(QStringLiteral("http://w.test/c.htm"), QStringLiteral("<body><a href='http://w.test/3.jpg'>3</a></body>"));
    mainView().load(QStringLiteral("http://w.test/"), QStringLiteral("<body><a href='http://w.test/a.htm'>a</a></body>"));

    click("Picture15");
    EXPECT_EQ(walker().navigations(), QStringList{"http://w.test/a.htm"});
    EXPECT_TRUE(walkTimer());
    EXPECT_TRUE(m_state.listlinks2.contains(QStringLiteral("http://w.test/a.htm")));
    EXPECT_TRUE(m_state.listlinks.isEmpty());

    while (walker().finishLoad()) {
    }
    EXPECT_EQ(walker().navigations().size(), 3);
    EXPECT_EQ(buffer(), (QStringList{"http://w.test/1.png", "http://w.test/2.png", "http://w.test/3.jpg"}));
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Found - 0 links  ! "));
    EXPECT_FALSE(images().walking());
    EXPECT_FALSE(walkTimer());
}

TEST_F(ImageCollectorTest, AutomaticCollectorWalksEveryLinkedPageOnceAndTakesEachImageOnce)
{
    walkTheSmallSite();
}

// On QtWebEngine the page is read after the navigation is reported.
TEST_F(ImageCollectorTest, AutomaticCollectorTakesADocumentThatComesWithDocumentComplete)
{
    walker().setDocumentLate(true);
    walkTheSmallSite();
}

TEST_F(ImageCollectorTest, TimeOutMovesOnAndStopHaltsTheWalkUntilStartedAgain)
{
    mainView().load(QStringLiteral("http://w.test/"),
                    QStringLiteral("<body><a href='http://w.test/a.htm'>a</a><a href='http://w.test/b.htm'>b</a>"
                                   "<a href='http://w.test/c.htm'>c</a></body>"));
    click("Picture15");
    m_host.clock().advance(30000);
    EXPECT_EQ(walker().navigations().size(), 2);

    click("Picture4");
    EXPECT_FALSE(walkTimer());
    EXPECT_FALSE(walker().finishLoad());
    m_host.clock().advance(60000);
    EXPECT_EQ(walker().navigations().size(), 2);
    EXPECT_EQ(m_state.listlinks.count(), 1);

    click("Picture15");
    EXPECT_EQ(lastNavigation(walker()), QStringLiteral("http://w.test/c.htm"));
}

TEST_F(ImageCollectorTest, ViewTwiceReturnsToThePageAndPanelsShowAndClearTheBuffer)
{
    mainView().load(QStringLiteral("http://v.test/a"), QStringLiteral("<body></body>"));
    mainView().load(QStringLiteral("http://v.test/b"), QStringLiteral("<body><img src='http://v.test/i.png'></body>"));
    menu("imagebuf");
    EXPECT_EQ(mainView().written(), images().galleryPage());
    EXPECT_TRUE(mainView().written().contains(QStringLiteral("<img src='http://v.test/i.png'>")));
    EXPECT_TRUE(m_state.imageBufferShown());
    menu("imagebuf");
    EXPECT_FALSE(m_state.imageBufferShown());
    EXPECT_EQ(mainView().locationUrl(), QStringLiteral("http://v.test/a"));

    m_logic.panelClick(4);
    EXPECT_TRUE(m_state.imageBufferShown());
    m_logic.panelClick(4);
    EXPECT_FALSE(m_state.imageBufferShown());

    m_logic.panelDoubleClick(5);
    EXPECT_TRUE(m_state.List2.isEmpty());
    EXPECT_EQ(m_state.panelText(4), QStringLiteral("Images'Listing is clear ! "));
}

TEST_F(ImageCollectorTest, SaveImageBufWritesTheFileByteForByteWithTheZonesFilter)
{
    images().addImage(QStringLiteral("http://a.test/1.png"));
    const QString path = folderFile("saved.htm");
    answer({"file:" + path});
    menu("sreport");
    EXPECT_EQ(readBytes(path), "<html>\r\n\r\n<head><title>Image Buffer's contents</title></head><body>"
                               "<img src='http://a.test/1.png'></body>\r\n</html>\r\n");
    m_state.setPrivateZone(true);
    menu("sreport");
    EXPECT_EQ(dialogs(), (QStringList{"save-file:HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf",
                                      "save-file:Private collection file (*.prv)|*.prv"}));
}

TEST_F(ImageCollectorTest, PrivateGalleryReplacesThePageAndNeverRebuildsFromItself)
{
    showSecondView();
    m_state.setPrivateZone(true);
    images().addImage(QStringLiteral("http://old.test/o.png"));
    secondView().load(QStringLiteral("http://p.test/"),
                      QStringLiteral("<body><img src='http://p.test/1.png'><a href='http://p.test/next.htm'>n</a></body>"));
    EXPECT_EQ(buffer(), QStringList{"http://p.test/1.png"});
    EXPECT_EQ(secondView().written(), images().galleryPage());
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://p.test/next.htm"});

    // Engines that report the written gallery as a completed document.
    images().addImage(QStringLiteral("http://p.test/2.png"));
    emit secondView().documentComplete(true);
    emit secondView().navigateComplete(QStringLiteral("about:blank"), true);
    emit secondView().documentComplete(true);
    emit secondView().beforeNavigate(QStringLiteral("about:blank"));
    emit secondView().documentComplete(true);
    EXPECT_EQ(m_state.List2.count(), 2);
    EXPECT_EQ(secondView().stopCount(), 1);
}

TEST_F(ImageCollectorTest, SecondViewNavigationUpdatesTheWindowOutsideThePrivateZone)
{
    showSecondView();
    secondView().load(QStringLiteral("http://q.test/"), QStringLiteral("<title>Q</title><body></body>"));
    EXPECT_EQ(m_state.Combo2.text, QStringLiteral("http://q.test/"));
    EXPECT_EQ(m_state.caption(), QStringLiteral("Q"));
    EXPECT_TRUE(m_state.secondViewEventsConnected());

    m_state.setPrivateZone(true);
    secondView().load(QStringLiteral("http://r.test/"), QStringLiteral("<title>R</title><body></body>"));
    EXPECT_EQ(m_state.Combo2.text, QStringLiteral("http://q.test/"));
}

}  // namespace
