#include "links/sitelist.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

// A downloaded channel or search-engine list, decoded and cut at the read size
// as the window reads it. Every entry must be text that stands in the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).left(12000);
    qsizetype taken = 0;
    for (const quorvane::SiteEntry &entry : quorvane::parseSiteList(text)) {
        if (!text.contains(entry.name) || !text.contains(entry.address))
            std::abort();
        taken += entry.name.size() + entry.address.size() + 2;
    }
    if (taken > text.size())
        std::abort();
    return 0;
}
