// What a transfer reports beside its state: headers and the user agent.
#include "support/fakehost.h"
#include "host/transfer.h"

#include <gtest/gtest.h>

using namespace quorvane;

TEST(HttpHeaders, LooksUpByNameIgnoringCaseAndKeepsTheLastResponseOnly)
{
    HttpHeaders headers;
    headers.addLine("HTTP/1.1 301 Moved\r\n");
    headers.addLine("Location: /there\r\n");
    headers.addLine("HTTP/1.1 429 Too Many Requests\r\n");  // the next response
    headers.addLine("Retry-After:  120 \r\n");
    headers.addLine("X-Robots-Tag: noindex\r\n");
    headers.addLine("x-robots-tag: nofollow\r\n");
    headers.addLine("Set-Cookie: a=1;\r\n");
    headers.addLine("\tpath=/\r\n");  // folded
    headers.addLine("no colon here\r\n");
    headers.addLine("\r\n");
    EXPECT_FALSE(headers.contains("location"));
    EXPECT_EQ(headers.value("retry-after"), QByteArray("120"));
    EXPECT_EQ(headers.values("X-ROBOTS-TAG"), (QList<QByteArray>{"noindex", "nofollow"}));
    EXPECT_EQ(headers.value("Set-Cookie"), QByteArray("a=1; path=/"));
    EXPECT_EQ(headers.value("missing"), QByteArray());
    EXPECT_EQ(headers.fields().size(), 4);

    HttpHeaders flood;
    for (int i = 0; i < HttpHeaders::MaxFields + 10; ++i)
        flood.addLine(QByteArray("X-Filler: " + QByteArray::number(i)));
    EXPECT_EQ(flood.fields().size(), HttpHeaders::MaxFields);
    HttpHeaders huge;
    EXPECT_FALSE(huge.add("X-Big", QByteArray(HttpHeaders::MaxBytes + 1, 'x')));
    EXPECT_TRUE(huge.isEmpty());
}

TEST(TransferUserAgent, NamesProgramVersionAndHomeSiteWithoutBreakingTheHeader)
{
    EXPECT_EQ(userAgentFor(QStringLiteral("home.test:8080")), QStringLiteral("Quorvane/0.1 (+http://home.test:8080/)"));
    EXPECT_EQ(userAgentFor(QStringLiteral("a\r\nX-Evil: 1")), QStringLiteral("Quorvane/0.1 (+http://aX-Evil:1/)"));
    EXPECT_EQ(userAgentFor(QString()), QStringLiteral("Quorvane/0.1"));

    FakeTransfer transfer(QStringLiteral("Inet1"));
    EXPECT_TRUE(transfer.userAgent().startsWith(QStringLiteral("Quorvane/0.1 (+http://")));
    transfer.setUserAgent(QStringLiteral("Custom/1.0\r\nX-Evil: 1"));
    EXPECT_EQ(transfer.userAgent(), QStringLiteral("Custom/1.0X-Evil: 1"));
    transfer.execute(QStringLiteral("http://a.test/"), 10);
    transfer.setUserAgent(QStringLiteral(" \t "));
    transfer.execute(QStringLiteral("http://b.test/"), 10);
    EXPECT_EQ(transfer.userAgentsSent(), (QStringList{"Custom/1.0X-Evil: 1", Transfer::defaultUserAgent()}));
}
