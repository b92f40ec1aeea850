// The image buffer, its spill files, the three collectors and the buffer
// commands on the fake host.
#include "crawler/imagecollector.h"
#include "support/shellfixture.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>

using namespace quorvane;
using quorvane::testing::readBytes;

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

class ImageCollectorTest : public ShellTest {
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
};

TEST_F(ImageCollectorTest, FullBufferSpillsAfterAnEarlierRunsFilesAndKeepsTheBufferWhenItCannot)
{
    // A number the 16-bit counter cannot reach is somebody else's file.
    for (const char *name : {"bufer0.htm", "bufer1.htm", "bufer40000.htm"})
        quorvane::testing::writeBytes(folderFile(name), "earlier run");
    // A folder in the way of bufer2.htm: the write fails, as on a full disk.
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("bufer2.htm"));
    fill(0, 401);
    EXPECT_EQ(buffer().size(), 401);
    EXPECT_EQ(m_state.bufferFileCounter(), 0);
    EXPECT_TRUE(m_state.panelText(2).startsWith("Cannot write ")) << qPrintable(m_state.panelText(2));

    // The next try comes a full buffer later, with everything.
    ASSERT_TRUE(QDir(m_folder.path()).rmdir("bufer2.htm"));
    fill(401, 399);
    EXPECT_FALSE(QFile::exists(folderFile("bufer2.htm")));
    fill(800, 1);
    EXPECT_EQ(readBytes(folderFile("bufer2.htm")), spillOf(0, 800));
    EXPECT_EQ(readBytes(folderFile("bufer0.htm")), "earlier run");
    EXPECT_EQ(buffer(), QStringList{image(800)});
    EXPECT_EQ(m_state.bufferFileCounter(), 3);

    // A full buffer spills before the duplicate test: the repeated address is kept.
    fill(801, 799);
    images().addImage(image(801));
    EXPECT_TRUE(QFile::exists(folderFile("bufer3.htm")));
    EXPECT_EQ(buffer(), QStringList{image(801)});
    // The last number the counter holds is never written over: the buffer stays.
    quorvane::testing::writeBytes(folderFile("bufer32766.htm"), "last");
    fill(802, 400);
    EXPECT_EQ(readBytes(folderFile("bufer32766.htm")), "last");
    EXPECT_FALSE(QFile::exists(folderFile("bufer32767.htm")));
    EXPECT_EQ(buffer().size(), 401);
    EXPECT_TRUE(m_state.panelText(2).startsWith("Cannot write ")) << qPrintable(m_state.panelText(2));
}

TEST_F(ImageCollectorTest, DuplicatesAreExactAndHostileAddressesAreEscapedEverywhere)
{
    for (const char *a : {"http://a.test/x.png", "http://a.test/x.png", "http://a.test/X.png"})
        images().addImage(a);
    EXPECT_EQ(m_state.List2.count(), 2);

    m_state.List2.clear();
    images().addImage("http://e.test/'><script>alert(1)</script>.png");
    const QString gallery = images().galleryPage();
    const QString saved = QString::fromUtf8(images().savedBufferFile());
    fill(0, 400);  // spills
    for (const QString &text : {gallery, saved, QString::fromUtf8(readBytes(folderFile("bufer0.htm")))}) {
        EXPECT_FALSE(text.contains("<script>")) << qPrintable(text.left(200));
        EXPECT_TRUE(text.contains("http://e.test/&#39;&gt;&lt;script&gt;")) << qPrintable(text.left(200));
    }
}

TEST_F(ImageCollectorTest, ShownPageTakesImageLinksAndPicturesButOtherLinksOnlyAfterAHarvest)
{
    const QString html = "<body><a href='big.JPG'>a</a><a href='x.gifts.htm'>b</a><a href='next.htm'>c</a>"
                         "<img src='p.png'><img src='p.png'>";
    mainView().load("http://s.test/", html);
    EXPECT_EQ(buffer(), (QStringList{"http://s.test/big.JPG", "http://s.test/p.png", "http://s.test/x.gifts.htm"}));
    EXPECT_TRUE(m_state.listlinks.isEmpty());
    EXPECT_EQ(m_state.panelText(4), "Found - 3 pictures ! ");

    m_state.setHarvestRequested(true);
    mainView().load("http://s.test/again", html);
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://s.test/next.htm"});
    EXPECT_FALSE(m_state.harvestRequested());
}

TEST_F(ImageCollectorTest, LinkFilterDropsFilterWordsAndKnownAddresses)
{
    m_state.listlinks2.add("http://a.test/seen");
    // Filter words match in any case, inside other words too.
    for (const char *address : {"http://a.test/SECURE", "mailto:x@a.test", "http://a.test/~me", "http://a.test/apPLe.htm",
                                "http://a.test/seen", "http://a.test/new", "http://a.test/new"})
        images().addCollectedLink(address);
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://a.test/new"});

    // Other commands change the lists behind the collector's indexes.
    m_state.listlinks.clear();
    m_state.List2.add("http://a.test/i.png");
    images().addCollectedLink("http://a.test/new");
    images().addImage("http://a.test/i.png");
    EXPECT_EQ(m_state.listlinks.count(), 1);
    EXPECT_EQ(m_state.List2.count(), 1);
}

TEST_F(ImageCollectorTest, TimeOutMovesOnAndStopHaltsTheWalkUntilStartedAgain)
{
    mainView().load("http://w.test/", "<body><a href='a.htm'>a</a><a href='b.htm'>b</a><a href='c.htm'>c</a></body>");
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
    EXPECT_EQ(lastNavigation(walker()), "http://w.test/c.htm");
}

TEST_F(ImageCollectorTest, BufferIsShownAndLeftAgainSavedWithTheZonesFilterAndCleared)
{
    mainView().load("http://v.test/a", "<body></body>");
    mainView().load("http://v.test/b", "<body><img src='http://v.test/i.png'></body>");
    menu("imagebuf");
    EXPECT_EQ(mainView().written(), images().galleryPage());
    EXPECT_TRUE(mainView().written().contains("<img src='http://v.test/i.png'>"));
    menu("imagebuf");
    EXPECT_EQ(mainView().locationUrl(), "http://v.test/a");
    m_logic.panelClick(4);
    EXPECT_TRUE(m_state.imageBufferShown());
    m_logic.panelClick(4);
    EXPECT_FALSE(m_state.imageBufferShown());

    const QString path = folderFile("saved.htm");
    answer({"file:" + path});
    menu("sreport");
    EXPECT_EQ(readBytes(path), "<html>\r\n\r\n<head><title>Image Buffer's contents</title></head><body>"
                               "<img src='http://v.test/i.png'></body>\r\n</html>\r\n");
    m_state.setPrivateZone(true);
    menu("sreport");
    EXPECT_EQ(dialogs(), (QStringList{"save-file:HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf",
                                      "save-file:Private collection file (*.prv)|*.prv"}));

    m_logic.panelDoubleClick(5);
    EXPECT_TRUE(m_state.List2.isEmpty());
}

TEST_F(ImageCollectorTest, SecondViewFollowsTheWindowInPublicAndShowsTheGalleryInPrivate)
{
    showSecondView();
    secondView().load("http://q.test/", "<title>Q</title><body></body>");
    EXPECT_EQ(m_state.Combo2.text, "http://q.test/");
    EXPECT_EQ(m_state.caption(), "Q");
    EXPECT_TRUE(m_state.secondViewEventsConnected());

    m_state.setPrivateZone(true);
    images().addImage("http://old.test/o.png");
    secondView().load("http://p.test/", "<body><img src='1.png'><a href='next.htm'>n</a>");
    EXPECT_EQ(m_state.Combo2.text, "http://q.test/");
    EXPECT_EQ(buffer(), QStringList{"http://p.test/1.png"});
    EXPECT_EQ(secondView().written(), images().galleryPage());
    EXPECT_EQ(m_state.listlinks.items(), QStringList{"http://p.test/next.htm"});

    // Engines that report the written gallery as a completed document.
    images().addImage("http://p.test/2.png");
    emit secondView().documentComplete(true);
    emit secondView().navigateComplete("about:blank", true);
    emit secondView().documentComplete(true);
    emit secondView().beforeNavigate("about:blank");
    emit secondView().documentComplete(true);
    EXPECT_EQ(m_state.List2.count(), 2);
    EXPECT_EQ(secondView().stopCount(), 1);
}

}  // namespace
