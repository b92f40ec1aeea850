#pragma once

#include "fakehost.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// The window logic on the fake host with a fresh program folder; the main view
// shown and the second view hidden, as after start-up.
class ShellTest : public ::testing::Test {
protected:
    ShellTest() : m_logic(m_state, m_host, config())
    {
        mainView().setVisible(true);
        secondView().setVisible(false);
    }

    quorvane::Config config()
    {
        quorvane::Config c;
        c.programFolder = m_folder.path();
        c.homeSite = QStringLiteral("home.test");
        c.translationHost = QStringLiteral("tr.test:81");
        return c;
    }

    quorvane::FakeBrowser &mainView() { return m_host.fakeBrowser(quorvane::BrowserId::MainView); }
    quorvane::FakeBrowser &secondView() { return m_host.fakeBrowser(quorvane::BrowserId::SecondView); }
    void showSecondView()
    {
        mainView().setVisible(false);
        secondView().setVisible(true);
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
