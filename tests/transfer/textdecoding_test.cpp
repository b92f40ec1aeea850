#include "host/curl/textdecoding.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct DecodingCase {
    const char *what;
    QByteArray body;
    QByteArray contentType;
    QString expected;
};

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QString text(const char16_t *units)
{
    return QString::fromUtf16(units);
}

TEST(DecodeBody, PicksTheEncodingInBrowserOrder)
{
    const QByteArray metaUtf8 = "<html><head><meta charset=\"utf-8\"></head><body>" + bytes("c3a9") + "</body>";
    const QByteArray metaKoi8 = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">"
        + bytes("f0d2c9d7c5d4");
    const QByteArray lateMeta = QByteArray(1100, ' ') + "<meta charset=utf-8>" + bytes("c3a9");

    const DecodingCase cases[] = {
        {"empty", {}, "text/html; charset=utf-8", {}},
        {"utf-8 mark beats the header", bytes("efbbbf") + "a" + bytes("c3a9"), "text/html; charset=iso-8859-1",
         text(u"aé")},
        {"utf-16le mark", bytes("fffe41004200"), "text/html", QStringLiteral("AB")},
        {"utf-16be mark", bytes("feff00410042"), "text/html; charset=utf-8", QStringLiteral("AB")},
        {"header utf-8", bytes("c3a9"), "text/html; charset=utf-8", text(u"é")},
        {"header label is trimmed, quoted and any case", bytes("c3a9"), "text/html;Charset = \"UTF8\"",
         text(u"é")},
        {"header beats meta", "<meta charset=utf-8>" + bytes("e9"), "text/html; charset=latin1",
         text(u"<meta charset=utf-8>é")},
        {"header windows-1251", bytes("cff0e8e2e5f2"), "text/plain; charset=cp1251", text(u"Привет")},
        {"header shift_jis", bytes("93fa967b"), "text/html; charset=Shift_JIS", text(u"日本")},
        {"header gb2312 reads as gbk", bytes("c4e3bac3"), "text/html; charset=gb2312", text(u"你好")},
        {"junk label falls through to windows-1252", bytes("c3a9"), "text/html; charset=utf-8,gbk",
         text(u"Ã©")},
        {"unknown label falls through to meta", metaUtf8, "text/html; charset=x-made-up",
         text(u"<html><head><meta charset=\"utf-8\"></head><body>é</body>")},
        {"meta http-equiv", metaKoi8, "text/html",
         text(u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">Привет")},
        {"meta past 1024 bytes is ignored", lateMeta, {},
         QString(1100, u' ') + text(u"<meta charset=utf-8>Ã©")},
        {"meta utf-16 means utf-8", "<meta charset=utf-16>" + bytes("c3a9"), "text/html",
         text(u"<meta charset=utf-16>é")},
        {"windows-1252 fallback", bytes("80931f9481a0ff"), {}, text(u"€“\u001f”\u0081\u00a0ÿ")},
        {"latin1 label means windows-1252", bytes("80"), "text/html; charset=ISO-8859-1", text(u"€")},
        {"windows-1252 inside a long page", QByteArray(17, 'a') + bytes("9f") + QByteArray(20, 'b'), {},
         QString(17, u'a') + text(u"Ÿ") + QString(20, u'b')},
        {"windows-1252 only in the last bytes", QByteArray(32, 'a') + bytes("e980"), {},
         QString(32, u'a') + text(u"é€")},
    };
    for (const DecodingCase &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decodeBody(c.body, c.contentType), c.expected);
    }
}

TEST(DecodeBody, InvalidBytesBecomeReplacementCharacters)
{
    const QString decoded = decodeBody(bytes("61ff62c3"), "text/html; charset=utf-8");
    EXPECT_TRUE(decoded.startsWith(u'a'));
    EXPECT_TRUE(decoded.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(decoded.contains(u'b'));

    // A dangling byte after a UTF-16 mark.
    EXPECT_TRUE(decodeBody(bytes("fffe4100d8"), {}).startsWith(u'A'));
}

}  // namespace
}  // namespace quorvane
