#include "plainmarkup.h"

#include "addressresolution.h"

#include <array>
#include <utility>
#include <string_view>
#include <vector>

namespace quorvane::htmlparser {

namespace {

// What the tree builder does with an element, for the elements read here.
enum Flag : unsigned {
    Void = 1u << 0,        // no content, no end tag
    ClosesP = 1u << 1,     // its start tag closes an open paragraph
    Formatting = 1u << 2,  // reopened after an unexpected close
    Special = 1u << 3,     // stops the search for an end tag's element
    Hides = 1u << 4,       // its text is not the page's visible text
    Heading = 1u << 5,
    RawText = 1u << 6,     // content is text up to its end tag
    RcData = 1u << 7,      // the same, with character references
    HeadContent = 1u << 8, // belongs in the head wherever it stands
};

struct Tag {
    std::string_view name;
    unsigned flags;
};

constexpr unsigned Block = Special | ClosesP;
constexpr std::array<Tag, 71> Tags{{
    {"html", Special}, {"head", Special}, {"body", Special},
    {"title", Special | Hides | RcData | HeadContent}, {"style", Special | Hides | RawText | HeadContent},
    {"script", Special | Hides | RawText | HeadContent},
    {"meta", Void | Special | HeadContent}, {"link", Void | Special | HeadContent},
    {"base", Void | Special | HeadContent},
    {"noscript", Special | Hides},
    {"div", Block}, {"p", Block}, {"address", Block}, {"article", Block}, {"aside", Block},
    {"blockquote", Block}, {"center", Block}, {"details", Block}, {"figure", Block}, {"figcaption", Block},
    {"footer", Block}, {"header", Block}, {"main", Block}, {"menu", Block}, {"nav", Block},
    {"section", Block}, {"summary", Block}, {"ul", Block}, {"ol", Block}, {"pre", Block},
    {"h1", Block | Heading}, {"h2", Block | Heading}, {"h3", Block | Heading}, {"h4", Block | Heading},
    {"h5", Block | Heading}, {"h6", Block | Heading},
    {"li", Special}, {"hr", Void | Block},
    {"br", Void | Special}, {"img", Void | Special}, {"wbr", Void | Special}, {"area", Void | Special},
    {"a", Formatting}, {"b", Formatting}, {"big", Formatting}, {"code", Formatting}, {"em", Formatting},
    {"font", Formatting}, {"i", Formatting}, {"s", Formatting}, {"small", Formatting},
    {"strike", Formatting}, {"strong", Formatting}, {"tt", Formatting}, {"u", Formatting},
    // Phrasing elements with nothing special about them.
    {"span", 0}, {"abbr", 0}, {"cite", 0}, {"sub", 0}, {"sup", 0}, {"q", 0}, {"mark", 0}, {"time", 0},
    {"label", 0}, {"kbd", 0}, {"var", 0}, {"samp", 0}, {"dfn", 0}, {"bdi", 0}, {"bdo", 0}, {"data", 0},
}};

// Past these the page parser's input is limited first; the full parser reads it.
constexpr size_t MaxDepth = 32;
constexpr size_t MaxFormatting = 8;
constexpr int MaxAttributes = 64;
constexpr qsizetype MaxAnchorText = 4096;
constexpr qsizetype MaxTitle = 4096;

const Tag *findTag(std::string_view name)
{
    // By first letter: a page has hundreds of tags.
    static const auto byLetter = [] {
        std::array<std::vector<const Tag *>, 26> index;
        for (const Tag &tag : Tags)
            index[size_t(tag.name.front() - 'a')].push_back(&tag);
        return index;
    }();
    if (name.empty() || name.front() < 'a' || name.front() > 'z')
        return nullptr;
    for (const Tag *tag : byLetter[size_t(name.front() - 'a')]) {
        if (tag->name == name)
            return tag;
    }
    return nullptr;
}

const Tag *findTag(QStringView name)
{
    if (name.size() > 10)
        return nullptr;
    std::array<char, 10> lower{};
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= u'A' && c <= u'Z')
            lower[size_t(i)] = char(c - u'A' + u'a');
        else if ((c >= u'a' && c <= u'z') || (c >= u'1' && c <= u'6'))
            lower[size_t(i)] = char(c);
        else
            return nullptr;
    }
    return findTag(std::string_view(lower.data(), size_t(name.size())));
}

bool isSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\f' || u == u'\r';
}

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

// The character references pages use most, with their semicolons.
struct Named {
    QLatin1String name;
    char32_t ch;
};
const Named NamedReferences[] = {
    {QLatin1String("amp;"), U'&'},     {QLatin1String("lt;"), U'<'},      {QLatin1String("gt;"), U'>'},
    {QLatin1String("quot;"), U'"'},    {QLatin1String("apos;"), U'\''},   {QLatin1String("nbsp;"), 0xA0},
    {QLatin1String("copy;"), 0xA9},    {QLatin1String("reg;"), 0xAE},     {QLatin1String("trade;"), 0x2122},
    {QLatin1String("mdash;"), 0x2014}, {QLatin1String("ndash;"), 0x2013}, {QLatin1String("hellip;"), 0x2026},
    {QLatin1String("laquo;"), 0xAB},   {QLatin1String("raquo;"), 0xBB},   {QLatin1String("lsquo;"), 0x2018},
    {QLatin1String("rsquo;"), 0x2019}, {QLatin1String("ldquo;"), 0x201C}, {QLatin1String("rdquo;"), 0x201D},
    {QLatin1String("bull;"), 0x2022},  {QLatin1String("middot;"), 0xB7},  {QLatin1String("euro;"), 0x20AC},
    {QLatin1String("pound;"), 0xA3},   {QLatin1String("eacute;"), 0xE9},
};

// Text with its character references replaced; false for a reference not
// known here, which the full parser's table must read.
bool decodeReferences(QStringView text, QString &out)
{
    out.resize(0);  // keeps the buffer for the next run
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf(u'&', i);
        if (amp < 0) {
            out += text.mid(i);
            break;
        }
        out += text.mid(i, amp - i);
        i = amp + 1;
        if (i >= text.size() || !(isAsciiAlnum(text[i]) || text[i] == u'#')) {
            out += u'&';
            continue;
        }
        if (text[i] == u'#') {
            const bool hex = i + 1 < text.size() && (text[i + 1] == u'x' || text[i + 1] == u'X');
            qsizetype j = i + (hex ? 2 : 1);
            char32_t value = 0;
            int digits = 0;
            for (; j < text.size() && digits < 8; ++j, ++digits) {
                const char16_t c = text[j].unicode();
                int d = -1;
                if (c >= u'0' && c <= u'9')
                    d = c - u'0';
                else if (hex && c >= u'a' && c <= u'f')
                    d = c - u'a' + 10;
                else if (hex && c >= u'A' && c <= u'F')
                    d = c - u'A' + 10;
                if (d < 0)
                    break;
                value = value * (hex ? 16 : 10) + char32_t(d);
            }
            // Only the plain form of a plain character: the rest has repair rules.
            const bool plain = value >= 0x20 && !(value >= 0x7F && value <= 0x9F) && !(value >= 0xD800 && value <= 0xDFFF)
                            && !(value >= 0xFDD0 && value <= 0xFDEF) && (value & 0xFFFE) != 0xFFFE && value <= 0x10FFFF;
            if (digits == 0 || digits >= 8 || j >= text.size() || text[j] != u';' || !(plain || value == 9 || value == 10))
                return false;
            out += QString::fromUcs4(&value, 1);
            i = j + 1;
            continue;
        }
        bool known = false;
        for (const Named &named : NamedReferences) {
            if (text.mid(i).startsWith(named.name)) {
                out += QString::fromUcs4(&named.ch, 1);
                i += named.name.size();
                known = true;
                break;
            }
        }
        if (!known)
            return false;
    }
    return true;
}

struct Attribute {
    QStringView name;  // lower case when tagged lower
    QStringView value;
};

// One pass over a page, building nothing but the scan.
class PlainReader {
public:
    PlainReader(QStringView html, const QString &url) : m_html(html), m_url(url) {}

    std::optional<MarkupScan> read();

private:
    enum class Mode { BeforeHead, InHead, AfterHead, InBody };
    struct Open {
        const Tag *tag;
        int id;
        int link = -1;     // index into m_scan.links for an anchor with an address
        int heading = -1;  // index into m_headings
    };
    struct Active {
        const Tag *tag;
        QStringView attributes;  // as written: two entries match when these match
        int id;
    };
    struct HeadingText {
        bool h1;
        QString text;
    };

    // Tokens.
    bool text(QStringView run);
    bool startTag(const Tag &tag, QStringView written, qsizetype &at);
    bool endTag(const Tag &tag);
    bool readAttributes(qsizetype &at, std::vector<Attribute> *into);
    bool rawContent(const Tag &tag, qsizetype &at);

    // Tree.
    void enterBody();
    void flush();
    bool push(const Tag &tag, const std::vector<Attribute> &attributes, QStringView written);
    bool pop();
    bool popUntil(qsizetype index);
    qsizetype find(std::string_view name, bool listScope = false) const;
    bool closeParagraph();
    bool generateImpliedEndTags(std::string_view except);
    bool reconstruct();
    bool inStack(int id) const;
    bool element(const Tag &tag, const std::vector<Attribute> &attributes);
    bool hidden() const { return m_hidden > 0; }

    QStringView m_html;
    const QString &m_url;
    MarkupScan m_scan;
    Mode m_mode = Mode::BeforeHead;
    bool m_sawTag = false;
    bool m_afterPre = false;  // a line feed right after <pre> is no content
    bool m_bodyStarted = false;
    std::vector<Open> m_stack;
    std::vector<Active> m_active;
    int m_nextId = 0;
    int m_hidden = 0;
    QString m_run;
    bool m_runHasText = false;
    std::vector<HeadingText> m_headings;
    QString m_base;
    bool m_baseSeen = false;
    QString m_canonical;
    QString m_scratch;
    std::vector<Attribute> m_attributes;  // of the tag being read
};

std::optional<MarkupScan> PlainReader::read()
{
    const qsizetype n = m_html.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype lt = m_html.indexOf(u'<', i);
        const qsizetype end = lt < 0 ? n : lt;
        if (end > i) {
            QStringView run = m_html.mid(i, end - i);
            if (std::exchange(m_afterPre, false)) {
                if (run.startsWith(u"&#"))
                    return std::nullopt;
                if (run.startsWith(u'\n'))
                    run = run.mid(1);
            }
            if (!run.isEmpty() && !text(run))
                return std::nullopt;
        }
        m_afterPre = false;
        if (lt < 0)
            break;
        i = lt + 1;
        if (i >= n) {
            if (!text(u"<"))
                return std::nullopt;
            break;
        }
        const QChar c = m_html[i];
        if (c == u'!') {
            if (m_html.mid(i + 1).startsWith(u"--")) {
                // A comment: plain ones only (no "-->" tricks).
                const qsizetype close = m_html.indexOf(u"-->", i + 3);
                if (close < 0 || close == i + 3 || (close == i + 2))
                    return std::nullopt;
                const QStringView body = m_html.mid(i + 3, close - (i + 3));
                if (body.startsWith(u'>') || body.startsWith(u"->") || body.contains(u"--!>"))
                    return std::nullopt;
                flush();
                i = close + 3;
                continue;
            }
            if (!m_sawTag && m_mode == Mode::BeforeHead
                && m_html.mid(i + 1).startsWith(u"doctype", Qt::CaseInsensitive)) {
                const qsizetype close = m_html.indexOf(u'>', i);
                if (close < 0)
                    return std::nullopt;
                m_sawTag = true;
                i = close + 1;
                continue;
            }
            return std::nullopt;
        }
        const bool isEnd = c == u'/';
        const qsizetype nameAt = isEnd ? i + 1 : i;
        if (nameAt >= n || !((m_html[nameAt] >= u'a' && m_html[nameAt] <= u'z') || (m_html[nameAt] >= u'A' && m_html[nameAt] <= u'Z'))) {
            if (isEnd || c == u'?')
                return std::nullopt;  // bogus comments and "</>" have rules of their own
            if (!text(u"<"))
                return std::nullopt;
            continue;
        }
        qsizetype j = nameAt;
        while (j < n && !isSpace(m_html[j]) && m_html[j] != u'/' && m_html[j] != u'>')
            ++j;
        const QStringView name = m_html.mid(nameAt, j - nameAt);
        const Tag *tag = findTag(name);
        if (!tag)
            return std::nullopt;
        m_sawTag = true;
        const qsizetype attributesAt = j;
        m_attributes.clear();
        if (!readAttributes(j, isEnd ? nullptr : &m_attributes))
            return std::nullopt;
        const QStringView written = m_html.mid(attributesAt, j - attributesAt);
        if (isEnd) {
            if (!endTag(*tag))
                return std::nullopt;
        } else if (!startTag(*tag, written, j)) {
            return std::nullopt;
        }
        i = j;
    }
    flush();

    const BaseUrl base = makeBase(m_baseSeen ? resolveAgainst(makeBase(m_url), m_base) : m_url);
    for (ScannedLink &link : m_scan.links) {
        link.href = resolveAgainst(base, link.href.trimmed());
        link.text = link.text.simplified();
    }
    if (!m_canonical.isNull())
        m_scan.canonical = resolveAgainst(base, m_canonical.trimmed());
    bool headingIsH1 = false;
    for (const HeadingText &heading : m_headings) {
        if (!m_scan.heading.isEmpty() && !(heading.h1 && !headingIsH1))
            continue;
        if (const QString text = heading.text.simplified(); !text.isEmpty()) {
            m_scan.heading = text;
            headingIsH1 = heading.h1;
        }
    }
    finishScanText(m_scan.text);
    m_scan.robotsMeta.removeDuplicates();
    return std::move(m_scan);
}

bool PlainReader::readAttributes(qsizetype &at, std::vector<Attribute> *into)
{
    const qsizetype n = m_html.size();
    int count = 0;
    while (true) {
        while (at < n && isSpace(m_html[at]))
            ++at;
        if (at >= n)
            return false;
        const QChar c = m_html[at];
        if (c == u'>') {
            ++at;
            return true;
        }
        if (c == u'/') {
            ++at;
            continue;
        }
        const qsizetype nameAt = at;
        while (at < n && !isSpace(m_html[at]) && m_html[at] != u'/' && m_html[at] != u'>'
               && (m_html[at] != u'=' || at == nameAt)) {
            const QChar d = m_html[at];
            if (d == u'"' || d == u'\'' || d == u'<' || d == u'=')
                return false;
            ++at;
        }
        const QStringView name = m_html.mid(nameAt, at - nameAt);
        while (at < n && isSpace(m_html[at]))
            ++at;
        QStringView value;
        if (at < n && m_html[at] == u'=') {
            ++at;
            while (at < n && isSpace(m_html[at]))
                ++at;
            if (at >= n)
                return false;
            const QChar quote = m_html[at];
            if (quote == u'"' || quote == u'\'') {
                const qsizetype close = m_html.indexOf(quote, at + 1);
                if (close < 0)
                    return false;
                value = m_html.mid(at + 1, close - at - 1);
                at = close + 1;
            } else if (quote != u'>') {
                const qsizetype valueAt = at;
                while (at < n && !isSpace(m_html[at]) && m_html[at] != u'>') {
                    const QChar d = m_html[at];
                    if (d == u'"' || d == u'\'' || d == u'<' || d == u'=' || d == u'`')
                        return false;
                    ++at;
                }
                value = m_html.mid(valueAt, at - valueAt);
            }
        }
        if (++count > MaxAttributes)
            return false;
        if (into) {
            // The first of a repeated attribute counts.
            bool repeated = false;
            for (const Attribute &a : *into)
                repeated = repeated || a.name.compare(name, Qt::CaseInsensitive) == 0;
            if (!repeated)
                into->push_back({name, value});
        }
    }
}

QStringView attributeOf(const std::vector<Attribute> &attributes, QLatin1String name, bool *present = nullptr)
{
    for (const Attribute &a : attributes) {
        if (a.name.compare(name, Qt::CaseInsensitive) == 0) {
            if (present)
                *present = true;
            return a.value;
        }
    }
    if (present)
        *present = false;
    return {};
}

bool PlainReader::text(QStringView run)
{
    if (m_mode != Mode::InBody) {
        qsizetype first = 0;
        while (first < run.size() && isSpace(run[first]))
            ++first;
        if (first == run.size())
            return true;  // white space before the body is no text
        enterBody();
        run = run.mid(first);
    }
    if (!reconstruct())
        return false;
    if (hidden())
        return true;
    bool collecting = m_scan.text.size() < MaxScanText;
    for (const Open &open : m_stack)
        collecting = collecting || open.link >= 0 || open.heading >= 0;
    if (!collecting)
        return true;
    if (!decodeReferences(run, m_scratch))
        return false;
    m_run += m_scratch;
    for (QChar c : std::as_const(m_scratch)) {
        if (!isSpace(c)) {
            m_runHasText = true;
            break;
        }
    }
    for (const Open &open : m_stack) {
        if (open.link >= 0) {
            QString &into = m_scan.links[open.link].text;
            if (into.size() < MaxAnchorText)
                into += QStringView(m_scratch).left(MaxAnchorText - into.size());
        }
        if (open.heading >= 0) {
            QString &into = m_headings[size_t(open.heading)].text;
            if (into.size() < MaxAnchorText)
                into += QStringView(m_scratch).left(MaxAnchorText - into.size());
        }
    }
    return true;
}

void PlainReader::flush()
{
    if (m_runHasText)
        appendScanText(m_scan.text, m_run);
    m_run.resize(0);
    m_runHasText = false;
}

void PlainReader::enterBody()
{
    flush();
    m_mode = Mode::InBody;
    m_bodyStarted = true;
}

bool PlainReader::inStack(int id) const
{
    for (const Open &open : m_stack) {
        if (open.id == id)
            return true;
    }
    return false;
}

bool PlainReader::push(const Tag &tag, const std::vector<Attribute> &attributes, QStringView written)
{
    flush();
    if (m_stack.size() >= MaxDepth)
        return false;
    Open open{&tag, m_nextId++};
    if (!hidden()) {
        if (open.tag->name == "a") {
            bool present = false;
            const QStringView href = attributeOf(attributes, QLatin1String("href"), &present);
            if (present) {
                ScannedLink link;
                if (!decodeReferences(href, link.href) || !decodeReferences(attributeOf(attributes, QLatin1String("rel")), m_scratch))
                    return false;
                link.rel = attributeTokens(m_scratch);
                open.link = int(m_scan.links.size());
                m_scan.links.append(link);
            }
        } else if (open.tag->name == "h1" || open.tag->name == "h2") {
            open.heading = int(m_headings.size());
            m_headings.push_back({open.tag->name == "h1", QString()});
        }
    }
    if (tag.flags & Hides)
        ++m_hidden;
    if (tag.flags & Formatting) {
        // At most three like entries stay on the list of reopened elements.
        int like = 0;
        qsizetype earliest = -1;
        for (qsizetype k = qsizetype(m_active.size()) - 1; k >= 0; --k) {
            if (m_active[size_t(k)].tag == &tag && m_active[size_t(k)].attributes == written) {
                ++like;
                earliest = k;
            }
        }
        if (like >= 3)
            m_active.erase(m_active.begin() + earliest);
        m_active.push_back({&tag, written, open.id});
        if (m_active.size() > MaxFormatting)
            return false;
    }
    m_stack.push_back(std::move(open));
    return true;
}

bool PlainReader::pop()
{
    flush();
    if (m_stack.empty())
        return false;
    const Open &top = m_stack.back();
    if (top.tag->flags & Hides)
        --m_hidden;
    m_stack.pop_back();
    return true;
}

bool PlainReader::popUntil(qsizetype index)
{
    // A link closed by anything but its own end tag is cloned by the tree
    // builder: that page is the full parser's.
    for (qsizetype k = qsizetype(m_stack.size()) - 1; k > index; --k) {
        if (m_stack[size_t(k)].tag->name == "a")
            return false;
    }
    while (qsizetype(m_stack.size()) > index) {
        if (!pop())
            return false;
    }
    return true;
}

qsizetype PlainReader::find(std::string_view name, bool listScope) const
{
    for (qsizetype k = qsizetype(m_stack.size()) - 1; k >= 0; --k) {
        const std::string_view open = m_stack[size_t(k)].tag->name;
        if (open == name)
            return k;
        if (listScope && (open == "ul" || open == "ol"))
            return -1;
    }
    return -1;
}

bool PlainReader::generateImpliedEndTags(std::string_view except)
{
    while (!m_stack.empty() && (m_stack.back().tag->name == "p" || m_stack.back().tag->name == "li")
           && m_stack.back().tag->name != except) {
        if (!pop())
            return false;
    }
    return true;
}

bool PlainReader::closeParagraph()
{
    const qsizetype p = find("p");
    if (p < 0)
        return true;
    return generateImpliedEndTags("p") && popUntil(find("p"));
}

bool PlainReader::reconstruct()
{
    if (m_active.empty() || inStack(m_active.back().id))
        return true;
    size_t first = m_active.size() - 1;
    while (first > 0 && !inStack(m_active[first - 1].id))
        --first;
    for (size_t k = first; k < m_active.size(); ++k) {
        Active &entry = m_active[k];
        if (entry.tag->name == "a")
            return false;
        flush();
        if (m_stack.size() >= MaxDepth)
            return false;
        entry.id = m_nextId++;
        m_stack.push_back({entry.tag, entry.id});
    }
    return true;
}

// A void element: meta, link and base say something about the page wherever
// they stand, img gives a link its picture's text, area is a link itself.
bool PlainReader::element(const Tag &tag, const std::vector<Attribute> &attributes)
{
    flush();
    if (hidden())
        return true;
    const std::string_view lower = tag.name;
    QString value;
    if (lower == "base") {
        bool present = false;
        const QStringView href = attributeOf(attributes, QLatin1String("href"), &present);
        if (present && !m_baseSeen) {
            if (!decodeReferences(href, m_base))
                return false;
            m_baseSeen = true;
        }
    } else if (lower == "link") {
        bool present = false;
        const QStringView href = attributeOf(attributes, QLatin1String("href"), &present);
        if (!decodeReferences(attributeOf(attributes, QLatin1String("rel")), value))
            return false;
        if (m_canonical.isNull() && present && attributeTokens(value).contains(QStringLiteral("canonical"))) {
            if (!decodeReferences(href, m_canonical))
                return false;
            if (m_canonical.isNull())
                m_canonical = QLatin1String("");
        }
    } else if (lower == "meta") {
        if (!decodeReferences(attributeOf(attributes, QLatin1String("name")), value))
            return false;
        value = value.trimmed().toLower();
        if (value == u"robots" || value == u"googlebot") {
            if (!decodeReferences(attributeOf(attributes, QLatin1String("content")), value))
                return false;
            m_scan.robotsMeta += attributeTokens(value, u',');
        }
    } else if (lower == "img") {
        if (!decodeReferences(attributeOf(attributes, QLatin1String("alt")), value))
            return false;
        for (const Open &open : m_stack) {
            if (open.link >= 0 && m_scan.links[open.link].imageAlt.isEmpty())
                m_scan.links[open.link].imageAlt = value.simplified();
        }
    } else if (lower == "area") {
        bool present = false;
        const QStringView href = attributeOf(attributes, QLatin1String("href"), &present);
        if (present) {
            ScannedLink link;
            QString rel, alt;
            if (!decodeReferences(href, link.href) || !decodeReferences(attributeOf(attributes, QLatin1String("rel")), rel)
                || !decodeReferences(attributeOf(attributes, QLatin1String("alt")), alt))
                return false;
            link.rel = attributeTokens(rel);
            link.imageAlt = alt.simplified();
            m_scan.links.append(link);
        }
    }
        return true;
}

bool PlainReader::rawContent(const Tag &tag, qsizetype &at)
{
    // The content runs to the first end tag of the same name.
    const QString close = QStringLiteral("</") + QLatin1String(tag.name.data(), qsizetype(tag.name.size()));
    qsizetype end = at;
    while (true) {
        end = m_html.indexOf(close, end, Qt::CaseInsensitive);
        if (end < 0)
            return false;
        const qsizetype after = end + close.size();
        if (after < m_html.size() && (isSpace(m_html[after]) || m_html[after] == u'/' || m_html[after] == u'>'))
            break;
        end = after;
    }
    flush();
    const QStringView content = m_html.mid(at, end - at);
    // Script text that opens a comment has escape rules of its own.
    if ((tag.flags & RawText) && tag.name == "script" && content.contains(u"<!--"))
        return false;
    if (tag.flags & RcData) {
        // The first title outside hidden content names the page.
        QString title;
        if (!decodeReferences(content, title))
            return false;
        if (!hidden() && m_scan.title.isEmpty())
            m_scan.title = title.left(MaxTitle).simplified();
    }
    at = end + close.size();
    while (at < m_html.size() && isSpace(m_html[at]))
        ++at;
    if (at >= m_html.size() || m_html[at] != u'>')
        return false;
    ++at;
    flush();
    return true;
}

bool PlainReader::startTag(const Tag &tag, QStringView written, qsizetype &at)
{
    const std::vector<Attribute> &attributes = m_attributes;
    const std::string_view lower = tag.name;
    if (lower == "html") {
        if (m_mode != Mode::BeforeHead || m_bodyStarted)
            return false;
        return true;
    }
    if (m_mode != Mode::InBody) {
        if (lower == "head") {
            if (m_mode != Mode::BeforeHead)
                return false;
            m_mode = Mode::InHead;
            return true;
        }
        if (lower == "body") {
            enterBody();
            return true;
        }
        if (lower == "noscript")
            return false;  // the head reads its noscript by rules of its own
        if (tag.flags & HeadContent) {
            if (m_mode == Mode::BeforeHead)
                m_mode = Mode::InHead;
            if (tag.flags & (RawText | RcData))
                return rawContent(tag, at);
            return element(tag, attributes);
        }
        enterBody();
    }
    if (lower == "head" || lower == "body" || lower == "html")
        return false;
    if (tag.flags & HeadContent) {
        if (tag.flags & (RawText | RcData))
            return rawContent(tag, at);
        return element(tag, attributes);
    }
    if (tag.flags & ClosesP) {
        if (!closeParagraph())
            return false;
        if ((tag.flags & Heading) && !m_stack.empty() && (m_stack.back().tag->flags & Heading) && !pop())
            return false;
        if (tag.flags & Void)
            return element(tag, attributes);
        m_afterPre = lower == "pre";
        return push(tag, attributes, written);
    }
    if (lower == "li") {
        for (qsizetype k = qsizetype(m_stack.size()) - 1; k >= 0; --k) {
            const Open &open = m_stack[size_t(k)];
            if (open.tag->name == "li") {
                if (!generateImpliedEndTags("li") || !popUntil(find("li")))
                    return false;
                break;
            }
            if ((open.tag->flags & Special) && open.tag->name != "address" && open.tag->name != "div" && open.tag->name != "p")
                break;
        }
        if (!closeParagraph())
            return false;
        return push(tag, attributes, written);
    }
    if (lower == "a") {
        for (const Active &entry : m_active) {
            if (entry.tag->name != "a")
                continue;
            // A link inside a link: only the plain case, the first one open at the top.
            if (m_stack.empty() || m_stack.back().id != entry.id)
                return false;
            if (!pop())
                return false;
            std::erase_if(m_active, [id = entry.id](const Active &a) { return a.id == id; });
            break;
        }
    }
    if (!reconstruct())
        return false;
    if (tag.flags & Void)
        return element(tag, attributes);
    return push(tag, attributes, written);
}

bool PlainReader::endTag(const Tag &tag)
{
    const std::string_view lower = tag.name;
    if (tag.flags & (Void | RawText | RcData))
        return false;
    if (m_mode != Mode::InBody) {
        if (lower == "head" && m_mode == Mode::InHead) {
            m_mode = Mode::AfterHead;
            return true;
        }
        return false;
    }
    if (lower == "body" || lower == "html")
        return true;
    if (lower == "head")
        return false;
    if (lower == "p") {
        if (find("p") < 0) {
            // An end tag with no paragraph open makes an empty one.
            flush();
            return true;
        }
        return generateImpliedEndTags("p") && popUntil(find("p"));
    }
    if (lower == "li") {
        if (find("li", true) < 0)
            return true;
        return generateImpliedEndTags("li") && popUntil(find("li"));
    }
    if (tag.flags & Heading) {
        qsizetype heading = -1;
        for (qsizetype k = qsizetype(m_stack.size()) - 1; k >= 0 && heading < 0; --k) {
            if (m_stack[size_t(k)].tag->flags & Heading)
                heading = k;
        }
        if (heading < 0)
            return true;
        return generateImpliedEndTags({}) && popUntil(heading);
    }
    if (tag.flags & ClosesP) {
        if (find(lower) < 0)
            return true;
        return generateImpliedEndTags({}) && popUntil(find(lower));
    }
    if (tag.flags & Formatting) {
        if (!m_stack.empty() && m_stack.back().tag->name == lower) {
            const int id = m_stack.back().id;
            const bool listed = std::any_of(m_active.begin(), m_active.end(), [id](const Active &a) { return a.id == id; });
            if (!listed)
                return pop();
        }
        qsizetype entry = -1;
        for (qsizetype k = qsizetype(m_active.size()) - 1; k >= 0 && entry < 0; --k) {
            if (m_active[size_t(k)].tag->name == lower)
                entry = k;
        }
        if (entry >= 0) {
            const int id = m_active[size_t(entry)].id;
            qsizetype index = -1;
            for (qsizetype k = qsizetype(m_stack.size()) - 1; k >= 0 && index < 0; --k) {
                if (m_stack[size_t(k)].id == id)
                    index = k;
            }
            if (index < 0) {
                m_active.erase(m_active.begin() + entry);
                return true;
            }
            // Only the case with no block inside the element; the rest moves nodes.
            for (size_t k = size_t(index) + 1; k < m_stack.size(); ++k) {
                if (m_stack[k].tag->flags & Special)
                    return false;
            }
            if (lower == "a" && size_t(index) + 1 != m_stack.size())
                return false;
            m_active.erase(m_active.begin() + entry);
            return popUntil(index);
        }
    }
    // Any other end tag: the nearest open element of that name, unless a
    // special element stands between.
    for (qsizetype k = qsizetype(m_stack.size()) - 1; k >= 0; --k) {
        const Open &open = m_stack[size_t(k)];
        if (open.tag->name == lower) {
            if (!generateImpliedEndTags(lower))
                return false;
            return popUntil(find(lower));
        }
        if (open.tag->flags & Special)
            return true;
    }
    return true;
}

}  // namespace

QStringList attributeTokens(const QString &value, QChar extraSeparator)
{
    QString lower = value.toLower();
    if (!extraSeparator.isNull())
        lower.replace(extraSeparator, u' ');
    return lower.simplified().split(u' ', Qt::SkipEmptyParts);
}

void appendScanText(QString &into, QStringView node)
{
    if (into.size() >= MaxScanText)
        return;
    // Collapsed a node at a time, the text is collapsed as a whole. Written
    // straight into the text: a copy and a simplified copy of every node
    // cost more than the rest of the reading.
    const qsizetype start = into.size();
    into.resize(start + node.size() + 1);
    QChar *const begin = into.data() + start;
    QChar *out = begin;
    bool space = false;
    for (const QChar c : node) {
        if (c.isSpace()) {
            space = out != begin;
            continue;
        }
        if (space) {
            *out++ = u' ';
            space = false;
        }
        *out++ = c;
    }
    if (out != begin)
        *out++ = u' ';
    into.truncate(out - into.data());
}

void finishScanText(QString &text)
{
    text.chop(text.endsWith(u' ') ? 1 : 0);
    text.truncate(MaxScanText);
}

std::optional<MarkupScan> scanPlainMarkup(QStringView html, const QString &url)
{
    if (html.contains(QChar(0)))
        return std::nullopt;
    if (html.contains(u'\r')) {
        // Line ends as the parser's input stream has them.
        QString normal = html.toString();
        normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        normal.replace(u'\r', u'\n');
        return PlainReader(normal, url).read();
    }
    return PlainReader(html, url).read();
}

}  // namespace quorvane::htmlparser
