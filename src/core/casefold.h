#pragma once

#include <QString>

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

}  // namespace quorvane
