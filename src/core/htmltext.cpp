#include "htmltext.h"

#include <algorithm>

namespace quorvane {

namespace {
QString escape(const QString &text, bool quotes)
{
    const auto special = [quotes](QChar c) {
        const char16_t u = c.unicode();
        return u == '&' || u == '<' || u == '>' || (quotes && (u == '\'' || u == '"'));
    };
    // Ordinary text comes back shared, without a copy.
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '\'': quotes ? out += QLatin1String("&#39;") : out += c; break;
        case '"': quotes ? out += QLatin1String("&quot;") : out += c; break;
        default: out += c;
        }
    }
    return out;
}
}  // namespace

QString escapeHtmlText(const QString &text)
{
    return escape(text, false);
}

QString escapeHtmlAttribute(const QString &value)
{
    return escape(value, true);
}

QString unescapeHtml(const QString &html)
{
    if (!html.contains(QLatin1Char('&')))
        return html;
    QString out;
    out.reserve(html.size());
    for (qsizetype i = 0; i < html.size(); ++i) {
        const qsizetype end = html.at(i) == QLatin1Char('&') ? html.indexOf(QLatin1Char(';'), i) : -1;
        if (end < 0 || end - i > 10) {
            out += html.at(i);
            continue;
        }
        const QStringView entity = QStringView(html).mid(i + 1, end - i - 1);
        char32_t code = 0;
        if (entity == u"amp") code = '&';
        else if (entity == u"lt") code = '<';
        else if (entity == u"gt") code = '>';
        else if (entity == u"quot") code = '"';
        else if (entity == u"apos") code = '\'';
        else if (entity.startsWith(u'#')) {
            bool ok = false;
            const uint n = entity.startsWith(u"#x") || entity.startsWith(u"#X") ? entity.mid(2).toUInt(&ok, 16)
                                                                                : entity.mid(1).toUInt(&ok, 10);
            if (ok && n > 0 && n <= 0x10FFFF && !(n >= 0xD800 && n <= 0xDFFF))
                code = n;
        }
        if (!code) {
            out += html.at(i);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = end;
    }
    return out;
}

QString markupText(QStringView html)
{
    QString text;
    bool inTag = false;
    for (const QChar c : html) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return unescapeHtml(text).simplified();
}

}  // namespace quorvane
