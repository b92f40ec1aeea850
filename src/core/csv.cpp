#include "csv.h"

#include "host/safefile.h"

#include <QFile>
#include <QIODevice>

namespace quorvane {

namespace {

constexpr char Bom[] = "\xEF\xBB\xBF";

bool startsFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

}  // namespace

CsvWriter::CsvWriter(const QStringList &header) : m_data(Bom)
{
    appendRow(header);
}

void CsvWriter::addRow(const QStringList &cells)
{
    appendRow(cells);
    ++m_rows;
}

void CsvWriter::appendRow(const QStringList &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            m_data += ',';
        m_data += field(cells.at(i), m_guard);
    }
    m_data += "\r\n";
}

QByteArray CsvWriter::field(const QString &value)
{
    return field(value, true);
}

QByteArray CsvWriter::field(const QString &value, bool guard)
{
    QString text = value;
    text.remove(QChar(u'\0'));
    if (guard && !text.isEmpty() && startsFormula(text.front()))
        text.prepend(u'\'');
    QByteArray bytes = text.toUtf8();
    const bool quoted = bytes.contains('"') || bytes.contains(',') || bytes.contains('\r') || bytes.contains('\n');
    if (!quoted)
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

bool CsvWriter::writeTo(QIODevice &device) const
{
    return device.write(m_data) == m_data.size();
}

bool CsvWriter::save(const QString &path) const
{
    return writeFileAtomically(path, m_data);
}

int CsvTable::column(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < header.size(); ++i) {
        if (header.at(i).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QStringList CsvTable::missingColumns(const QStringList &required) const
{
    QStringList missing;
    for (const QString &name : required) {
        if (column(name) < 0)
            missing.append(name);
    }
    return missing;
}

QString CsvTable::value(const CsvRecord &record, const QString &name) const
{
    const int index = column(name);
    return index >= 0 ? record.cells.value(index) : QString();
}

CsvTable readCsv(QByteArrayView data, const CsvLimits &limits)
{
    CsvTable table;
    if (data.size() > limits.maxFileBytes) {
        table.fatal = QStringLiteral("the file is larger than %1 bytes").arg(limits.maxFileBytes);
        return table;
    }
    if (data.startsWith(Bom))
        data = data.sliced(3);

    const qsizetype size = data.size();
    qsizetype pos = 0;
    int line = 1;
    bool first = true;
    while (pos < size) {
        const int recordLine = line;
        QStringList cells;
        QString problem;
        bool rowEnded = false;
        while (!rowEnded) {
            QByteArray field;
            bool tooLong = false;
            auto take = [&](char c) {
                if (c == '\0')
                    return;
                if (field.size() >= limits.maxFieldBytes) {
                    tooLong = true;
                    return;
                }
                field += c;
            };
            if (pos < size && data[pos] == '"') {
                ++pos;
                bool closed = false;
                while (pos < size) {
                    const char c = data[pos];
                    if (c == '"') {
                        if (pos + 1 < size && data[pos + 1] == '"') {
                            take('"');
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        closed = true;
                        break;
                    }
                    if (c == '\n')
                        ++line;
                    take(c);
                    ++pos;
                }
                if (!closed) {
                    table.errors.append({recordLine, QStringLiteral("a quoted field is never closed")});
                    return table;
                }
                if (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n' && problem.isEmpty())
                    problem = QStringLiteral("text after a closing quote");
            }
            // Unquoted text, or what follows a closing quote up to the separator.
            while (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n')
                take(data[pos++]);
            if (tooLong && problem.isEmpty())
                problem = QStringLiteral("a field is longer than %1 bytes").arg(limits.maxFieldBytes);
            if (cells.size() < limits.maxColumns)
                cells.append(QString::fromUtf8(field));
            else if (problem.isEmpty())
                problem = QStringLiteral("more than %1 fields").arg(limits.maxColumns);

            if (pos >= size) {
                rowEnded = true;
            } else if (data[pos] == ',') {
                ++pos;
            } else {
                pos += (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n') ? 2 : 1;
                ++line;
                rowEnded = true;
            }
        }
        if (!problem.isEmpty()) {
            table.errors.append({recordLine, problem});
            continue;
        }
        if (cells.size() == 1 && cells.front().isEmpty())
            continue;  // a blank line
        if (first) {
            table.header = cells;
            first = false;
        } else {
            table.records.append({recordLine, cells});
        }
    }
    return table;
}

CsvTable readCsvFile(const QString &path, const CsvLimits &limits)
{
    CsvTable table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        table.fatal = QStringLiteral("cannot read the file: %1").arg(file.errorString());
        return table;
    }
    if (file.size() > limits.maxFileBytes) {
        table.fatal = QStringLiteral("the file is larger than %1 bytes").arg(limits.maxFileBytes);
        return table;
    }
    // Reads one byte past the limit, for a file that grows meanwhile.
    const QByteArray data = file.read(limits.maxFileBytes + 1);
    return readCsv(data, limits);
}

}  // namespace quorvane
