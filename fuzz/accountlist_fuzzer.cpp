#include "links/accountlist.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

// A downloaded account list, decoded and cut at the read size as the window
// reads it. Every field must be text that stands in the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).left(12000);
    qsizetype taken = 0;
    for (const quorvane::Account &a : quorvane::parseAccountList(text)) {
        for (const QString *field : {&a.password, &a.searchListUrl, &a.channelListUrl, &a.startPage}) {
            if (!text.contains(*field))
                std::abort();
            taken += field->size();
        }
        // The brackets of a record: at least five characters besides its fields.
        taken += 5;
    }
    if (taken > text.size())
        std::abort();
    return 0;
}
