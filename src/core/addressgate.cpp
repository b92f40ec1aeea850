#include "addressgate.h"

#include "casefold.h"

namespace quorvane {

namespace {
bool isAsciiAlpha(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Browsers drop leading and trailing C0 controls and spaces before parsing.
QStringView trimmedAddress(QStringView address)
{
    qsizetype begin = 0;
    qsizetype end = address.size();
    while (begin < end && address.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && address.at(end - 1).unicode() <= 0x20)
        --end;
    return address.sliced(begin, end - begin);
}
}  // namespace

namespace {
// The scheme as written (any case), or empty; no copy, for the tests below
// that run once per link of a page.
QStringView schemeOf(QStringView address)
{
    const QStringView text = trimmedAddress(address);
    if (text.isEmpty() || !isAsciiAlpha(text.front()))
        return {};
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u':')
            return text.first(i);
        // A tab or line break inside the scheme ("java\tscript:") is no scheme
        // of ours: browsers would remove it and run the script.
        if (!isAsciiAlpha(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return {};
    }
    return {};
}

bool isScheme(QStringView scheme, QStringView lowerName)
{
    return scheme.compare(lowerName, Qt::CaseInsensitive) == 0;
}
}  // namespace

QString addressScheme(QStringView address)
{
    return schemeOf(address).toString().toLower();
}

bool isWebAddress(QStringView address)
{
    const QStringView scheme = schemeOf(address);
    if (!isScheme(scheme, u"http") && !isScheme(scheme, u"https"))
        return false;
    return trimmedAddress(address).sliced(scheme.size() + 1).startsWith(u"//");
}

bool isLocalFileAddress(QStringView address)
{
    return isScheme(schemeOf(address), u"file");
}

bool isPageAddressAllowed(QStringView address, QStringView pageUrl)
{
    return isWebAddress(address) || (isLocalFileAddress(address) && isLocalFileAddress(pageUrl));
}

bool isOpenableAddress(QStringView address)
{
    if (isWebAddress(address) || isLocalFileAddress(address))
        return true;
    // A bare host, maybe with a port ("example.com", "localhost:8080/x"),
    // which a view completes to a web address; never "name:anything else".
    const QStringView text = trimmedAddress(address);
    const qsizetype colon = text.indexOf(u':');
    if (text.isEmpty() || text.startsWith(u"//"))
        return false;
    if (colon < 0)
        return true;
    qsizetype end = colon + 1;
    while (end < text.size() && text.at(end) >= u'0' && text.at(end) <= u'9')
        ++end;
    return end > colon + 1 && (end == text.size() || text.at(end) == u'/') && !text.first(colon).contains(u'/');
}

bool isPictureLink(QStringView address)
{
    return containsFolded(address, QLatin1String(".jpg")) || containsFolded(address, QLatin1String(".gif"));
}

}  // namespace quorvane
