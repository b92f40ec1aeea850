#include "shoppages.h"

#include "shoptemplates.h"

#include "core/htmltext.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace quorvane::shoppages {

namespace {

using Page = shoptemplates::Page;
using Value = std::pair<QLatin1String, QString>;

constexpr QChar OpenMark(0x00AB);   // «
constexpr QChar CloseMark(0x00BB);  // »

// One pass over the template, so a value that itself holds «NAME» stays as typed.
QString fill(const QString &pattern, std::initializer_list<Value> values)
{
    QString out;
    out.reserve(pattern.size() + 256);
    qsizetype from = 0;
    while (true) {
        const qsizetype open = pattern.indexOf(OpenMark, from);
        const qsizetype close = open < 0 ? -1 : pattern.indexOf(CloseMark, open + 1);
        if (close < 0) {
            out += QStringView(pattern).mid(from);
            return out;
        }
        out += QStringView(pattern).mid(from, open - from);
        const QStringView name = QStringView(pattern).mid(open + 1, close - open - 1);
        bool known = false;
        for (const Value &v : values) {
            if (name == v.first) {
                out += v.second;
                known = true;
                break;
            }
        }
        if (!known)
            out += QStringView(pattern).mid(open, close - open + 1);
        from = close + 1;
    }
}

// Numbers in the item script are written with one space before them: " 0", " 12".
QString spacedNumber(qsizetype n)
{
    return QLatin1Char(' ') + QString::number(n);
}

QString pageTitle(const ShopDescription &shop)
{
    return escapeHtmlText(shop.category.toUpper());
}

QString stripSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

}  // namespace

const QString &headerLine()
{
    static const QString header =
        QStringLiteral("Item ID , Item Description , Item Price ,Item Picture URL, Item Description URL , ");
    return header;
}

QString siteName(const QString &category)
{
    return stripSpaces(category).toLower();
}

QString siteNameProblem(const QString &category)
{
    const QString name = siteName(category);
    QString why;
    if (name.isEmpty())
        why = QStringLiteral("it is empty once its outer spaces are removed");
    else if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        why = QStringLiteral("it holds a path separator");
    else if (name.contains(QLatin1String("..")) || name == QLatin1String("."))
        why = QStringLiteral("it holds \"..\"");
    else if (std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        why = QStringLiteral("it holds a control character");
    else if (name.toUtf8().size() > 200)
        why = QStringLiteral("it is too long");
    if (why.isEmpty())
        return {};
    return QStringLiteral("The Category name \"%1\" cannot name the site folder: %2.").arg(category, why);
}

std::optional<QStringList> cutEntry(const QString &entry)
{
    QStringList fields;
    qsizetype start = 0;
    for (int k = 0; k < 5; ++k) {
        const qsizetype comma = entry.indexOf(QLatin1Char(','), start);
        if (comma < 0)
            return std::nullopt;
        fields.append(entry.mid(start, comma - start));
        start = comma + 1;
    }
    return fields;
}

bool isDecimalNumber(const QString &text)
{
    int digits = 0;
    int points = 0;
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == QLatin1Char('.'))
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

QString scriptPrice(const QString &price)
{
    const qsizetype point = price.indexOf(QLatin1Char('.'));
    const qsizetype whole = point < 0 ? price.size() : point;
    qsizetype zeros = 0;
    while (zeros + 1 < whole && price.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return zeros == 0 ? price : price.mid(zeros);
}

QString javaScriptString(const QString &text, QChar quote)
{
    // Ordinary text goes through uncopied.
    const bool plain = std::none_of(text.cbegin(), text.cend(), [quote](QChar c) {
        return c == quote || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x2028
            || c.unicode() == 0x2029;
    });
    if (plain)
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == quote) {
            out += QLatin1Char('\\');
            out += c;
            continue;
        }
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

namespace {

QString replaced(const QString &text, bool (*escaped)(QChar), QString (*replacement)(QChar))
{
    if (std::none_of(text.cbegin(), text.cend(), escaped))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (QChar c : text)
        out += escaped(c) ? replacement(c) : QString(c);
    return out;
}

QString percentEncoded(QChar c)
{
    return QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
}

// The Go back URL inside onClick="window.open('...','_top')".
QString scriptAttribute(const QString &text)
{
    return escapeHtmlAttribute(javaScriptString(text, QLatin1Char('\'')));
}

// A "?" or "#" in the address would cut the subject off the mailto address.
QString mailAddress(const QString &email)
{
    return escapeHtmlAttribute(replaced(
        email, [](QChar c) { return c == QLatin1Char('?') || c == QLatin1Char('#'); }, percentEncoded));
}

// document.write takes the heading as markup: escaped, the name shows as typed.
QString listHeading(const QString &category)
{
    return javaScriptString(escapeHtmlText(category));
}

}  // namespace

QString siteAddress(const QString &site)
{
    // The name is a file name, not an address: every "%" is literal.
    const QString encoded = replaced(
        site,
        [](QChar c) {
            return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"%'\"<>\\#?").contains(c);
        },
        percentEncoded);
    return escapeHtmlAttribute(encoded);
}

// Every value a page takes is written for the place it lands in; ordinary
// names and addresses come through unchanged.
QString framesetPage(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::Frameset), {{QLatin1String("TITLE"), pageTitle(shop)},
                                                      {QLatin1String("SITE"), siteAddress(siteName(shop.category))}});
}

QString menuPage(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::Menu), {{QLatin1String("TITLE"), pageTitle(shop)},
                                                  {QLatin1String("SITE"), siteAddress(siteName(shop.category))},
                                                  {QLatin1String("GOBACK"), escapeHtmlAttribute(shop.goBack)}});
}

QString listPage(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::List), {{QLatin1String("TITLE"), pageTitle(shop)},
                                                  {QLatin1String("SITE"), siteAddress(siteName(shop.category))},
                                                  {QLatin1String("GOBACK"), scriptAttribute(shop.goBack)}});
}

QString basketPage(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::Basket), {{QLatin1String("TITLE"), pageTitle(shop)},
                                                    {QLatin1String("SITE"), siteAddress(siteName(shop.category))},
                                                    {QLatin1String("GOBACK"), scriptAttribute(shop.goBack)}});
}

QString paymentFormPage(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::PaymentForm), {{QLatin1String("TITLE"), pageTitle(shop)},
                                                         {QLatin1String("SITE"), siteAddress(siteName(shop.category))},
                                                         {QLatin1String("GOBACK"), scriptAttribute(shop.goBack)},
                                                         {QLatin1String("ACTION"), shop.formAction},
                                                         {QLatin1String("TABLE"), shop.tableStyle},
                                                         {QLatin1String("FONT"), shop.fontStyle}});
}

QString emailFormPage(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::EmailForm), {{QLatin1String("TITLE"), pageTitle(shop)},
                                                       {QLatin1String("SITE"), siteAddress(siteName(shop.category))},
                                                       {QLatin1String("EMAIL"), mailAddress(shop.email)},
                                                       {QLatin1String("FONT"), shop.fontStyle}});
}

// The scripts carry the styles and the category inside double-quoted strings:
// escaped there, they still write the same markup.
QString basketScript(const ShopDescription &shop)
{
    return fill(shoptemplates::text(Page::BasketScript),
                {{QLatin1String("TABLE"), javaScriptString(shop.tableStyle)},
                 {QLatin1String("FONT"), javaScriptString(shop.fontStyle)}});
}

QString orderScript(const ShopDescription &shop)
{
    return shoptemplates::text(Page::OrderScript);
}

ItemScript itemScript(const ShopDescription &shop)
{
    const qsizetype items = shop.entries.isEmpty() ? 0 : shop.entries.size() - 1;
    ItemScript script;
    QString &text = script.text;
    text = fill(shoptemplates::text(Page::ItemScriptHead), {{QLatin1String("COUNT"), spacedNumber(items)}});
    text.reserve(text.size() + items * 96 + 4096);

    const QString &line = shoptemplates::itemLine();
    for (qsizetype i = 1; i <= items; ++i) {
        const std::optional<QStringList> fields = cutEntry(shop.entries.at(i));
        // The price lands unquoted in the script: anything but a number would run as code.
        if (!fields || !isDecimalNumber(fields->at(2))) {
            script.text.clear();
            script.badEntry = int(i);
            return script;
        }
        text += fill(line, {{QLatin1String("I"), spacedNumber(i)},
                            {QLatin1String("ID"), javaScriptString(fields->at(0))},
                            {QLatin1String("DESC"), javaScriptString(fields->at(1))},
                            {QLatin1String("PRICE"), scriptPrice(fields->at(2))},
                            {QLatin1String("PIC"), javaScriptString(fields->at(3))},
                            {QLatin1String("URL"), javaScriptString(fields->at(4))}});
        text += QLatin1String("\r\n");
    }
    text += fill(shoptemplates::text(Page::ItemScriptTail),
                 {{QLatin1String("FONT"), javaScriptString(shop.fontStyle)},
                  {QLatin1String("TABLE"), javaScriptString(shop.tableStyle)},
                  {QLatin1String("CATEGORY"), listHeading(shop.category)}});
    return script;
}

}  // namespace quorvane::shoppages
