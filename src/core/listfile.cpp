#include "listfile.h"

#include "listcontrol.h"
#include "host/safefile.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

namespace quorvane {

namespace {
// The bytes of each entry read as Windows-1252, by its text: written back as
// they were, an entry nobody changed never turns into other bytes.
QHash<QString, QByteArray> &legacyEntries()
{
    static QHash<QString, QByteArray> entries;
    return entries;
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QString decodeEntry(const QByteArray &entry)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString decoded = utf8.decode(entry);
    if (!utf8.hasError())
        return decoded;
    QStringDecoder windows("windows-1252");
    decoded = windows.isValid() ? QString(windows.decode(entry)) : QString::fromLatin1(entry);
    legacyEntries().insert(decoded, entry);
    return decoded;
}

// The files are written as UTF-8; one written by hand or by an older program
// may be in the Windows code page. Each entry is decided on its own: one bad
// byte must not turn the file's valid UTF-8 entries into mojibake.
QString decodeListBytes(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && !isLineEnd(bytes.at(end)))
            ++end;
        // Only the record's own text is an entry, and a quote marks its ends:
        // each piece between quotes and line ends is decided on its own.
        const QList<QByteArray> parts = bytes.sliced(start, end - start).split('"');
        QString decoded;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                decoded += QLatin1Char('"');
            decoded += decodeEntry(parts.at(i));
        }
        text += decoded;
        while (end < bytes.size() && isLineEnd(bytes.at(end)))
            text += QLatin1Char(bytes.at(end++));
        start = end;
    }
    return text;
}
}  // namespace

QString readListFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return listRecordText(file.readAll());
}

QString listRecordText(const QByteArray &bytes)
{
    const QString text = decodeListBytes(bytes);
    if (text.startsWith(QLatin1Char('"'))) {
        const qsizetype end = text.indexOf(QLatin1Char('"'), 1);
        return end < 0 ? text.mid(1) : text.mid(1, end - 1);
    }
    qsizetype end = text.size();
    for (const QChar stop : {QLatin1Char(','), QLatin1Char('\r'), QLatin1Char('\n')}) {
        const qsizetype at = text.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    return text.left(end);
}

int splitListText(const QString &text, const std::function<void(const QString &)> &add)
{
    int skipped = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        if (end - start > MaxListEntryLength)
            ++skipped;
        else if (end > start)
            add(text.mid(start, end - start));
        // CR LF is one line end; a lone CR or LF is one too.
        start = end + (QStringView(text).mid(end, 2) == u"\r\n" ? 2 : 1);
    }
    return skipped;
}

QByteArray listFileRecord(const QStringList &items)
{
    QByteArray record("\"");
    const QHash<QString, QByteArray> &legacy = legacyEntries();
    for (const QString &item : items) {
        const auto it = legacy.constFind(item);
        QByteArray bytes = it != legacy.cend() ? *it : item.toUtf8();
        bytes.replace('"', "%22").replace('\r', "%0D").replace('\n', "%0A");
        record += bytes + "\r\n";
    }
    record += "\"\r\n";
    return record;
}

bool writeListFile(const QString &path, const QStringList &items)
{
    return writeFileAtomically(path, listFileRecord(items));
}

void addAddressEntry(ListControl &list, const QString &item)
{
    if (item.contains(QLatin1String("\r\n")))
        return;
    if (list.count() == 20)
        list.removeAt(19);
    if (list.contains(item))
        return;
    list.add(item);
}

void addUnique(ListControl &list, const QString &item)
{
    if (!list.contains(item))
        list.add(item);
}

}  // namespace quorvane
