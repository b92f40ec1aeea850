#pragma once

#include "shellfixture.h"
#include "testfiles.h"
#include "host/scriptedservices.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// ShellTest with the looks the shell tests take at the window: controls,
// program folder files and what the window services were asked for.
class ShellCase : public ShellTest {
protected:
    bool visible(const char *control) const { return m_state.control(QString::fromLatin1(control)).visible; }
    QList<int> rect(const char *control) const
    {
        const quorvane::ControlState c = m_state.control(QString::fromLatin1(control));
        return {c.left, c.top, c.width, c.height};
    }
    QByteArray file(const char *name) const { return quorvane::testing::readBytes(folderFile(name)); }
    void put(const char *name, const QByteArray &bytes) { quorvane::testing::writeBytes(folderFile(name), bytes); }
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
};
