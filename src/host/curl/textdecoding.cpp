#include "textdecoding.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

namespace {

struct Label {
    const char *label;
    const char *encoding;
};

// Labels as pages write them, mapped to one name per encoding. Anything not
// listed is ignored rather than handed to the codec lookup, which accepts junk.
constexpr Label Labels[] = {
    {"utf-8", "utf-8"},
    {"utf8", "utf-8"},
    {"unicode-1-1-utf-8", "utf-8"},
    {"windows-1252", "windows-1252"},
    {"cp1252", "windows-1252"},
    {"x-cp1252", "windows-1252"},
    {"iso-8859-1", "windows-1252"},
    {"iso8859-1", "windows-1252"},
    {"iso_8859-1", "windows-1252"},
    {"latin1", "windows-1252"},
    {"l1", "windows-1252"},
    {"us-ascii", "windows-1252"},
    {"ascii", "windows-1252"},
    {"ansi_x3.4-1968", "windows-1252"},
    {"iso-8859-15", "ISO-8859-15"},
    {"iso8859-15", "ISO-8859-15"},
    {"iso_8859-15", "ISO-8859-15"},
    {"latin-9", "ISO-8859-15"},
    {"l9", "ISO-8859-15"},
    {"windows-1251", "windows-1251"},
    {"cp1251", "windows-1251"},
    {"x-cp1251", "windows-1251"},
    {"koi8-r", "KOI8-R"},
    {"koi8_r", "KOI8-R"},
    {"koi8", "KOI8-R"},
    {"cskoi8r", "KOI8-R"},
    {"shift_jis", "Shift_JIS"},
    {"shift-jis", "Shift_JIS"},
    {"sjis", "Shift_JIS"},
    {"x-sjis", "Shift_JIS"},
    {"ms_kanji", "Shift_JIS"},
    {"windows-31j", "Shift_JIS"},
    {"euc-jp", "EUC-JP"},
    {"x-euc-jp", "EUC-JP"},
    {"gbk", "GBK"},
    {"x-gbk", "GBK"},
    {"cp936", "GBK"},
    {"gb2312", "GBK"},
    {"gb_2312-80", "GBK"},
    {"gb18030", "GB18030"},
    {"big5", "Big5"},
    {"big5-hkscs", "Big5"},
    {"x-x-big5", "Big5"},
    {"euc-kr", "EUC-KR"},
    {"ks_c_5601-1987", "EUC-KR"},
    {"windows-949", "EUC-KR"},
    {"utf-16le", "UTF-16LE"},
    {"utf-16", "UTF-16LE"},
    {"unicode", "UTF-16LE"},
    {"ucs-2", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"},
    {"unicodefffe", "UTF-16BE"},
};

// Windows-1252 bytes 0x80 to 0x9F. The five unassigned bytes keep their C1 code points.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr qsizetype MetaScanLength = 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isSpace(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isSpace(text.back()))
        text.chop(1);
    return text;
}

QByteArray encodingForLabel(QByteArrayView label)
{
    const QByteArray key = trimmed(label).toByteArray().toLower();
    for (const Label &entry : Labels) {
        if (key == entry.label)
            return entry.encoding;
    }
    return {};
}

// The bytes where Windows-1252 differs from Latin-1.
bool isWindows1252Special(unsigned char byte)
{
    return (byte & 0xE0) == 0x80;
}

// Whether any byte is in 0x80-0x9F, sixteen bytes at a time where possible:
// most pages have none, and this runs once per page read.
bool containsWindows1252Specials(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i high3 = _mm_set1_epi8(char(0xE0));
    const __m128i c1 = _mm_set1_epi8(char(0x80));
    for (; i + 16 <= size; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(chunk, high3), c1)) != 0)
            return true;
    }
#endif
    return std::any_of(data + i, data + size, isWindows1252Special);
}

QString decodeWindows1252(QByteArrayView bytes)
{
    // Latin-1 everywhere but 0x80-0x9F: convert in bulk, then patch those few.
    QString text = QString::fromLatin1(bytes);
    if (!containsWindows1252Specials(bytes))
        return text;
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (isWindows1252Special(byte))
            out[i] = QChar(Windows1252High[byte - 0x80]);
    }
    return text;
}

std::optional<QString> decodeAs(const QByteArray &encoding, QByteArrayView bytes)
{
    if (encoding.isEmpty())
        return std::nullopt;
    // Done here rather than by the codec library, whose tables may differ in the
    // unassigned bytes from what browsers do.
    if (encoding == "windows-1252")
        return decodeWindows1252(bytes);
    QStringDecoder decoder(encoding.constData());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}

// The value after "charset=" in a Content-Type value or a meta content attribute.
QByteArrayView charsetParameter(QByteArrayView text)
{
    const QByteArray lower = text.toByteArray().toLower();
    const qsizetype at = lower.indexOf("charset");
    if (at < 0)
        return {};
    qsizetype i = at + 7;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i >= text.size() || text[i] != '=')
        return {};
    ++i;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    char quote = 0;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        quote = text[i];
        ++i;
    }
    qsizetype end = i;
    while (end < text.size()) {
        const char c = text[end];
        if (quote ? c == quote : (c == ';' || c == '"' || c == '\'' || c == '>' || c == '/' || isSpace(c)))
            break;
        ++end;
    }
    return text.sliced(i, end - i);
}

// A charset declared by a <meta> tag near the top of the document.
QByteArrayView metaCharset(QByteArrayView body)
{
    // Runs for every page read: tags are found by their '<' without copying the head.
    const QByteArrayView head = body.first(qMin(body.size(), MetaScanLength));
    const auto isMetaAt = [&](qsizetype at) {
        return at + 5 <= head.size() && QByteArrayView("meta").compare(head.sliced(at + 1, 4), Qt::CaseInsensitive) == 0;
    };
    for (qsizetype tag = head.indexOf('<'); tag >= 0; tag = head.indexOf('<', tag + 1)) {
        if (!isMetaAt(tag))
            continue;
        qsizetype end = head.indexOf('>', tag);
        if (end < 0)
            end = head.size();
        const QByteArrayView label = charsetParameter(head.sliced(tag, end - tag));
        if (!label.isEmpty())
            return label;
        tag = end - 1;
    }
    return {};
}

}  // namespace

QString decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    if (body.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringConverter::Utf8).decode(body);
    if (body.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE).decode(body);
    if (body.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE).decode(body);

    if (auto text = decodeAs(encodingForLabel(charsetParameter(contentType)), body))
        return *text;

    QByteArray declared = encodingForLabel(metaCharset(body));
    // A page that reached us as bytes cannot be UTF-16 if its markup was readable as
    // ASCII; browsers treat such a declaration as UTF-8.
    if (declared.startsWith("UTF-16"))
        declared = "utf-8";
    if (auto text = decodeAs(declared, body))
        return *text;

    return decodeWindows1252(body);
}

}  // namespace quorvane
