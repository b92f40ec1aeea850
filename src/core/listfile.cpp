#include "listfile.h"

#include "listcontrol.h"
#include "host/safefile.h"

#include <QFile>
#include <QStringDecoder>

namespace quorvane {

namespace {
// The files are written as UTF-8; one written by hand or by an older program
// may be in the Windows code page. Read as UTF-8, its accented letters would
// become replacement characters and be saved so at the next shutdown.
QString decodeListBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}
}  // namespace

QString readListFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = decodeListBytes(file.readAll());
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

void splitListText(const QString &text, const std::function<void(const QString &)> &add)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1String("\r\n"), start);
        if (end < 0)
            end = text.size();
        if (end > start)
            add(text.mid(start, end - start));
        start = end + 2;
    }
}

QByteArray listFileRecord(const QStringList &items)
{
    QByteArray record("\"");
    for (const QString &item : items) {
        QByteArray bytes = item.toUtf8();
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
