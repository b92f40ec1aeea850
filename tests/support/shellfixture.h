#pragma once

#include "fakehost.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// The window logic on the fake host with a fresh program folder; Browser 1
// shown and Browser 2 hidden, as after start-up.
class ShellTest : public ::testing::Test {
protected:
    ShellTest() : m_logic(m_state, m_host, config())
    {
        b1().setVisible(true);
        b5().setVisible(false);
    }

    quorvane::Config config()
    {
        quorvane::Config c;
        c.programFolder = m_folder.path();
        c.homeSite = QStringLiteral("home.test");
        c.translationHost = QStringLiteral("tr.test:81");
        return c;
    }

    quorvane::FakeBrowser &b1() { return m_host.fakeBrowser(QStringLiteral("WebBrowser1")); }
    quorvane::FakeBrowser &b5() { return m_host.fakeBrowser(QStringLiteral("WebBrowser5")); }
    void showBrowser2()
    {
        b1().setVisible(false);
        b5().setVisible(true);
    }
    void menu(const char *name) { m_logic.menuClick(QString::fromLatin1(name)); }
    void click(const char *button)
    {
        const QString name = QString::fromLatin1(button);
        m_logic.buttonDown(name, quorvane::MouseButton::Left);
        m_logic.buttonUp(name, quorvane::MouseButton::Left);
        m_logic.buttonClick(name);
    }
    QString folderFile(const char *name) const { return m_folder.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_folder;
    quorvane::FakeHost m_host;
    quorvane::WindowState m_state;
    quorvane::WindowLogic m_logic;
};
