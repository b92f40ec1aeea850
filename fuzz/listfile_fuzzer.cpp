#include "core/listfile.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

// A list file as found on disk: any bytes, any mix of UTF-8, Windows-1252 and
// line ends. Entries are never empty, never hold a line end and are never
// longer than an address; written back and read again they are the same,
// but for a double quote (only an unquoted file can hold one), which is
// written percent-encoded.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList items;
    quorvane::splitListText(quorvane::listRecordText(bytes), [&items](const QString &item) {
        if (item.isEmpty() || item.contains(u'\r') || item.contains(u'\n')
            || item.size() > quorvane::MaxListEntryLength)
            std::abort();
        items.append(item);
    });
    for (QString &item : items)
        item.replace(u'"', QStringLiteral("%22"));
    QStringList again;
    quorvane::splitListText(quorvane::listRecordText(quorvane::listFileRecord(items)),
                            [&again](const QString &item) { again.append(item); });
    if (again != items)
        std::abort();
    return 0;
}
