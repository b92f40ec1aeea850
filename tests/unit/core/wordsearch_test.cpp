// The page keyword search, against a plain character-by-character reference,
// around the lengths where the wide scans hand over to the tail loop.
#include "core/wordsearch.h"

#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace quorvane;

namespace {

bool referenceContains(const QString &text, const QString &word)
{
    const auto fold = [](QChar c) { return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c; };
    for (qsizetype at = 0; at + word.size() <= text.size(); ++at) {
        qsizetype i = 0;
        while (i < word.size() && fold(text[at + i]) == fold(word[i]))
            ++i;
        if (i == word.size())
            return true;
    }
    return false;
}

// Through containsWord, so an ASCII word must also take the fast search: Qt's
// folding would find the Kelvin sign for "k".
TEST(WordSearch, AsciiWordsFoldOnlyBasicLatinLettersOtherWordsFoldByUnicode)
{
    const struct {
        QStringView text, word;
        bool found;
    } cases[] = {
        {u"Buy CHEAP links", u"cheap", true}, {u"x", u"", true}, {u"", u"", true}, {u"", u"x", false},
        // '@' and '`', '[' and '{' differ in the same bit as the letters' cases do.
        {u"write to `me", u"@me", false}, {u"[x]", u"{x}", false},
        // Characters beyond ASCII whose low byte is a letter are other characters.
        {u"\u0161\u0141", u"aA", false}, {u"\u212a", u"k", false},
        {u"Gro\u00dfer \u00c4RGER", u"\u00e4rger", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toString().toStdString() + " / " + c.word.toString().toStdString());
        EXPECT_EQ(containsWord(c.text, c.word), c.found);
    }
}

TEST(WordSearch, AgreesWithTheReferenceAtEveryLengthAndOffsetAndReadsNothingPastTheEnd)
{
    const QString alphabet = QStringLiteral("aAbB@`[{ \u0161\u0141\u00e9");
    std::mt19937 random(12345);
    const auto pick = [&] { return alphabet[int(random() % alphabet.size())]; };
    for (int n = 0; n <= 70; ++n) {
        for (int round = 0; round < 40; ++round) {
            QString text;
            for (int i = 0; i < n; ++i)
                text += pick();
            for (int m = 1; m <= 20; ++m) {
                QString word;
                for (int i = 0; i < m; ++i)
                    word += QChar(u"aAbB@`[{ "[random() % 9]);
                // Also a word cut from the text itself, so matches happen at every offset.
                if (m <= n) {
                    const int at = int(random() % (n - m + 1));
                    QString inside = text.mid(at, m);
                    if (std::all_of(inside.cbegin(), inside.cend(), [](QChar c) { return c.unicode() < 128; }))
                        word = inside.toUpper();
                }
                // The word also follows just past the end, where no scan may read.
                const QString page = text + word;
                ASSERT_EQ(containsIgnoringAsciiCase(QStringView(page).first(n), word), referenceContains(text, word))
                    << "text '" << text.toStdString() << "' word '" << word.toStdString() << "'";
            }
        }
    }
}

}  // namespace
