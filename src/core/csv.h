#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace quorvane {

// CSV as RFC 4180 has it, in the form spreadsheets open directly: UTF-8 with
// a byte order mark, CR LF after every row, a header row first.
//
// Writing:
//   - a field holding a quote, comma, CR or LF is quoted, its quotes doubled;
//   - a field that begins with =, +, -, @, a tab or a CR gets a leading
//     apostrophe, so that a spreadsheet shows it as text instead of running
//     it as a formula (a page title "=HYPERLINK(...)" stays a title);
//   - NUL characters are dropped: spreadsheets cut a cell there, and no text
//     worth keeping holds one.
class CsvWriter final {
public:
    explicit CsvWriter(const QStringList &header);

    // For files only the program reads back (no spreadsheet opens them):
    // rows added after turning the guard off keep a leading = + - @ as is.
    void setFormulaGuard(bool on) { m_guard = on; }

    // Cells past the header's count are written too; missing ones are empty.
    void addRow(const QStringList &cells);
    int rowCount() const { return m_rows; }

    // The whole file: BOM, header, rows.
    const QByteArray &data() const { return m_data; }
    // False when the device takes less than everything.
    bool writeTo(QIODevice &device) const;
    // Whole or not at all (host/safefile.h): a failed save leaves the old file.
    bool save(const QString &path) const;

    // One field as written, without the row's separators.
    static QByteArray field(const QString &value);

private:
    void appendRow(const QStringList &cells);
    static QByteArray field(const QString &value, bool guard);

    QByteArray m_data;
    int m_rows = 0;
    bool m_guard = true;
};

struct CsvLimits {
    qsizetype maxFieldBytes = 4 * 1024 * 1024;
    qsizetype maxFileBytes = 256 * 1024 * 1024;
    int maxColumns = 1024;
};

// A problem with one record, by the line it starts on (1 is the first line).
struct CsvLineError {
    int line = 0;
    QString message;
};

struct CsvRecord {
    int line = 0;
    QStringList cells;
};

// What a CSV file says. Reading is lenient where no data is at risk (a bare
// quote inside an unquoted field stays as text, LF alone ends a row, a BOM is
// skipped, NUL is dropped, bad UTF-8 becomes U+FFFD) and reports a record it
// cannot take whole (text after a closing quote, a field or row past the
// limits, a quote never closed) as a line error instead of guessing.
class CsvTable final {
public:
    // An error for the whole file (too big, unreadable); then nothing else is set.
    QString fatal;
    QStringList header;
    QList<CsvRecord> records;
    QList<CsvLineError> errors;

    bool ok() const { return fatal.isEmpty() && errors.isEmpty(); }
    // The index of a header column, by name, ignoring case and surrounding
    // white space; -1 when the file has no such column.
    int column(const QString &name) const;
    // Those of the names the header lacks.
    QStringList missingColumns(const QStringList &required) const;
    // A record's cell by column name; empty when the column or cell is missing.
    QString value(const CsvRecord &record, const QString &name) const;
};

// The first non-empty record is the header.
CsvTable readCsv(QByteArrayView data, const CsvLimits &limits = {});
CsvTable readCsvFile(const QString &path, const CsvLimits &limits = {});

}  // namespace quorvane
