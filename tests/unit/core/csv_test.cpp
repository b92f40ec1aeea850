#include "support/testfiles.h"
#include "core/csv.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvane;
using namespace quorvane::testing;

TEST(CsvWriter, QuotesWhatNeedsItAndDefusesFormulas)
{
    const struct {
        QString value;
        QByteArray written;
    } cases[] = {
        {QStringLiteral("plain"), "plain"}, {QString(), ""}, {QStringLiteral("a,b"), "\"a,b\""},
        {QStringLiteral("say \"hi\""), "\"say \"\"hi\"\"\""},
        {QStringLiteral("two\r\nlines"), "\"two\r\nlines\""},
        {QStringLiteral("lf\nonly"), "\"lf\nonly\""},
        {QStringLiteral("=1+2"), "'=1+2"}, {QStringLiteral("+1"), "'+1"}, {QStringLiteral("-5"), "'-5"},
        {QStringLiteral("@SUM(A1)"), "'@SUM(A1)"}, {QStringLiteral("\tx"), "'\tx"},
        {QStringLiteral("\rx"), "\"'\rx\""},
        {QStringLiteral("=HYPERLINK(\"http://x\",\"y\")"), "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {QStringLiteral("a=b"), "a=b"},  // only a leading sign starts a formula
        {QString::fromUtf8("nul\0byte", 8), "nulbyte"},
        {QString::fromUtf8("Привет"), "Привет"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        EXPECT_EQ(CsvWriter::field(c.value), c.written);
    }
}

TEST(CsvWriter, WritesBomHeaderAndCrLfRowsToFilesAndDevices)
{
    CsvWriter writer({QStringLiteral("address"), QStringLiteral("text")});
    writer.addRow({QStringLiteral("http://a.test/"), QStringLiteral("A, B")});
    writer.addRow({QStringLiteral("only one")});
    const QByteArray expected = "\xEF\xBB\xBF" "address,text\r\nhttp://a.test/,\"A, B\"\r\nonly one\r\n";
    EXPECT_EQ(writer.data(), expected);
    EXPECT_EQ(writer.rowCount(), 2);

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writer.writeTo(buffer));
    EXPECT_EQ(buffer.data(), expected);

    QTemporaryDir dir;
    EXPECT_TRUE(writer.save(dir.filePath(QStringLiteral("out.csv"))));
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("out.csv"))), expected);
    EXPECT_FALSE(writer.save(dir.filePath(QStringLiteral("no-folder/out.csv"))));
}

// What is written reads back as written, apart from the defusing apostrophe
// and the dropped NUL, however hostile the value.
TEST(CsvReader, ReadsBackWhatTheWriterWrote)
{
    const QString big = QString(1 << 20, u'x');
    const QStringList values = {
        QStringLiteral("\"\"\""), QStringLiteral("a\r\nb\nc\rd"), QStringLiteral(",,,"), big,
        QString::fromUtf8("\xF0\x9F\x98\x80 emoji"), QStringLiteral(" spaced "), QString(),
    };
    CsvWriter writer({QStringLiteral("value"), QStringLiteral("other")});
    for (const QString &value : values)
        writer.addRow({value, QStringLiteral("next")});
    writer.addRow({QStringLiteral("=cmd|' /C calc'!A0"), QString::fromUtf8("a\0b", 3)});

    const CsvTable table = readCsv(writer.data());
    ASSERT_TRUE(table.ok()) << table.errors.value(0).message.toStdString();
    EXPECT_EQ(table.header, (QStringList{"value", "other"}));
    ASSERT_EQ(table.records.size(), values.size() + 1);
    for (qsizetype i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table.records.at(i).cells, (QStringList{values.at(i), "next"}));
    }
    EXPECT_EQ(table.records.last().cells, (QStringList{"'=cmd|' /C calc'!A0", "ab"}));
    // Line numbers count the line breaks inside quoted fields.
    EXPECT_EQ(table.records.at(0).line, 2);
    EXPECT_EQ(table.records.at(2).line, 6);
}

TEST(CsvReader, TakesColumnsByNameAndReportsBadLines)
{
    const struct {
        const char *what;
        QByteArray data;
        QList<QStringList> records;
        QList<int> errorLines;
    } cases[] = {
        {"LF rows, no BOM, blank lines", "a,b\n1,2\n\n3,4", {{"1", "2"}, {"3", "4"}}, {}},
        {"bare quote in an unquoted field", "a,b\r\nsay \"x\",2\r\n", {{"say \"x\"", "2"}}, {}},
        {"short and long rows", "a,b\n1\n1,2,3\n", {{"1"}, {"1", "2", "3"}}, {}},
        {"empty last field", "a,b\n1,\n", {{"1", ""}}, {}},
        {"text after a closing quote", "a,b\n\"x\"y,2\n3,4\n", {{"3", "4"}}, {2}},
        {"quote never closed", "a,b\n1,2\n\"open,3\n4,5\n", {{"1", "2"}}, {3}},
        {"NUL dropped", QByteArray("a\n1\0" "2\n", 6), {{"12"}}, {}},
        {"bad UTF-8 replaced", "a\n\xff\n", {{QString(QChar::ReplacementCharacter)}}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const CsvTable table = readCsv(c.data);
        EXPECT_TRUE(table.fatal.isEmpty());
        QList<QStringList> records;
        for (const CsvRecord &record : table.records)
            records.append(record.cells);
        EXPECT_EQ(records, c.records);
        QList<int> lines;
        for (const CsvLineError &error : table.errors)
            lines.append(error.line);
        EXPECT_EQ(lines, c.errorLines);
    }

    const CsvTable table = readCsv("\xEF\xBB\xBF Address ,Text\nhttp://a.test/,A\n");
    EXPECT_EQ(table.column(QStringLiteral("address")), 0);
    EXPECT_EQ(table.missingColumns({"text", "rel", "address"}), QStringList{"rel"});
    EXPECT_EQ(table.value(table.records.at(0), QStringLiteral("TEXT")), QStringLiteral("A"));
    EXPECT_EQ(table.value(table.records.at(0), QStringLiteral("rel")), QString());
}

TEST(CsvReader, LimitsEndWithClearErrors)
{
    CsvLimits limits;
    limits.maxFieldBytes = 8;
    limits.maxFileBytes = 64;
    limits.maxColumns = 3;
    const CsvTable fields = readCsv("a\n123456789\n\"12345678\"\"\"\n1,2,3,4\nok\n", limits);
    ASSERT_EQ(fields.errors.size(), 3);
    EXPECT_EQ(fields.errors.at(0).line, 2);
    EXPECT_TRUE(fields.errors.at(0).message.contains(QStringLiteral("longer than 8 bytes")));
    EXPECT_EQ(fields.errors.at(1).line, 3);
    EXPECT_TRUE(fields.errors.at(2).message.contains(QStringLiteral("more than 3 fields")));
    ASSERT_EQ(fields.records.size(), 1);
    EXPECT_EQ(fields.records.at(0).cells, QStringList{"ok"});

    const CsvTable big = readCsv(QByteArray(65, 'a'), limits);
    EXPECT_FALSE(big.fatal.isEmpty());
    EXPECT_TRUE(big.records.isEmpty());

    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("big.csv")), QByteArray(65, 'a'));
    EXPECT_FALSE(readCsvFile(dir.filePath(QStringLiteral("big.csv")), limits).fatal.isEmpty());
    EXPECT_FALSE(readCsvFile(dir.filePath(QStringLiteral("missing.csv"))).fatal.isEmpty());
}
