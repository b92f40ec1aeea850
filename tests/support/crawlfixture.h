#pragma once

#include "shellfixture.h"

#include <QString>

// The window logic with the readers' time-outs as start-up sets them, and the
// pages of one site named by a letter.
class CrawlTest : public ShellTest {
protected:
    static constexpr int TimeOut = 30000;

    CrawlTest()
    {
        for (int t = 3; t <= 9; ++t)
            m_host.fakeTimer(t).setInterval(TimeOut);
    }
    static QString url(char c) { return QStringLiteral("http://pages.test/%1.htm").arg(QLatin1Char(c)); }
    void links(const char *letters)
    {
        for (const char *c = letters; *c; ++c)
            m_state.listlinks.add(url(*c));
    }
};
