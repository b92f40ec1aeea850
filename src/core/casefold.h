#pragma once

#include <QString>
#include <QStringView>

namespace quorvane {

// QString::toCaseFolded(), with the common case made cheap: an address or a
// word of plain ASCII folds by lowering A to Z, and one with no capital comes
// back as the same shared string. The Unicode tables are read only for text
// beyond ASCII.
inline QString foldCase(const QString &text)
{
    const QChar *const begin = text.constData();
    const QChar *const end = begin + text.size();
    const QChar *firstCapital = nullptr;
    for (const QChar *c = begin; c != end; ++c) {
        const char16_t u = c->unicode();
        if (u >= 0x80)
            return text.toCaseFolded();
        if (!firstCapital && u >= u'A' && u <= u'Z')
            firstCapital = c;
    }
    if (!firstCapital)
        return text;
    QString folded = text;
    QChar *out = folded.data();
    for (qsizetype i = firstCapital - begin; i < folded.size(); ++i) {
        const char16_t u = out[i].unicode();
        if (u >= u'A' && u <= u'Z')
            out[i] = QChar(char16_t(u + (u'a' - u'A')));
    }
    return folded;
}

// text.contains(needle, Qt::CaseInsensitive) for a needle of lower-case
// ASCII letters and punctuation, without Qt's conversion of the needle on
// every call: ASCII text is searched by lowering A to Z, text beyond ASCII
// (whose folding may reach ASCII letters) as Qt searches it.
inline bool containsFolded(QStringView text, QLatin1StringView needle)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.contains(needle, Qt::CaseInsensitive);
    }
    const auto lower = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
    };
    for (qsizetype i = 0; i + needle.size() <= text.size(); ++i) {
        qsizetype k = 0;
        while (k < needle.size() && lower(text[i + k]) == char16_t(needle[k].unicode()))
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

}  // namespace quorvane
