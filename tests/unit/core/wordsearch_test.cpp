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

TEST(WordSearch, FoldsOnlyBasicLatinLetters)
{
    EXPECT_TRUE(containsIgnoringAsciiCase(u"Buy CHEAP links", u"cheap"));
    EXPECT_TRUE(containsIgnoringAsciiCase(u"x", u""));
    EXPECT_FALSE(containsIgnoringAsciiCase(u"", u"x"));
    // '@' and '`', '[' and '{' differ in the same bit as the letters' cases do.
    EXPECT_FALSE(containsIgnoringAsciiCase(u"write to `me", u"@me"));
    EXPECT_FALSE(containsIgnoringAsciiCase(u"[x]", u"{x}"));
    // Characters beyond ASCII whose low byte is a letter are other characters.
    EXPECT_FALSE(containsIgnoringAsciiCase(QStringLiteral("\u0161\u0141"), u"aA"));
    EXPECT_FALSE(containsIgnoringAsciiCase(QStringLiteral("\u212a"), u"k"));
    // Other words fold by Unicode.
    EXPECT_TRUE(containsWord(QStringLiteral("Gro\u00dfer \u00c4RGER"), QStringLiteral("\u00e4rger")));
    EXPECT_TRUE(containsWord(u"Contact us", u"CONTACT"));
    EXPECT_TRUE(containsWord(u"", u""));
}

TEST(WordSearch, AgreesWithTheReferenceAtEveryLengthAndOffset)
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
                ASSERT_EQ(containsIgnoringAsciiCase(text, word), referenceContains(text, word))
                    << "text '" << text.toStdString() << "' word '" << word.toStdString() << "'";
            }
        }
    }
}

TEST(WordSearch, FindsAWordAtTheVeryEndOfALongPage)
{
    QString page(32000, u'x');
    EXPECT_FALSE(containsIgnoringAsciiCase(page, u"QuorvaneKey"));
    page.replace(32000 - 11, 11, QStringLiteral("quorvanekey"));
    EXPECT_TRUE(containsIgnoringAsciiCase(page, u"QuorvaneKey"));
    EXPECT_FALSE(containsIgnoringAsciiCase(QStringView(page).first(31999), u"QuorvaneKey"));
}

}  // namespace
