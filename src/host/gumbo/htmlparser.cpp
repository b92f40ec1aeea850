#include "htmlparser.h"

#include "addressresolution.h"
#include "documentwalk.h"
#include "gumboarena.h"
#include "markuplimiter.h"

#include <gumbo.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace quorvane {

DocumentPtr parseHtmlDocument(const QString &html, const QString &url, const FrameLoader &frames, int depth)
{
    const htmlparser::FrameBudgetScope frameBudget;

    const QByteArray utf8 = htmlparser::limitMarkup(html.toUtf8());
    htmlparser::GumboArena arena;  // owns the output and everything in it
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // the errors are never read
    options.allocator = &htmlparser::GumboArena::allocate;
    options.deallocator = &htmlparser::GumboArena::deallocate;
    options.userdata = &arena;
    const GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));

    auto document = std::make_shared<HtmlDocument>();
    document->url = url;
    document->domain = htmlparser::domainOf(url);
    if (!output)
        return document;
    htmlparser::walkDocument(*output, url, frames, depth, html.size(), *document);
    return document;
}

}  // namespace quorvane
