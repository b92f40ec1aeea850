#include "core/casefold.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// The sort keys of the lists and the harvest's duplicate test depend on
// folding exactly as Qt does, whatever the text.
TEST(FoldCase, FoldsAsQtDoesAndSharesTextWithoutCapitals)
{
    const struct {
        const char16_t *text;
        bool unchanged;
    } cases[] = {
        {u"", true},
        {u"http://site.test/page/1.htm", true},
        {u"HTTP://Site.Test/Page/1.HTM", false},
        {u"@[`{AZaz", false},
        {u"Stra\u00dfe", false},
        {u"\u0130stanbul", false},
        {u"\u03a3\u03c2\u03c3", false},
        {u"Caf\u00c9", false},
        {u"ASCII then \U0001D400 beyond", false},
        {u"\u00ff\u0178", false},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        const QString folded = foldCase(text);
        EXPECT_EQ(folded, text.toCaseFolded());
        EXPECT_TRUE(!c.unchanged || folded.isSharedWith(text));
    }
}

// Which links count as pictures depends on matching exactly as Qt does.
TEST(FoldCase, ContainsFoldedMatchesAsQtDoes)
{
    const char16_t *const texts[] = {
        u"", u".jp", u".jpg", u"http://a.test/X.JPG", u"http://a.test/x.JpG?y", u"http://a.test/x.jpeg",
        u"http://a.test/é.jpg", u"http://a.test/.jpɡ", u"é", u"..JPG.", u"http://a.test/x.gif/é",
    };
    for (const char16_t *t : texts) {
        const QString text = QString::fromUtf16(t);
        SCOPED_TRACE(text.toStdString());
        for (const char *needle : {".jpg", ".gif"})
            EXPECT_EQ(containsFolded(text, QLatin1String(needle)), text.contains(QLatin1String(needle), Qt::CaseInsensitive));
    }
}

}  // namespace
}  // namespace quorvane
