#include "retryafter.h"

#include <QByteArray>
#include <QList>

namespace quorvane {

namespace {

int monthNumber(QByteArrayView name)
{
    static const char *const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    for (int i = 0; i < 12; ++i) {
        if (name.compare(QByteArrayView(months[i]), Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

bool isDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int number(QByteArrayView text)
{
    return isDigits(text) && text.size() <= 4 ? text.toInt() : -1;
}

// "08:49:37"
bool parseTime(QByteArrayView text, QTime &time)
{
    const QList<QByteArray> parts = text.toByteArray().split(':');
    if (parts.size() != 3 || parts.at(0).size() != 2 || parts.at(1).size() != 2 || parts.at(2).size() != 2)
        return false;
    time = QTime(number(parts.at(0)), number(parts.at(1)), number(parts.at(2)));
    return time.isValid();
}

QDateTime utc(int year, int month, int day, const QTime &time)
{
    const QDate date(year, month, day);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

}  // namespace

QDateTime parseHttpDate(QByteArrayView value)
{
    const QList<QByteArray> words = value.trimmed().toByteArray().simplified().split(' ');
    QTime time;
    // IMF-fixdate: "Sun, 06 Nov 1994 08:49:37 GMT"
    if (words.size() == 6 && words.at(0).endsWith(',') && words.at(5) == "GMT") {
        if (!parseTime(words.at(4), time) || words.at(1).size() != 2 || words.at(3).size() != 4)
            return {};
        return utc(number(words.at(3)), monthNumber(words.at(2)), number(words.at(1)), time);
    }
    // RFC 850: "Sunday, 06-Nov-94 08:49:37 GMT"; a two-digit year below 70
    // is this century's.
    if (words.size() == 4 && words.at(0).endsWith(',') && words.at(3) == "GMT") {
        const QList<QByteArray> date = words.at(1).split('-');
        if (date.size() != 3 || date.at(2).size() != 2 || !parseTime(words.at(2), time))
            return {};
        int year = number(date.at(2));
        if (year < 0)
            return {};
        year += year < 70 ? 2000 : 1900;
        return utc(year, monthNumber(date.at(1)), number(date.at(0)), time);
    }
    // asctime: "Sun Nov  6 08:49:37 1994"
    if (words.size() == 5 && words.at(4).size() == 4) {
        if (!parseTime(words.at(3), time))
            return {};
        return utc(number(words.at(4)), monthNumber(words.at(1)), number(words.at(2)), time);
    }
    return {};
}

std::optional<int> retryAfterSeconds(QByteArrayView value, const QDateTime &now, int capSeconds)
{
    const QByteArrayView text = value.trimmed();
    const int cap = qMax(0, capSeconds);
    if (isDigits(text)) {
        // Longer than any cap could be: no need to parse it.
        if (text.size() > 9)
            return cap;
        return qMin(text.toInt(), cap);
    }
    const QDateTime when = parseHttpDate(text);
    if (!when.isValid() || !now.isValid())
        return std::nullopt;
    const qint64 seconds = now.secsTo(when);
    return int(qBound<qint64>(0, seconds, qint64(cap)));
}

}  // namespace quorvane
