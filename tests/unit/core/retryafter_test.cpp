#include "core/retryafter.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(RetryAfter, ReadsSecondsAndDatesAgainstNowWithinTheCap)
{
    const QDateTime now(QDate(1994, 11, 6), QTime(8, 49, 0), Qt::UTC);
    const struct {
        const char *value;
        std::optional<int> seconds = std::nullopt;
    } cases[] = {
        {"120", 120},
        {" 0 ", 0},
        {"3601", 3600},                       // capped
        {"99999999999999999999", 3600},       // no overflow
        {"Sun, 06 Nov 1994 08:49:37 GMT", 37},
        {"Sunday, 06-Nov-94 08:49:37 GMT", 37},
        {"Sun Nov  6 08:49:37 1994", 37},
        {"Sun, 06 Nov 1994 08:48:00 GMT", 0},  // already past
        {"Mon, 07 Nov 1994 08:49:00 GMT", 3600},
        // Unreadable: no wait.
        {""}, {"-5"}, {"1.5"}, {"soon"}, {"Sun, 06 Nov 1994 08:49:37 CET"}, {"Sun, 31 Feb 1994 08:49:37 GMT"},
        {"Sun, 06 Nov 1994 25:49:37 GMT"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(retryAfterSeconds(c.value, now, 3600), c.seconds);
    }
}
