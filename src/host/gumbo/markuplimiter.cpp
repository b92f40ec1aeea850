#include "markuplimiter.h"

#include <QByteArrayView>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Markup limits applied before gumbo sees the page.
//
// gumbo scans its stack of open elements for most start tags, so a page of
// 100k nested divs takes it tens of seconds, and it frees the tree
// recursively. Browsers cap tree depth (Chromium at 512) for the same reason.
// A light tokenizer therefore tracks an upper estimate of the open elements
// and drops start tags (with their end tags) that would nest deeper than the
// cap. Only tags that can nest without bound are counted; the elements the
// logic reads (A, P, IMG, META, frames, ...) never are, so they are never
// dropped. It also caps the open formatting elements (each new paragraph
// re-opens all of them) and the attributes of one tag (gumbo checks
// duplicates pairwise), and drops the SVG and MathML tags that make gumbo
// 0.10.1 abort. The estimate follows the tree builder only as far as these
// limits need: select content, foreign content and implied end tags.

namespace quorvane::htmlparser {

namespace {

constexpr int MaxOpenElements = 256;
constexpr int MaxOpenFormatting = 8;
constexpr int MaxAttributes = 64;
constexpr int DeepStack = 32;

enum class TagKind {
    Counted,     // may nest: counts towards the depth cap
    Formatting,  // counted, and re-opened by the tree builder while unclosed
    Free,        // closed implicitly by its siblings or never nested
    Void,        // has no content
    Raw,         // text content up to its end tag: never nests
};

const std::unordered_map<std::string_view, TagKind> &tagKinds()
{
    static const std::unordered_map<std::string_view, TagKind> kinds = [] {
        std::unordered_map<std::string_view, TagKind> map;
        for (const char *name : {"b", "big", "code", "em", "font", "i", "s", "small", "strike", "strong", "tt", "u"})
            map.emplace(name, TagKind::Formatting);
        for (const char *name : {"html", "head", "body", "a", "p", "form", "select", "option", "td", "th", "tr",
                                 "tbody", "thead", "tfoot", "caption", "colgroup", "button", "nobr"})
            map.emplace(name, TagKind::Free);
        for (const char *name : {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "image",
                                 "img", "input", "isindex", "keygen", "link", "meta", "param", "source", "track", "wbr"})
            map.emplace(name, TagKind::Void);
        for (const char *name : {"script", "style", "xmp", "iframe", "noembed", "noframes", "textarea", "title"})
            map.emplace(name, TagKind::Raw);
        // Its text runs to the end of the page, but a select ignores it: read on as markup.
        map.emplace("plaintext", TagKind::Void);
        return map;
    }();
    return kinds;
}

TagKind tagKind(std::string_view name)
{
    const auto &kinds = tagKinds();
    const auto found = kinds.find(name);
    return found == kinds.end() ? TagKind::Counted : found->second;
}

bool inSet(std::string_view name, std::initializer_list<std::string_view> set)
{
    return std::find(set.begin(), set.end(), name) != set.end();
}

// Elements that stop "any other end tag" from closing what lies below them.
bool isBarrier(std::string_view name)
{
    static const std::unordered_set<std::string_view> barrier = [] {
        std::unordered_set<std::string_view> set;
        for (const char *n : {"address", "applet", "area", "article", "aside", "base", "basefont", "bgsound",
                              "blockquote", "body", "br", "button", "caption", "center", "col", "colgroup", "dd",
                              "details", "dir", "div", "dl", "dt", "embed", "fieldset", "figcaption", "figure",
                              "footer", "form", "frame", "frameset", "h1", "h2", "h3", "h4", "h5", "h6", "head",
                              "header", "hgroup", "hr", "html", "iframe", "img", "input", "keygen", "li", "link",
                              "listing", "main", "marquee", "menu", "meta", "nav", "noembed", "noframes", "noscript",
                              "object", "ol", "p", "param", "plaintext", "pre", "script", "section", "select",
                              "source", "style", "summary", "table", "tbody", "td", "template", "textarea", "tfoot",
                              "th", "thead", "title", "tr", "track", "ul", "wbr", "xmp", "foreignobject", "desc",
                              "mi", "mo", "mn", "ms", "mtext", "annotation-xml"})
            set.emplace(n);
        return set;
    }();
    return barrier.contains(name);
}

bool isScopeBoundary(std::string_view name)
{
    return inSet(name, {"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template",
                        "foreignobject", "desc", "title", "mi", "mo", "mn", "ms", "mtext", "annotation-xml"});
}

// Start tags that leave SVG or MathML content for HTML.
bool isForeignBreakout(std::string_view name)
{
    return inSet(name, {"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt", "em",
                        "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li", "listing",
                        "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span", "strong", "strike",
                        "sub", "sup", "table", "tt", "u", "ul", "var"});
}

bool resetsInsertionMode(std::string_view name)
{
    return inSet(name, {"select", "td", "th", "tr", "tbody", "thead", "tfoot", "caption", "colgroup", "table",
                        "template", "head", "body", "html", "frameset"});
}

bool isHtmlIntegrationPoint(std::string_view name)
{
    return inSet(name, {"foreignobject", "desc", "title", "mi", "mo", "mn", "ms", "mtext"});
}

bool isMarkupSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isAsciiAlpha(char c)
{
    const char lower = char(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

struct AttributeSpan {
    qsizetype start = 0;
    qsizetype nameEnd = 0;
    qsizetype end = 0;
};

struct ScannedTag {
    std::string name;  // lower case
    std::vector<AttributeSpan> attributes;
    qsizetype end = 0;  // just past '>'
    bool selfClosing = false;
    bool complete = false;  // false when the page ends inside the tag
};

// Reads a tag from just past its name to its '>' as the HTML tokenizer does:
// quoted attribute values may hold '>'.
void scanTagBody(const char *s, qsizetype n, qsizetype p, ScannedTag &tag)
{
    tag.attributes.clear();
    tag.selfClosing = false;
    tag.complete = false;
    while (p < n) {
        while (p < n && isMarkupSpace(s[p]))
            ++p;
        if (p >= n)
            return;
        if (s[p] == '>') {
            tag.end = p + 1;
            tag.complete = true;
            return;
        }
        if (s[p] == '/') {
            ++p;
            if (p < n && s[p] == '>') {
                tag.selfClosing = true;
                tag.end = p + 1;
                tag.complete = true;
                return;
            }
            continue;
        }
        AttributeSpan attribute;
        attribute.start = p++;  // a leading '=' belongs to the name
        while (p < n && !isMarkupSpace(s[p]) && s[p] != '/' && s[p] != '>' && s[p] != '=')
            ++p;
        attribute.nameEnd = p;
        while (p < n && isMarkupSpace(s[p]))
            ++p;
        if (p < n && s[p] == '=') {
            ++p;
            while (p < n && isMarkupSpace(s[p]))
                ++p;
            if (p < n && (s[p] == '"' || s[p] == '\'')) {
                const void *close = std::memchr(s + p + 1, s[p], size_t(n - p - 1));
                if (!close)
                    return;
                p = static_cast<const char *>(close) - s + 1;
            } else {
                while (p < n && !isMarkupSpace(s[p]) && s[p] != '>')
                    ++p;
            }
        }
        attribute.end = p;
        tag.attributes.push_back(attribute);
    }
}

qsizetype scanTagName(const char *s, qsizetype n, qsizetype p, std::string &name)
{
    name.clear();
    while (p < n && !isMarkupSpace(s[p]) && s[p] != '/' && s[p] != '>')
        name.push_back(asciiLower(s[p++]));
    return p;
}

qsizetype findByte(const char *s, qsizetype n, qsizetype from, char c)
{
    if (from >= n)
        return -1;
    const void *found = std::memchr(s + from, c, size_t(n - from));
    return found ? static_cast<const char *>(found) - s : -1;
}

// Where text of a raw text element ends: at "</name" followed by a space, '/' or '>'.
qsizetype findRawEnd(const char *s, qsizetype n, qsizetype from, const std::string &name)
{
    const auto len = qsizetype(name.size());
    for (qsizetype p = findByte(s, n, from, '<'); p >= 0; p = findByte(s, n, p + 1, '<')) {
        if (p + 2 + len > n)
            return -1;
        if (s[p + 1] != '/')
            continue;
        bool same = true;
        for (qsizetype i = 0; i < len && same; ++i)
            same = asciiLower(s[p + 2 + i]) == name[size_t(i)];
        if (!same)
            continue;
        const qsizetype after = p + 2 + len;
        if (after == n || isMarkupSpace(s[after]) || s[after] == '/' || s[after] == '>')
            return p;
    }
    return -1;
}

// Past the end of a comment that starts at p ("<!--").
qsizetype skipComment(const char *s, qsizetype n, qsizetype p)
{
    qsizetype q = p + 4;
    if (q < n && s[q] == '>')
        return q + 1;
    if (q + 1 < n && s[q] == '-' && s[q + 1] == '>')
        return q + 2;
    for (; q + 2 < n; ++q) {
        if (s[q] != '-' || s[q + 1] != '-')
            continue;
        if (s[q + 2] == '>')
            return q + 3;
        if (q + 3 < n && s[q + 2] == '!' && s[q + 3] == '>')
            return q + 4;
    }
    return n;
}

struct OpenElement {
    std::string name;
    bool foreignContent = false;  // its children are SVG or MathML
    bool barrier = false;
    bool scopeBoundary = false;
};

struct Edit {
    qsizetype start = 0;
    qsizetype end = 0;
    QByteArray replacement;
};

struct LimiterState {
    std::vector<OpenElement> open;
    std::unordered_map<std::string, int> openNames;  // how often each name is in open
    std::unordered_map<std::string, int> formattingOpen;
    int formattingTotal = 0;
    std::unordered_map<std::string, int> dropped;  // dropped start tags still waiting for their end tag
    std::vector<Edit> edits;
    std::unordered_map<std::string, qsizetype> rawEndMissingFrom;
    bool inSelect = false;  // inside an HTML select, where most tags are ignored
};

bool endsSelect(std::string_view name)
{
    return inSet(name, {"input", "keygen", "textarea", "caption", "table", "tbody", "tfoot", "thead", "tr", "td", "th"});
}

// Inside a select the tree builder ignores all tags but these.
bool countsInSelect(std::string_view name)
{
    return name == "option" || name == "optgroup" || name == "script" || name == "template";
}

bool inForeignContent(const LimiterState &state)
{
    return !state.open.empty() && state.open.back().foreignContent;
}

void pushOpen(LimiterState &state, const std::string &name, bool foreignContent)
{
    state.open.push_back({name, foreignContent, isBarrier(name), isScopeBoundary(name)});
    ++state.openNames[name];
}

void popOpenTo(LimiterState &state, size_t size)
{
    while (state.open.size() > size) {
        const auto found = state.openNames.find(state.open.back().name);
        if (--found->second == 0)
            state.openNames.erase(found);
        state.open.pop_back();
    }
}

// A dropped tag becomes an empty comment so the text on both sides cannot
// join into a new tag or character reference.
void dropTag(LimiterState &state, qsizetype start, qsizetype end)
{
    state.edits.push_back({start, end, QByteArrayLiteral("<!---->")});
}

void trimAttributes(const char *s, qsizetype start, const ScannedTag &tag, bool endTag, LimiterState &state)
{
    if (int(tag.attributes.size()) <= MaxAttributes)
        return;
    QByteArray rebuilt(s + start, tag.attributes[MaxAttributes - 1].end - start);
    if (!endTag) {
        // Beyond the cap keep only the first of each attribute the snapshot reads.
        std::array<bool, 4> kept{};
        static constexpr std::array<std::string_view, 4> wanted{"href", "src", "name", "content"};
        for (size_t i = 0; i < MaxAttributes; ++i) {
            const auto &a = tag.attributes[i];
            std::string name(s + a.start, size_t(a.nameEnd - a.start));
            std::transform(name.begin(), name.end(), name.begin(), asciiLower);
            for (size_t w = 0; w < wanted.size(); ++w)
                kept[w] = kept[w] || name == wanted[w];
        }
        for (size_t i = MaxAttributes; i < tag.attributes.size(); ++i) {
            const auto &a = tag.attributes[i];
            std::string name(s + a.start, size_t(a.nameEnd - a.start));
            std::transform(name.begin(), name.end(), name.begin(), asciiLower);
            for (size_t w = 0; w < wanted.size(); ++w) {
                if (!kept[w] && name == wanted[w]) {
                    kept[w] = true;
                    rebuilt += ' ';
                    rebuilt.append(s + a.start, a.end - a.start);
                }
            }
        }
    }
    rebuilt += tag.selfClosing ? "/>" : ">";
    state.edits.push_back({start, tag.end, rebuilt});
}

bool fontBreaksOut(const char *s, const ScannedTag &tag)
{
    for (const auto &a : tag.attributes) {
        std::string name(s + a.start, size_t(a.nameEnd - a.start));
        std::transform(name.begin(), name.end(), name.begin(), asciiLower);
        if (name == "color" || name == "face" || name == "size")
            return true;
    }
    return false;
}

// Returns false when the start tag is dropped.
bool openElement(const char *s, const ScannedTag &tag, LimiterState &state)
{
    const std::string &name = tag.name;
    if (state.inSelect) {
        if (name == "select") {
            state.inSelect = false;  // a select in a select closes it
            return true;
        }
        if (!endsSelect(name) && !countsInSelect(name))
            return true;
        if (endsSelect(name))
            state.inSelect = false;
    }
    const bool foreign = inForeignContent(state);
    const bool breakout = foreign && (isForeignBreakout(name) || (name == "font" && fontBreaksOut(s, tag)));
    if (foreign && !breakout) {
        // gumbo 0.10.1 picks its insertion mode by tag name alone, so a MathML
        // or SVG element named like a table part or select can send it into a
        // mode whose element is missing, and it aborts. They mean nothing there.
        if (resetsInsertionMode(name))
            return false;
        if (tag.selfClosing)
            return true;
        if (int(state.open.size()) >= MaxOpenElements)
            return false;
        pushOpen(state, name, !isHtmlIntegrationPoint(name));
        return true;
    }
    const TagKind kind = tagKind(name);
    const bool opens = (kind == TagKind::Counted || kind == TagKind::Formatting)
        && !((name == "svg" || name == "math") && tag.selfClosing);
    if (opens) {
        if (int(state.open.size()) >= MaxOpenElements)
            return false;
        if (kind == TagKind::Formatting && state.formattingTotal >= MaxOpenFormatting)
            return false;
    }
    if (breakout) {
        while (!state.open.empty() && state.open.back().foreignContent)
            popOpenTo(state, state.open.size() - 1);
    }
    if (name == "select")
        state.inSelect = true;
    if (!opens)
        return true;
    // Unclosed list items and definitions close their previous sibling.
    if (!state.open.empty()) {
        const std::string &top = state.open.back().name;
        if ((name == "li" && top == "li") || ((name == "dd" || name == "dt") && (top == "dd" || top == "dt")))
            popOpenTo(state, state.open.size() - 1);
    }
    if (kind == TagKind::Formatting) {
        ++state.formattingOpen[name];
        ++state.formattingTotal;
    }
    pushOpen(state, name, name == "svg" || name == "math");
    return true;
}

// Returns false when the end tag belongs to a dropped start tag.
bool closeElement(const std::string &name, LimiterState &state)
{
    if (state.inSelect) {
        if (name == "select" || endsSelect(name))
            state.inSelect = false;
        if (name != "table")
            return true;  // ignored inside a select, or closes only it
    }
    if (!state.dropped.empty()) {
        const auto found = state.dropped.find(name);
        if (found != state.dropped.end()) {
            if (--found->second == 0)
                state.dropped.erase(found);
            return false;
        }
    }
    const TagKind kind = tagKind(name);
    if (kind == TagKind::Formatting) {
        if (!state.openNames.contains(name) && !state.formattingOpen.contains(name)
            && int(state.open.size()) >= DeepStack)
            return false;
        auto found = state.formattingOpen.find(name);
        if (found != state.formattingOpen.end()) {
            --state.formattingTotal;
            if (--found->second == 0)
                state.formattingOpen.erase(found);
        }
        if (state.openNames.contains(name)) {
            for (auto it = state.open.rbegin(); it != state.open.rend(); ++it) {
                if (it->name == name) {
                    state.open.erase(std::next(it).base());
                    if (--state.openNames[name] == 0)
                        state.openNames.erase(name);
                    break;
                }
            }
        }
        return true;
    }
    if (!state.openNames.contains(name)) {
        // A stray end tag closes nothing, but gumbo looks for it through the
        // whole stack: on a deep stack drop it.
        return kind != TagKind::Counted || int(state.open.size()) < DeepStack;
    }
    const bool barrier = isBarrier(name);
    for (size_t i = state.open.size(); i-- > 0;) {
        const OpenElement &open = state.open[i];
        if (open.name == name) {
            popOpenTo(state, i);
            break;
        }
        if (barrier ? open.scopeBoundary : open.barrier)
            break;
    }
    return true;
}

}  // namespace

QByteArray limitMarkup(const QByteArray &html)
{
    const char *s = html.constData();
    const qsizetype n = html.size();
    LimiterState state;
    ScannedTag tag;
    qsizetype p = 0;
    while ((p = findByte(s, n, p, '<')) >= 0) {
        const qsizetype start = p;
        if (p + 1 >= n)
            break;
        const char next = s[p + 1];
        if (next == '!') {
            if (p + 3 < n && s[p + 2] == '-' && s[p + 3] == '-') {
                p = skipComment(s, n, p);
            } else if (inForeignContent(state) && n - p >= 9 && std::memcmp(s + p, "<![CDATA[", 9) == 0) {
                const auto end = QByteArrayView(s + p + 9, n - p - 9).indexOf("]]>");
                p = end < 0 ? n : p + 9 + end + 3;
            } else {
                const qsizetype end = findByte(s, n, p + 2, '>');
                p = end < 0 ? n : end + 1;
            }
            continue;
        }
        if (next == '?') {
            const qsizetype end = findByte(s, n, p + 2, '>');
            p = end < 0 ? n : end + 1;
            continue;
        }
        if (next == '/') {
            if (p + 2 < n && isAsciiAlpha(s[p + 2])) {
                const qsizetype afterName = scanTagName(s, n, p + 2, tag.name);
                scanTagBody(s, n, afterName, tag);
                if (!tag.complete)
                    break;
                if (!closeElement(tag.name, state))
                    dropTag(state, start, tag.end);
                else
                    trimAttributes(s, start, tag, true, state);
                p = tag.end;
            } else {
                const qsizetype end = findByte(s, n, p + 2, '>');
                p = end < 0 ? n : end + 1;
            }
            continue;
        }
        if (!isAsciiAlpha(next)) {
            ++p;
            continue;
        }
        const qsizetype afterName = scanTagName(s, n, p + 1, tag.name);
        scanTagBody(s, n, afterName, tag);
        if (!tag.complete)
            break;
        p = tag.end;
        // Raw text only exists in HTML content, and not for the tags a select ignores.
        const bool contentIsMarkup = inForeignContent(state)
            || (state.inSelect && tag.name != "script" && !endsSelect(tag.name));
        if (!openElement(s, tag, state)) {
            ++state.dropped[tag.name];
            dropTag(state, start, tag.end);
            continue;
        }
        trimAttributes(s, start, tag, false, state);
        if (contentIsMarkup)
            continue;
        if (tagKind(tag.name) == TagKind::Raw) {
            // Unterminated raw text would run to the end of the page; go on
            // scanning it as markup in case this reading of the page is wrong.
            auto &missingFrom = state.rawEndMissingFrom[tag.name];
            const qsizetype end = missingFrom > 0 && p >= missingFrom ? -1 : findRawEnd(s, n, p, tag.name);
            if (end >= 0)
                p = end;
            else if (missingFrom == 0 || p < missingFrom)
                missingFrom = p;  // later searches for this name would fail as well
        }
    }
    if (state.edits.empty())
        return html;
    QByteArray limited;
    limited.reserve(n);
    qsizetype copied = 0;
    for (const Edit &edit : state.edits) {
        limited.append(s + copied, edit.start - copied);
        limited += edit.replacement;
        copied = edit.end;
    }
    limited.append(s + copied, n - copied);
    return limited;
}

}  // namespace quorvane::htmlparser
