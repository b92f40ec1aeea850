#include "scriptedservices.h"

namespace quorvane {

QList<ScriptedServices::Record> ScriptedServices::takeRecords()
{
    QList<Record> records;
    records.swap(m_records);
    return records;
}

QString ScriptedServices::takeAnswer(bool *answered)
{
    *answered = !m_answers.isEmpty();
    return *answered ? m_answers.takeFirst() : QString();
}

WindowServices::Answer ScriptedServices::messageBox(const QString &text, const QString &title, Buttons buttons)
{
    bool answered = false;
    const QString queued = takeAnswer(&answered);
    Record r{buttons == Buttons::YesNo ? QStringLiteral("question") : QStringLiteral("message"), title, text, {}, answered};
    Answer answer;
    if (buttons == Buttons::YesNo) {
        answer = queued == QLatin1String("yes") ? Answer::Yes : Answer::No;
        r.answer = answer == Answer::Yes ? QStringLiteral("yes") : QStringLiteral("no");
    } else {
        answer = Answer::Ok;
        r.answer = QStringLiteral("ok");
    }
    m_records.append(r);
    if (m_messageListener)
        m_messageListener();
    return answer;
}

std::optional<QString> ScriptedServices::inputBox(const QString &prompt, const QString &title, bool masked,
                                                  const QString &defaultText)
{
    bool answered = false;
    const QString queued = takeAnswer(&answered);
    Record r{QStringLiteral("input"), title, prompt, {}, answered};
    std::optional<QString> result;
    if (queued.startsWith(QLatin1String("text:")))
        result = queued.mid(5);
    else if (queued == QLatin1String("ok"))
        result = defaultText;
    // Never record what was typed into a masked box.
    r.answer = !result ? QStringLiteral("cancel") : masked ? QStringLiteral("***") : *result;
    m_records.append(r);
    return result;
}

QString ScriptedServices::fileDialog(const QString &kind, const QString &filter)
{
    bool answered = false;
    const QString queued = takeAnswer(&answered);
    const QString file = queued.startsWith(QLatin1String("file:")) ? queued.mid(5) : QString();
    m_records.append({kind, QString(), filter, file.isEmpty() ? QStringLiteral("cancel") : file, answered});
    return file;
}

QString ScriptedServices::openFileDialog(const QString &filter)
{
    return fileDialog(QStringLiteral("open-file"), filter);
}

QString ScriptedServices::saveFileDialog(const QString &filter)
{
    return fileDialog(QStringLiteral("save-file"), filter);
}

void ScriptedServices::popupMenu(const QString &menuName)
{
    m_records.append({QStringLiteral("popup"), QString(), menuName, QString(), true});
}

void ScriptedServices::beep()
{
    m_records.append({QStringLiteral("beep"), QString(), QString(), QString(), true});
}

bool ScriptedServices::startProgram(const QString &program, const QStringList &arguments)
{
    m_records.append({QStringLiteral("program"), QString(), (QStringList{program} + arguments).join(QLatin1Char(' ')),
                      m_programsStart ? QStringLiteral("started") : QStringLiteral("failed"), true});
    return m_programsStart;
}

}  // namespace quorvane
