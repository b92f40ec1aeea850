// Exports of the window's results with where they came from, on the fake
// host: harvest, find, image collection, then File > Export, read back.
#include "core/csv.h"
#include "core/provenance.h"
#include "exports/csvexports.h"
#include "exports/exportcommands.h"
#include "support/shellfixture.h"

#include <QBuffer>

using namespace quorvane;

namespace {
QList<QStringList> rowsOf(const QString &path)
{
    const CsvTable table = readCsvFile(path);
    EXPECT_TRUE(table.ok());
    QList<QStringList> rows = {table.header};
    for (const CsvRecord &record : table.records)
        rows.append(record.cells);
    return rows;
}

class ExportsTest : public ShellTest {
protected:
    QString exported(const char *menuName)
    {
        const QString path = folderFile(menuName) + QStringLiteral(".csv");
        answer({QStringLiteral("file:") + path});
        menu(menuName);
        return path;
    }
};
}  // namespace

TEST_F(ExportsTest, LinksCarryTheirTextRelAndSourcePage)
{
    mainView().load(QStringLiteral("http://src.test/page.htm"),
                    QStringLiteral("<a href='http://a.test/' rel='nofollow sponsored'>=SUM(1)</a>"
                                   "<a href='http://b.test/'><img src='b.png' alt='Bee, \"quoted\"'></a>"
                                   "<area href='http://c.test/' alt='map spot'>"
                                   "<a href='http://d.test/'></a>"));
    menu("getlinks");
    const QString path = exported("exportlinks");
    EXPECT_EQ(rowsOf(path), (QList<QStringList>{
                                {"address", "text", "rel", "source page"},
                                {"http://a.test/", "'=SUM(1)", "nofollow sponsored", "http://src.test/page.htm"},
                                {"http://b.test/", "Bee, \"quoted\"", "", "http://src.test/page.htm"},
                                {"http://c.test/", "map spot", "", "http://src.test/page.htm"},
                                {"http://d.test/", "", "", "http://src.test/page.htm"},
                            }));
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Exported 4 rows to ") + path);

    answer({QStringLiteral("file:") + folderFile("no-such-folder/x.csv")});
    menu("exportlinks");
    EXPECT_TRUE(m_state.panelText(1).startsWith(QStringLiteral("Could not write")));
}

// The e-mail finder's pages give their addresses, one row per address with
// its pages, and one row per page and address in the second view.
TEST_F(ExportsTest, EmailFinderListsDistinctAddressesWithTheirPages)
{
    for (const char *page : {"http://shop.test/a.htm", "http://shop.test/b.htm"})
        m_state.listlinks.add(QString::fromLatin1(page));
    menu("findemail");
    inet(1).complete("<a href='mailto:sales@shop.test'>x</a><a href='mailto:info%40shop.test?subject=hi'>y</a>"
                     "<img src='logo@2x.png'>");
    inet(2).complete("<title>Page not found</title><a href='MAILTO:Sales@Shop.Test'>x</a><p>one<p>two");
    EXPECT_EQ(rowsOf(exported("exportemails")),
              (QList<QStringList>{{"address", "pages", "page count"},
                                  {"sales@shop.test", "http://shop.test/a.htm\nhttp://shop.test/b.htm", "2"},
                                  {"info@shop.test", "http://shop.test/a.htm", "1"}}));
    EXPECT_EQ(rowsOf(exported("exportemailpages")),
              (QList<QStringList>{{"page", "address"},
                                  {"http://shop.test/a.htm", "sales@shop.test"},
                                  {"http://shop.test/a.htm", "info@shop.test"},
                                  {"http://shop.test/b.htm", "Sales@Shop.Test"}}));
    EXPECT_EQ(rowsOf(exported("exportfound")),
              (QList<QStringList>{{"address", "matching words", "paragraphs", "soft 404", "parked"},
                                  {"http://shop.test/a.htm", "mailto:", "0", "no", "no"},
                                  {"http://shop.test/b.htm", "mailto:", "2", "yes", "no"}}));

    menu("viewemails");
    EXPECT_TRUE(mainView().written().contains(QStringLiteral("<td>info@shop.test</td>")));
    EXPECT_EQ(m_state.panelText(2), QStringLiteral("Found - 2 e-mail addresses"));
    // Markup in an address or page never reaches the page as markup.
    const QString page = ExportCommands::emailsPage({{QStringLiteral("<b>x</b>@y.test"), {QStringLiteral("http://y.test/'><script>")}}});
    EXPECT_FALSE(page.contains(QStringLiteral("<script>")));
    EXPECT_FALSE(page.contains(QStringLiteral("<b>x")));
}

TEST_F(ExportsTest, ImagesKeepTheirPageAndTheSessionSurvivesARestart)
{
    mainView().load(QStringLiteral("http://pics.test/gallery.htm"),
                    QStringLiteral("<img src='http://pics.test/a.jpg'><a href='http://pics.test/b.gif'>b</a>"));
    EXPECT_EQ(rowsOf(exported("exportimages")),
              (QList<QStringList>{{"address", "source page"},
                                  {"http://pics.test/a.jpg", "http://pics.test/gallery.htm"},
                                  {"http://pics.test/b.gif", "http://pics.test/gallery.htm"}}));

    m_logic.Form_Unload();
    QTextStream out(stdout);
    QString errors;
    QTextStream err(&errors);
    const QString saved = folderFile("saved.csv");
    EXPECT_EQ(runExportCommand({"images", saved, "--program-folder", m_folder.path()}, QString(), out, err), 0);
    EXPECT_EQ(rowsOf(saved).size(), 3);
    const struct {
        QStringList arguments;
        int code;
    } bad[] = {
        {{"images"}, 2},
        {{"pictures", saved, "--program-folder", m_folder.path()}, 2},
        {{"report", saved, "--program-folder", m_folder.path()}, 2},
        {{"images", saved, "--program-folder", m_folder.path() + "/none"}, 2},
        {{"images", m_folder.path() + "/none/x.csv", "--program-folder", m_folder.path()}, 1},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.arguments.join(u' ').toStdString());
        EXPECT_EQ(runExportCommand(b.arguments, QString(), out, err), b.code);
    }
}

// What the program keeps between runs reads back exactly, however hostile.
TEST(ProvenanceFile, ReadsBackEveryKindExactly)
{
    const QString hostile = QStringLiteral("=cmd|' /C calc'!A0, \"quoted\"\r\nnext line");
    Provenance provenance;
    provenance.addLink({QStringLiteral("http://a.test/"), hostile, QStringLiteral("nofollow"), QStringLiteral("-page")});
    provenance.addLink({QStringLiteral("http://a.test/"), QStringLiteral("second sighting"), {}, {}});
    provenance.addFoundPage({QStringLiteral("http://f.test/"), {QStringLiteral("+kw"), QStringLiteral("two words")}, 3, {true, false}});
    provenance.addEmail(QStringLiteral("@x@y.test"), QStringLiteral("http://p.test/"));
    provenance.addImage(QStringLiteral("http://i.test/a.jpg"), hostile);
    Provenance read;
    ASSERT_TRUE(read.fromCsv(provenance.toCsv()));
    EXPECT_EQ(read.toCsv(), provenance.toCsv());
    ASSERT_TRUE(read.link(QStringLiteral("http://a.test/")));
    EXPECT_EQ(read.link(QStringLiteral("http://a.test/"))->text, hostile);
    EXPECT_EQ(read.foundPage(QStringLiteral("http://f.test/"))->words, (QStringList{"+kw", "two words"}));
    EXPECT_TRUE(read.foundPage(QStringLiteral("http://f.test/"))->clues.softNotFound);
    EXPECT_EQ(read.image(QStringLiteral("http://i.test/a.jpg"))->page, hostile);
    EXPECT_FALSE(read.fromCsv("not,a,provenance,file\n"));

    Provenance paused;
    paused.setPaused(true);
    paused.addLink({QStringLiteral("http://private.test/"), {}, {}, {}});
    EXPECT_TRUE(paused.links().isEmpty());
}
