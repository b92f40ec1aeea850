#pragma once

#include "fakehost.h"
#include "testfiles.h"
#include "app/windowlogic.h"
#include "core/windowstate.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
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

    // Looks at the window, its program folder and what the services were asked.
    bool visible(const char *control) const { return m_state.control(QString::fromLatin1(control)).visible; }
    QList<int> rect(const char *control) const
    {
        const quorvane::ControlState c = m_state.control(QString::fromLatin1(control));
        return {c.left, c.top, c.width, c.height};
    }
    QByteArray file(const char *name) const { return quorvane::testing::readBytes(folderFile(name)); }
    void put(const char *name, const QByteArray &bytes) { quorvane::testing::writeBytes(folderFile(name), bytes); }
    void page(const QString &url, const QString &html) { m_host.web().setPage(url, html); }
    quorvane::FakeTransfer &inet(int number) { return m_host.fakeTransfer(number); }
    // A link of a page, as the document events give it.
    static quorvane::HtmlElement link(const QString &href)
    {
        quorvane::HtmlElement e;
        e.tagName = QStringLiteral("A");
        e.href = href;
        return e;
    }
    static QString lastNavigation(const quorvane::FakeBrowser &view)
    {
        return view.navigations().isEmpty() ? QString() : view.navigations().last();
    }
    void answer(const QStringList &answers)
    {
        for (const QString &a : answers)
            m_host.scripted().queueAnswer(a);
    }
    // The texts of the requests of one kind ("popup", "program", "open-file"), in order.
    QStringList recorded(const char *kind)
    {
        QStringList texts;
        for (const quorvane::ScriptedServices::Record &r : m_host.scripted().records()) {
            if (r.kind == QLatin1String(kind))
                texts.append(r.text);
        }
        return texts;
    }
    // "kind:text" of each dialog since the last call; a beep is "beep:".
    QStringList dialogs()
    {
        QStringList out;
        for (const auto &r : m_host.scripted().takeRecords())
            out << r.kind + QLatin1Char(':') + r.text;
        return out;
    }

    QTemporaryDir m_folder;
    quorvane::FakeHost m_host;
    quorvane::WindowState m_state;
    quorvane::WindowLogic m_logic;
};
