#pragma once

#include "shellfixture.h"

#include <QString>
#include <QStringList>

// ShellTest with the probes the links and crawler tests share: pages on the
// fake web, transfers by number, control visibility, the last address a view
// was sent to, queued answers and the dialogs shown since the last look.
class ListsShellTest : public ShellTest {
protected:
    void page(const QString &url, const QString &html) { m_host.web().setPage(url, html); }
    quorvane::FakeTransfer &inet(int number) { return m_host.fakeTransfer(number); }
    bool shown(const char *control) const { return m_state.control(QString::fromLatin1(control)).visible; }
    static QString lastNavigation(const quorvane::FakeBrowser &view)
    {
        return view.navigations().isEmpty() ? QString() : view.navigations().last();
    }
    void answer(const QStringList &answers)
    {
        for (const QString &a : answers)
            m_host.scripted().queueAnswer(a);
    }
    // "kind:text" of each dialog since the last call; a beep is "beep:".
    QStringList dialogs()
    {
        QStringList out;
        for (const auto &r : m_host.scripted().takeRecords())
            out << r.kind + QLatin1Char(':') + r.text;
        return out;
    }
};
