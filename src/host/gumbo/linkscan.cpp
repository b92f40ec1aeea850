#include "linkscan.h"

#include "addressresolution.h"
#include "gumboarena.h"
#include "markuplimiter.h"
#include "nodewalk.h"
#include "plainmarkup.h"

#include <gumbo.h>

#include <vector>

namespace quorvane {

namespace {

using htmlparser::BaseUrl;

using htmlparser::childrenOf;

bool isHtmlTag(const GumboNode *node, GumboTag tag)
{
    return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag
        && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

QString attr(const GumboNode *node, const char *name)
{
    const GumboAttribute *a = gumbo_get_attribute(&node->v.element.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}

bool hasAttr(const GumboNode *node, const char *name)
{
    return gumbo_get_attribute(&node->v.element.attributes, name) != nullptr;
}

QStringList tokens(const QString &value, QChar extraSeparator = QChar())
{
    return htmlparser::attributeTokens(value, extraSeparator);
}

bool hidesText(const GumboNode *node)
{
    if (node->type != GUMBO_NODE_ELEMENT)
        return false;
    switch (node->v.element.tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_TEMPLATE:
        return true;
    default:
        return false;
    }
}

void appendCapped(QString &into, const char *utf8, qsizetype cap, bool separate = true)
{
    if (into.size() >= cap)
        return;
    into += QString::fromUtf8(utf8);
    if (separate)
        into += u' ';
    if (into.size() > cap)
        into.truncate(cap);
}

// The text and first image alt under an anchor, without recursion.
void anchorContent(const GumboNode *anchor, ScannedLink &link)
{
    QString text;
    htmlparser::forEachDescendant(anchor, [&](const GumboNode *child) {
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA) {
            appendCapped(text, child->v.text.text, 4096, false);
            return false;
        }
        if (child->type != GUMBO_NODE_ELEMENT || hidesText(child))
            return false;
        if (isHtmlTag(child, GUMBO_TAG_IMG) && link.imageAlt.isEmpty())
            link.imageAlt = attr(child, "alt").simplified();
        return true;
    });
    link.text = text.simplified();
}

}  // namespace

MarkupScan scanMarkup(const QString &html, const QString &url)
{
    if (std::optional<MarkupScan> plain = htmlparser::scanPlainMarkup(html, url))
        return std::move(*plain);
    return scanMarkupFully(html, url);
}

MarkupScan scanMarkupFully(const QString &html, const QString &url)
{
    MarkupScan scan;
    const QByteArray utf8 = htmlparser::limitMarkup(html.toUtf8());
    htmlparser::GumboArena arena;  // owns the output and everything in it
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    options.allocator = &htmlparser::GumboArena::allocate;
    options.deallocator = &htmlparser::GumboArena::deallocate;
    options.userdata = &arena;
    const GumboOutput *output = gumbo_parse_with_options(&options, utf8.constData(), size_t(utf8.size()));
    if (!output)
        return scan;

    // The first <base href> applies to every address of the page.
    BaseUrl base = htmlparser::makeBase(url);
    bool baseSeen = false;
    std::vector<const GumboNode *> elements;
    htmlparser::forEachDescendant(output->document, [&](const GumboNode *child) {
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_CDATA) {
            htmlparser::appendScanText(scan.text, QString::fromUtf8(child->v.text.text));
            return false;
        }
        if (child->type != GUMBO_NODE_ELEMENT)
            return false;
        if (child->v.element.tag_namespace == GUMBO_NAMESPACE_HTML) {
            if (!baseSeen && child->v.element.tag == GUMBO_TAG_BASE && hasAttr(child, "href")) {
                baseSeen = true;
                base = htmlparser::makeBase(htmlparser::resolveAgainst(base, attr(child, "href")));
            }
            if (child->v.element.tag == GUMBO_TAG_TITLE && scan.title.isEmpty()) {
                QString title;
                if (const GumboVector *kids = childrenOf(child)) {
                    for (unsigned i = 0; i < kids->length; ++i) {
                        const auto *kid = static_cast<const GumboNode *>(kids->data[i]);
                        if (kid->type == GUMBO_NODE_TEXT || kid->type == GUMBO_NODE_WHITESPACE)
                            appendCapped(title, kid->v.text.text, 4096);
                    }
                }
                scan.title = title.simplified();
            }
            elements.push_back(child);
        }
        return !hidesText(child);
    });
    htmlparser::finishScanText(scan.text);

    // Addresses resolve against the base wherever it stands in the page.
    bool headingIsH1 = false;
    for (const GumboNode *element : elements) {
        switch (element->v.element.tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_AREA: {
            if (!hasAttr(element, "href"))
                break;
            ScannedLink link;
            link.href = htmlparser::resolveAgainst(base, attr(element, "href").trimmed());
            link.rel = tokens(attr(element, "rel"));
            if (element->v.element.tag == GUMBO_TAG_AREA)
                link.imageAlt = attr(element, "alt").simplified();
            else
                anchorContent(element, link);
            scan.links.append(link);
            break;
        }
        case GUMBO_TAG_H1:
        case GUMBO_TAG_H2:
            if (scan.heading.isEmpty() || (element->v.element.tag == GUMBO_TAG_H1 && !headingIsH1)) {
                ScannedLink text;
                anchorContent(element, text);
                if (!text.text.isEmpty()) {
                    scan.heading = text.text;
                    headingIsH1 = element->v.element.tag == GUMBO_TAG_H1;
                }
            }
            break;
        case GUMBO_TAG_LINK:
            if (scan.canonical.isEmpty() && tokens(attr(element, "rel")).contains(QStringLiteral("canonical"))
                && hasAttr(element, "href"))
                scan.canonical = htmlparser::resolveAgainst(base, attr(element, "href").trimmed());
            break;
        case GUMBO_TAG_META: {
            const QString name = attr(element, "name").trimmed().toLower();
            if (name == u"robots" || name == u"googlebot")
                scan.robotsMeta += tokens(attr(element, "content"), u',');
            break;
        }
        default:
            break;
        }
    }
    scan.robotsMeta.removeDuplicates();
    return scan;
}

}  // namespace quorvane
