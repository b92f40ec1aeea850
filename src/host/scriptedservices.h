#pragma once

#include "windowservices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

// Window services that answer from a queue instead of asking a person: the
// automation interface and the tests use it. A dialog without a queued answer
// takes No, Cancel or OK and is recorded as unanswered.
class ScriptedServices final : public WindowServices {
public:
    struct Record {
        QString kind;   // "message", "question", "input", "open-file", "save-file", "popup", "beep", "program"
        QString title;
        QString text;   // prompt, message text, filter, menu name or program
        QString answer; // "ok", "cancel", "yes", "no", the typed text (masked input: "***"), the file
        bool answered = false;
    };

    // answer: "yes", "no", "ok", "cancel", "text:" + TEXT or "file:" + PATH.
    void queueAnswer(const QString &answer) { m_answers.append(answer); }
    int pendingAnswers() const { return int(m_answers.size()); }
    const QList<Record> &records() const { return m_records; }
    QList<Record> takeRecords();
    // Result of startProgram for the tests.
    void setProgramsStart(bool start) { m_programsStart = start; }
    // Called with each message box once it is answered and recorded, so a
    // test or the automation can act at that moment of the handler that shows it.
    void setMessageObserver(std::function<void(const Record &)> observer) { m_messageObserver = std::move(observer); }

    Answer messageBox(const QString &text, const QString &title, Buttons buttons) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, bool masked,
                                    const QString &defaultText) override;
    QString openFileDialog(const QString &filter) override;
    QString saveFileDialog(const QString &filter) override;
    void popupMenu(const QString &menuName) override;
    void beep() override;
    bool startProgram(const QString &program, const QStringList &arguments) override;

private:
    QString takeAnswer(bool *answered);
    QString fileDialog(const QString &kind, const QString &filter);

    QStringList m_answers;
    QList<Record> m_records;
    bool m_programsStart = true;
    std::function<void(const Record &)> m_messageObserver;
};

}  // namespace quorvane
