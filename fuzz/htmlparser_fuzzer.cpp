#include "host/gumbo/htmlparser.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

// A fetched page as the text-only engine parses it, with every frame loading
// the same page again. Every link, image and text must come out bounded by the
// page: nothing may be read or written outside what the parser was given.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString url = QStringLiteral("http://fuzz.test/dir/page.htm");
    const quorvane::FrameLoader frames = [&](const QString &frameUrl, int depth) {
        return depth <= 2 ? quorvane::parseHtmlDocument(html, frameUrl, {}, depth) : nullptr;
    };
    const quorvane::DocumentPtr document = quorvane::parseHtmlDocument(html, url, frames);
    if (!document)
        std::abort();
    for (const quorvane::HtmlElement &element : document->all) {
        // Collapsed text never grows: at most the page's characters.
        if (element.outerText.size() > html.size())
            std::abort();
    }
    if (document->links.size() > document->all.size())
        std::abort();
    return 0;
}
