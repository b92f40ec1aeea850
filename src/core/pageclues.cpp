#include "pageclues.h"

#include "htmltext.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <initializer_list>

namespace quorvane {

namespace {

// Placeholder pages are short; longer text quoting these words is a page about them.
constexpr qsizetype ShortMissingText = 2500;
constexpr qsizetype ShortParkedText = 4000;
constexpr qsizetype TinyText = 800;

// Lower case, one plain space wherever white space stands (the Mongolian
// vowel separator too, which the patterns' \s takes and simplified() keeps),
// so that the literal tests below see what the patterns see.
QString normalized(const QString &text)
{
    // Most pages are plain ASCII: one pass does what the general path below does.
    QString ascii(text.size(), Qt::Uninitialized);
    QChar *out = ascii.data();
    bool pendingSpace = false;
    bool isAscii = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            isAscii = false;
            break;
        }
        if (u == u' ' || (u >= u'\t' && u <= u'\r')) {
            pendingSpace = out != ascii.data();
            continue;
        }
        if (pendingSpace)
            *out++ = u' ';
        pendingSpace = false;
        *out++ = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
    }
    if (isAscii) {
        ascii.truncate(out - ascii.data());
        return ascii;
    }

    QString general = text.toLower();
    general.replace(u'\u2019', u'\'');
    general.replace(u'\u00a0', u' ');
    general.replace(u'\u180e', u' ');
    return general.simplified();
}

bool containsAny(const QString &text, std::initializer_list<QStringView> words)
{
    for (const QStringView word : words) {
        if (text.contains(word))
            return true;
    }
    return false;
}

// Words every match of missingSentence() holds, one alternative each: most
// pages hold none, and testing for them costs a fraction of the pattern.
bool mayHoldMissingSentence(const QString &text)
{
    return containsAny(text, {u"page you ", u"file you ", u"find th",
                              u"sorry", u"the requested ", u"404."});
}

// The same for parkedSentence().
bool mayHoldParkedSentence(const QString &text)
{
    return containsAny(text, {u"domain", u"parked", u"for sale"});
}

QRegularExpression pattern(const char *source)
{
    return QRegularExpression(QString::fromUtf8(source), QRegularExpression::UseUnicodePropertiesOption);
}

// Whole title segments or headings that are a not-found message.
const QList<QRegularExpression> &missingTitles()
{
    static const QList<QRegularExpression> patterns = {
        pattern(R"(^(?:http\s+)?(?:error\s*)?404(?:\s*error)?[.!]?$)"),
        pattern(R"(^(?:oops[.!]*\s*)?(?:error\s*)?(?:404\W*)?(?:the\s+)?(?:page|file|document|resource|article|post|product|url)?\s*(?:was\s+)?not\s+found[.!]*$)"),
        pattern(R"(^(?:oops[.!,]*\s*)?(?:sorry[.!,]*\s*)?(?:the\s+|this\s+|that\s+)?(?:page|file)\s+(?:you\s+(?:requested|are\s+looking\s+for|were\s+looking\s+for)\s+)?(?:(?:does\s+not|doesn't)\s+exist|(?:cannot|can't|could\s+not|couldn't)\s+be\s+found|no\s+longer\s+exists|is\s+(?:no\s+longer\s+available|missing|gone))[.!]*$)"),
        pattern(R"(^nothing\s+(?:was\s+)?found(?:\s+here)?[.!]*$)"),
        pattern(R"(^(?:404\W*)?(?:seite\s+nicht\s+gefunden|p[áa]gina\s+no\s+encontrada|page\s+introuvable|pagina\s+non\s+trovata|pagina\s+niet\s+gevonden|p[áa]gina\s+n[ãa]o\s+encontrada|страница\s+не\s+найдена)[.!]*$)"),
    };
    return patterns;
}

// Sentences of a short page that say the page asked for is missing.
const QRegularExpression &missingSentence()
{
    static const QRegularExpression sentence = pattern(
        R"((?:page|file)\s+you\s+(?:requested|are\s+looking\s+for|were\s+looking\s+for|tried\s+to\s+(?:reach|access|open))\s+)"
        R"((?:(?:could\s+not|cannot|can't|couldn't)\s+be\s+found|(?:does\s+not|doesn't|did\s+not|didn't)\s+exist|(?:was|is)\s+not\s+found)"
        R"(|(?:may|might)\s+have\s+been\s+(?:removed|moved|deleted)|no\s+longer\s+exists|is\s+no\s+longer\s+available))"
        R"(|we\s+(?:could\s+not|couldn't|can't|cannot)\s+find\s+(?:the|that|this)\s+page)"
        R"(|sorry,?\s+(?:but\s+)?(?:the|this|that)\s+page\s+(?:does\s+not|doesn't|can't|cannot|could\s+not|couldn't)\s+(?:exist|be\s+found))"
        R"(|the\s+requested\s+(?:url|page|resource)\s+(?:\S+\s+)?was\s+not\s+found\s+on\s+this\s+server)"
        R"(|\b404\.\s*that's\s+an\s+error)");
    return sentence;
}

// Words a parked page uses wherever they stand.
const QRegularExpression &parkedSentence()
{
    static const QRegularExpression sentence = pattern(
        R"(this\s+domain\s+(?:name\s+)?(?:is|may\s+be|might\s+be|could\s+be)\s+for\s+sale)"
        R"(|(?:the\s+)?domain\s+(?:name\s+)?\S+\.[a-z]{2,}\s+(?:is|may\s+be|might\s+be)\s+for\s+sale)"
        R"(|^\S+\.[a-z]{2,}\s+(?:is|may\s+be|might\s+be)\s+for\s+sale)"
        R"(|buy\s+this\s+domain|make\s+an\s+offer\s+on\s+this\s+domain|inquire\s+about\s+(?:purchasing\s+)?this\s+domain)"
        R"(|this\s+(?:domain|web\s*page|website|site)\s+(?:name\s+)?(?:is\s+|has\s+been\s+)?parked)"
        R"(|parked\s+free,?\s+courtesy\s+of|is\s+parked\s+(?:free|with|at|by)\b)"
        R"(|this\s+domain\s+(?:name\s+)?has\s+(?:recently\s+)?been\s+registered)"
        R"(|the\s+owner\s+of\s+this\s+domain\s+has\s+not\s+yet)"
        R"(|this\s+domain\s+(?:name\s+)?(?:has\s+)?expired)");
    return sentence;
}

QStringList titleSegments(const QString &title)
{
    static const QRegularExpression separators = pattern(R"(\s+[|\-–—·»:/]\s+|\s*[|–—·»]\s*|:\s+)");
    QStringList segments = title.split(separators, Qt::SkipEmptyParts);
    for (QString &segment : segments)
        segment = segment.trimmed();
    return segments;
}

bool isMissingTitle(const QString &text)
{
    for (const QRegularExpression &re : missingTitles()) {
        if (re.match(text).hasMatch())
            return true;
    }
    return false;
}

QString bareHost(const QString &host)
{
    QString bare = host.toLower();
    if (bare.startsWith(QStringLiteral("www.")))
        bare = bare.mid(4);
    return bare;
}

}  // namespace

PageClues readPageClues(const PageWords &page)
{
    const QString title = normalized(page.title);
    const QString heading = normalized(page.heading);
    // Only short pages are read by their text: a long one needs no text work.
    qsizetype letters = 0;
    for (const QChar c : page.text) {
        if (!c.isSpace() && ++letters > ShortParkedText)
            break;
    }
    const QString text = letters > ShortParkedText ? QString() : normalized(page.text);
    const qsizetype textSize = letters > ShortParkedText ? letters : text.size();

    PageClues clues;
    const QStringList segments = titleSegments(title);
    bool missingTitle = isMissingTitle(heading);
    for (const QString &segment : segments)
        missingTitle = missingTitle || isMissingTitle(segment);
    clues.softNotFound = missingTitle
        || (textSize <= ShortMissingText && mayHoldMissingSentence(text) && missingSentence().match(text).hasMatch());

    const QString host = bareHost(page.host);
    bool titledWithHost = false;
    for (const QString &segment : segments)
        titledWithHost = titledWithHost || (!host.isEmpty() && bareHost(segment) == host);
    clues.parked = (mayHoldParkedSentence(title) && parkedSentence().match(title).hasMatch())
        || (textSize <= ShortParkedText && mayHoldParkedSentence(text) && parkedSentence().match(text).hasMatch())
        || (titledWithHost && textSize <= TinyText
            && (text.contains(QStringLiteral("for sale")) || text.contains(QStringLiteral("this domain"))
                || text.contains(QStringLiteral("related searches")) || text.contains(QStringLiteral("sponsored listings"))));
    return clues;
}

namespace {

// Where "<" + name starts, ignoring case, from from on; -1 when nowhere. A
// page has few tags: looking at each "<" is cheaper than a case-blind search
// for the whole name.
qsizetype findMarkup(QStringView html, QStringView name, qsizetype from)
{
    while ((from = html.indexOf(u'<', from)) >= 0) {
        if (html.mid(from + 1, name.size()).compare(name, Qt::CaseInsensitive) == 0)
            return from;
        ++from;
    }
    return -1;
}

// The element text between <tag ...> and </tag>, tags inside dropped.
QString elementText(const QString &html, QLatin1String tag)
{
    const QString name = tag;
    qsizetype from = 0;
    while ((from = findMarkup(html, name, from)) >= 0) {
        const qsizetype after = from + 1 + name.size();
        if (after < html.size() && (html.at(after) == u'>' || html.at(after).isSpace()))
            break;
        from = after;
    }
    if (from < 0)
        return {};
    const qsizetype start = html.indexOf(u'>', from);
    if (start < 0)
        return {};
    qsizetype end = findMarkup(html, QString(u'/' + name), start);
    if (end < 0)
        end = html.size();
    return markupText(QStringView(html).mid(start + 1, end - start - 1));
}

}  // namespace

PageWords pageWordsFromHtml(const QString &url, const QString &html)
{
    PageWords words;
    words.host = QUrl(url).host();
    words.title = elementText(html, QLatin1String("title"));
    words.heading = elementText(html, QLatin1String("h1"));
    // Never longer than the markup: each character gives at most one.
    QString text(html.size(), Qt::Uninitialized);
    QChar *out = text.data();
    bool inTag = false;
    QLatin1String skipUntil;
    for (qsizetype i = 0; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!skipUntil.isEmpty()) {
            if (c == u'<' && QStringView(html).mid(i, skipUntil.size()).compare(skipUntil, Qt::CaseInsensitive) == 0) {
                i += skipUntil.size() - 1;
                skipUntil = QLatin1String();
                inTag = true;
            }
            continue;
        }
        if (c == u'<') {
            inTag = true;
            const QStringView rest = QStringView(html).mid(i + 1, 6);
            if (rest.startsWith(QLatin1String("script"), Qt::CaseInsensitive))
                skipUntil = QLatin1String("</script");
            else if (rest.startsWith(QLatin1String("style"), Qt::CaseInsensitive))
                skipUntil = QLatin1String("</style");
            else if (rest.startsWith(QLatin1String("title"), Qt::CaseInsensitive))
                skipUntil = QLatin1String("</title");
            *out++ = u' ';
        } else if (c == u'>') {
            inTag = false;
        } else if (!inTag) {
            *out++ = c;
        }
    }
    text.truncate(out - text.data());
    words.text = unescapeHtml(text).simplified();
    return words;
}

int paragraphCount(const QString &html)
{
    int count = 0;
    qsizetype from = 0;
    while ((from = findMarkup(html, u"p", from)) >= 0) {
        from += 2;
        if (from < html.size() && (html.at(from) == u'>' || html.at(from).isSpace()))
            ++count;
    }
    return count;
}

}  // namespace quorvane
