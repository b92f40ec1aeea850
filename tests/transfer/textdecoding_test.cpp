#include "host/curl/textdecoding.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

TEST(TextDecoding, PicksTheEncodingInBrowserOrder)
{
    const QByteArray metaUtf8 = "<html><head><meta charset=\"utf-8\"></head><body>" + bytes("c3a9") + "</body>";
    const QByteArray metaKoi8 = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">"
        + bytes("f0d2c9d7c5d4");
    const QByteArray lateMeta = QByteArray(1100, ' ') + "<meta charset=utf-8>" + bytes("c3a9");

    const struct {
        const char *what;
        QByteArray body;
        QByteArray contentType;
        QString expected;
    } cases[] = {
        {"empty", {}, "text/html; charset=utf-8", {}},
        {"utf-8 mark beats the header", bytes("efbbbf") + "a" + bytes("c3a9"), "text/html; charset=iso-8859-1",
         QStringLiteral("aé")},
        {"utf-16le mark", bytes("fffe41004200"), "text/html", QStringLiteral("AB")},
        {"utf-16le mark, a dangling byte", bytes("fffe4100d8"), {}, QStringLiteral("A")},
        {"utf-16be mark", bytes("feff00410042"), "text/html; charset=utf-8", QStringLiteral("AB")},
        {"header utf-8", bytes("c3a9"), "text/html; charset=utf-8", QStringLiteral("é")},
        {"header utf-8, invalid and cut-off bytes", bytes("61ff62c3"), "text/html; charset=utf-8",
         QStringLiteral("a\uFFFDb")},
        {"header label is trimmed, quoted and any case", bytes("c3a9"), "text/html;Charset = \"UTF8\"",
         QStringLiteral("é")},
        {"header beats meta", "<meta charset=utf-8>" + bytes("e9"), "text/html; charset=latin1",
         QStringLiteral("<meta charset=utf-8>é")},
        {"header windows-1251", bytes("cff0e8e2e5f2"), "text/plain; charset=cp1251", QStringLiteral("Привет")},
        {"header shift_jis", bytes("93fa967b"), "text/html; charset=Shift_JIS", QStringLiteral("日本")},
        {"header gb2312 reads as gbk", bytes("c4e3bac3"), "text/html; charset=gb2312", QStringLiteral("你好")},
        {"junk label falls through to windows-1252", bytes("c3a9"), "text/html; charset=utf-8,gbk",
         QStringLiteral("Ã©")},
        {"unknown label falls through to meta", metaUtf8, "text/html; charset=x-made-up",
         QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>é</body>")},
        {"meta http-equiv", metaKoi8, "text/html",
         QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">Привет")},
        {"meta past 1024 bytes is ignored", lateMeta, {},
         QString(1100, u' ') + QStringLiteral("<meta charset=utf-8>Ã©")},
        {"meta utf-16 means utf-8", "<meta charset=utf-16>" + bytes("c3a9"), "text/html",
         QStringLiteral("<meta charset=utf-16>é")},
        // The unassigned 0x81 keeps its C1 code point.
        {"windows-1252 fallback", bytes("80931f9481a0ff"), {}, QStringLiteral("€“\u001f”\u0081\u00a0ÿ")},
        {"latin1 label means windows-1252", bytes("80"), "text/html; charset=ISO-8859-1", QStringLiteral("€")},
        // Pages are scanned sixteen bytes at a time, then byte by byte at the end.
        {"windows-1252 inside a long page", QByteArray(17, 'a') + bytes("9f") + QByteArray(20, 'b'), {},
         QString(17, u'a') + QStringLiteral("Ÿ") + QString(20, u'b')},
        {"windows-1252 only in the last bytes", QByteArray(32, 'a') + bytes("e980"), {},
         QString(32, u'a') + QStringLiteral("é€")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decodeBody(c.body, c.contentType), c.expected);
    }
}

}  // namespace
}  // namespace quorvane
