#include "core/htmltext.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(HtmlText, MarkupAndQuotesCannotLeaveTheirPlaceAndOrdinaryTextIsUnchanged)
{
    const QString text = QStringLiteral("Don't miss: page 2 (new)");
    EXPECT_EQ(escapeHtmlText(text), text);
    EXPECT_EQ(escapeHtmlAttribute(QStringLiteral("http://a.example/b/c.htm")),
              QStringLiteral("http://a.example/b/c.htm"));
    EXPECT_EQ(escapeHtmlText(QStringLiteral("<script>x&y</script>")),
              QStringLiteral("&lt;script&gt;x&amp;y&lt;/script&gt;"));
    EXPECT_EQ(escapeHtmlAttribute(QStringLiteral("x' onmouseover='alert(1)\"")),
              QStringLiteral("x&#39; onmouseover=&#39;alert(1)&quot;"));
}

TEST(HtmlText, UnescapeRestoresWhatWasEscapedAndLeavesStrayAmpersands)
{
    const QString hostile = QStringLiteral("a<b>&c'd\"e &amp; f");
    EXPECT_EQ(unescapeHtml(escapeHtmlAttribute(hostile)), hostile);
    EXPECT_EQ(unescapeHtml(QStringLiteral("AT&T &#x41;&#66; &bogus; &#xD800; &")),
              QStringLiteral("AT&T AB &bogus; &#xD800; &"));
}
