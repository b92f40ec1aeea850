#include "documentwalk.h"

#include "addressresolution.h"
#include "nodewalk.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace quorvane::htmlparser {

namespace {

const std::array<QString, GUMBO_TAG_LAST + 1> &htmlTagNames()
{
    static const std::array<QString, GUMBO_TAG_LAST + 1> names = [] {
        std::array<QString, GUMBO_TAG_LAST + 1> table;
        for (int tag = 0; tag < GUMBO_TAG_LAST; ++tag)
            table[size_t(tag)] = QString::fromLatin1(gumbo_normalized_tagname(GumboTag(tag))).toUpper();
        return table;
    }();
    return names;
}

QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return text;
}

QString asciiLowerString(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

// The tag name as the DOM reports it: upper case for HTML elements, as
// written (lower or SVG camel case) for SVG and MathML ones.
QString tagNameOf(const GumboElement &element)
{
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML && element.tag != GUMBO_TAG_UNKNOWN)
        return htmlTagNames()[size_t(element.tag)];
    QByteArray lower;
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        lower = gumbo_normalized_tagname(element.tag);
    } else {
        GumboStringPiece piece = element.original_tag;
        if (piece.data && piece.length >= 2 && piece.data[0] == '<' && piece.data[piece.length - 1] == '>')
            gumbo_tag_from_original_text(&piece);
        else
            piece = {nullptr, 0};
        lower = QByteArray(piece.data, qsizetype(piece.length)).toLower();
    }
    // original_tag is a slice of the UTF-8 input: its length counts bytes.
    const QString name = QString::fromUtf8(lower);
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML)
        return asciiUpper(name);
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG) {
        const GumboStringPiece piece{lower.constData(), size_t(lower.size())};
        if (const char *adjusted = gumbo_normalize_svg_tagname(&piece))
            return QString::fromLatin1(adjusted);
    }
    return asciiLowerString(name);
}

const GumboAttribute *attribute(const GumboElement &element, const char *name)
{
    return gumbo_get_attribute(&element.attributes, name);
}

QString attributeValue(const GumboAttribute *attribute)
{
    return attribute ? QString::fromUtf8(attribute->value) : QString();
}

bool isHtml(const GumboNode *node, GumboTag tag)
{
    return node && (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE)
        && node->v.element.tag == tag && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

// Text of these is not rendered, so it stays out of outerText.
bool hidesText(const GumboNode *parent)
{
    if (!parent || parent->type != GUMBO_NODE_ELEMENT || parent->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
        return false;
    switch (parent->v.element.tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
        return true;
    default:
        return false;
    }
}

bool isAsciiWhitespace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

// Collapses a run of captured text: the buffer holds text with every
// whitespace character turned into a space, and "\n" only for <br>. Written
// through a raw pointer: this runs over every paragraph and link of a page.
QString collapseText(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *const begin = out.data();
    QChar *end = begin;
    bool pendingSpace = false;
    for (const QChar c : text) {
        if (c == u'\n') {
            *end++ = c;
            pendingSpace = false;
        } else if (c == u' ') {
            pendingSpace = end != begin && end[-1] != u'\n';
        } else {
            if (pendingSpace)
                *end++ = u' ';
            pendingSpace = false;
            *end++ = c;
        }
    }
    out.truncate(end - begin);
    return out;
}

QString collapseTitle(const QString &text)
{
    QString out;
    out.reserve(text.size());
    bool pendingSpace = false;
    for (const QChar c : text) {
        if (isAsciiWhitespace(c.unicode())) {
            pendingSpace = !out.isEmpty();
        } else {
            if (pendingSpace)
                out += u' ';
            pendingSpace = false;
            out += c;
        }
    }
    return out;
}

// Appends a text node, each whitespace run as one space. Plain ASCII, the
// bulk of most pages, is copied directly; anything else goes through the
// UTF-8 decoder; characters are written through a raw pointer, as this runs
// over every text node of every paragraph and link.
void appendText(QString &buffer, const char *utf8)
{
    const qsizetype length = qsizetype(std::strlen(utf8));
    const qsizetype oldSize = buffer.size();
    buffer.resize(oldSize + length);
    QChar *const begin = buffer.data();
    QChar *end = begin + oldSize;
    const auto put = [&](char16_t c) {
        if (isAsciiWhitespace(c)) {
            if (end == begin || end[-1] != u' ')
                *end++ = u' ';
        } else {
            *end++ = QChar(c);
        }
    };
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0x80) {
            // A UTF-8 sequence never decodes to more UTF-16 units than it has bytes.
            for (const QChar c : QString::fromUtf8(utf8 + i, length - i))
                put(c.unicode());
            break;
        }
        put(byte);
    }
    buffer.truncate(end - begin);
}


const GumboNode *findBase(const GumboNode *root)
{
    const GumboNode *found = nullptr;
    forEachDescendant(root, [&found](const GumboNode *child) {
        if (found || child->type != GUMBO_NODE_ELEMENT)
            return false;
        if (isHtml(child, GUMBO_TAG_BASE) && attribute(child->v.element, "href"))
            found = child;
        return !found;
    });
    return found;
}

// Documents loaded for frames across one top-level parse; a page whose frames
// all frame the page again would otherwise grow as frames^depth. Chromium
// stops at 1000 frames per page too.
constexpr int MaxFramesPerPage = 1000;
thread_local int t_framesLeft = -1;

DocumentPtr blankDocument()
{
    static const DocumentPtr blank = [] {
        auto document = std::make_shared<HtmlDocument>();
        document->url = QStringLiteral("about:blank");
        document->bodyTagName = QStringLiteral("BODY");
        document->all = {HtmlElement{QStringLiteral("HTML"), {}, {}, {}, {}, {}},
                         HtmlElement{QStringLiteral("HEAD"), {}, {}, {}, {}, {}},
                         HtmlElement{QStringLiteral("BODY"), {}, {}, {}, {}, {}}};
        return document;
    }();
    return blank;
}

struct Capture {
    const GumboNode *node = nullptr;
    qsizetype allIndex = -1;
    qsizetype linkIndex = -1;
    qsizetype textStart = 0;
};

struct WalkState {
    HtmlDocument *document = nullptr;
    BaseUrl base;
    const FrameLoader *frames = nullptr;
    int depth = 0;
    bool titleFound = false;
    QString text;  // text captured for the open P and A elements
    std::vector<Capture> captures;
    qsizetype textBudget = 0;  // characters of outerText still allowed
};

DocumentPtr frameDocument(const GumboElement &element, WalkState &state)
{
    const int frameDepth = state.depth + 1;
    if (frameDepth > MaxFrameDepth)
        return nullptr;
    // A frame without an address shows an empty about:blank document, as in a
    // browser, rather than nothing.
    const GumboAttribute *src = attribute(element, "src");
    if (!src || !*src->value)
        return blankDocument();
    if (!state.frames || !*state.frames || t_framesLeft == 0)
        return nullptr;
    if (t_framesLeft > 0)
        --t_framesLeft;
    return (*state.frames)(resolveAgainst(state.base, QString::fromUtf8(src->value)), frameDepth);
}

// Attributes a page may make as long as it likes; no address or name needs more.
QString clippedAttribute(const GumboElement &element, const char *name)
{
    constexpr qsizetype MaxAttributeChars = 2048;
    const GumboAttribute *value = attribute(element, name);
    return value ? QString::fromUtf8(value->value).left(MaxAttributeChars).simplified() : QString();
}

void enterElement(const GumboNode *node, WalkState &state)
{
    const GumboElement &element = node->v.element;
    HtmlDocument &document = *state.document;
    HtmlElement item;
    item.tagName = tagNameOf(element);
    const bool html = element.tag_namespace == GUMBO_NAMESPACE_HTML;
    const auto resolved = [&](const char *name) {
        const GumboAttribute *value = attribute(element, name);
        return value ? resolveAgainst(state.base, QString::fromUtf8(value->value)) : QString();
    };
    bool capture = false;
    qsizetype linkIndex = -1;
    if (html) {
        switch (element.tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_AREA:
            if (attribute(element, "href")) {
                item.href = resolved("href");
                linkIndex = document.links.size();
                HtmlLink link;
                link.href = item.href;
                link.rel = clippedAttribute(element, "rel");
                if (element.tag == GUMBO_TAG_AREA)
                    link.imageAlt = clippedAttribute(element, "alt");
                document.links.append(std::move(link));
            }
            capture = element.tag == GUMBO_TAG_A;
            break;
        case GUMBO_TAG_P:
            capture = true;
            break;
        case GUMBO_TAG_LINK:
            item.href = resolved("href");
            break;
        case GUMBO_TAG_IMG:
            if (attribute(element, "src")) {
                item.src = resolved("src");
                document.images.append(item.src);
            }
            // An image inside a link names it when the link has no text.
            for (auto open = state.captures.rbegin(); open != state.captures.rend(); ++open) {
                if (open->linkIndex < 0)
                    continue;
                QString &alt = document.links[open->linkIndex].imageAlt;
                if (alt.isEmpty())
                    alt = clippedAttribute(element, "alt");
                break;
            }
            break;
        case GUMBO_TAG_FRAME:
        case GUMBO_TAG_IFRAME:
            item.src = resolved("src");
            document.frames.append(frameDocument(element, state));
            break;
        case GUMBO_TAG_SCRIPT:
            item.src = resolved("src");
            break;
        case GUMBO_TAG_META:
            item.name = attributeValue(attribute(element, "name"));
            item.content = attributeValue(attribute(element, "content"));
            break;
        case GUMBO_TAG_TITLE:
            if (!state.titleFound) {
                state.titleFound = true;
                QString title;
                for (unsigned i = 0; i < element.children.length; ++i) {
                    const auto *child = static_cast<const GumboNode *>(element.children.data[i]);
                    if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                        title += QString::fromUtf8(child->v.text.text);
                }
                document.title = collapseTitle(title);
            }
            break;
        case GUMBO_TAG_BR:
            if (!state.captures.empty())
                state.text += u'\n';
            break;
        default:
            break;
        }
    }
    if (capture && node->type == GUMBO_NODE_ELEMENT)
        state.captures.push_back({node, document.all.size(), linkIndex, state.text.size()});
    document.all.append(std::move(item));
}

void leaveElement(const GumboNode *node, WalkState &state)
{
    if (state.captures.empty() || state.captures.back().node != node)
        return;
    const Capture capture = state.captures.back();
    state.captures.pop_back();
    QStringView captured = QStringView(state.text).mid(capture.textStart);
    // A hostile page can nest paragraphs so that each holds all the text
    // below it; the budget keeps the copies linear in the page size.
    if (captured.size() > state.textBudget)
        captured = captured.left(state.textBudget);
    const QString outerText = collapseText(captured);
    state.textBudget -= outerText.size();
    state.document->all[capture.allIndex].outerText = outerText;
    if (capture.linkIndex >= 0)
        state.document->links[capture.linkIndex].outerText = outerText;
    if (state.captures.empty())
        state.text.clear();
}

void walkTree(const GumboNode *root, WalkState &state)
{
    std::vector<std::pair<const GumboNode *, unsigned>> stack{{root, 0u}};
    while (!stack.empty()) {
        const GumboNode *node = stack.back().first;
        const GumboVector *children = childrenOf(node);
        if (!children || stack.back().second >= children->length) {
            if (node != root)
                leaveElement(node, state);
            stack.pop_back();
            continue;
        }
        const auto *child = static_cast<const GumboNode *>(children->data[stack.back().second++]);
        switch (child->type) {
        case GUMBO_NODE_ELEMENT:
            enterElement(child, state);
            stack.emplace_back(child, 0u);
            break;
        case GUMBO_NODE_TEMPLATE:
            enterElement(child, state);
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_WHITESPACE:
            if (!state.captures.empty() && !hidesText(node))
                appendText(state.text, child->v.text.text);
            break;
        default:
            break;
        }
    }
}

QString bodyTagName(const GumboNode *root)
{
    if (!root || root->type != GUMBO_NODE_ELEMENT)
        return QString();
    const GumboVector &children = root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto *child = static_cast<const GumboNode *>(children.data[i]);
        if (isHtml(child, GUMBO_TAG_BODY))
            return QStringLiteral("BODY");
        if (isHtml(child, GUMBO_TAG_FRAMESET))
            return QStringLiteral("FRAMESET");
    }
    return QString();
}

}  // namespace

FrameBudgetScope::FrameBudgetScope()
    : m_owner(t_framesLeft < 0)
{
    if (m_owner)
        t_framesLeft = MaxFramesPerPage;
}

FrameBudgetScope::~FrameBudgetScope()
{
    if (m_owner)
        t_framesLeft = -1;
}

void walkDocument(const GumboOutput &output, const QString &url, const FrameLoader &frames, int depth,
                  qsizetype pageLength, HtmlDocument &document)
{
    document.bodyTagName = bodyTagName(output.root);

    WalkState state;
    state.document = &document;
    state.frames = &frames;
    state.depth = depth;
    state.textBudget = std::max<qsizetype>(qsizetype(1) << 20, 4 * pageLength);
    state.base = makeBase(url);
    if (const GumboNode *base = findBase(output.document)) {
        // The base address must itself resolve against the page; a script or
        // data address cannot serve as one.
        const QString href = resolveAgainst(state.base, QString::fromUtf8(attribute(base->v.element, "href")->value));
        const BaseUrl candidate = makeBase(href);
        if (candidate.valid && candidate.scheme != u"javascript" && candidate.scheme != u"data")
            state.base = candidate;
    }
    walkTree(output.document, state);
}

}  // namespace quorvane::htmlparser
