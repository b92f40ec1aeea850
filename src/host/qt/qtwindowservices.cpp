#include "qtwindowservices.h"

#include "filefilter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>

namespace quorvane {

namespace {

QString dialogTitle(const QString &title)
{
    return title.isEmpty() ? QApplication::applicationName() : title;
}

}  // namespace

WindowServices::Answer QtWindowServices::messageBox(const QString &text, const QString &title, Buttons buttons)
{
    const bool question = buttons == Buttons::YesNo;
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, dialogTitle(title), text,
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, m_parent);
    // Escape or closing the box counts as No for a question.
    box.setEscapeButton(question ? QMessageBox::No : QMessageBox::Ok);
    // Messages may quote what a user typed or a page held: never as markup.
    box.setTextFormat(Qt::PlainText);
    const int result = box.exec();
    if (!question)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtWindowServices::inputBox(const QString &prompt, const QString &title, bool masked,
                                                  const QString &defaultText)
{
    QInputDialog dialog(m_parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(dialogTitle(title));
    dialog.setLabelText(prompt);
    dialog.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtWindowServices::openFileDialog(const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(), toQtNameFilters(filter));
}

QString QtWindowServices::saveFileDialog(const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, QString(), QString(), toQtNameFilters(filter));
}

void QtWindowServices::popupMenu(const QString &menuName)
{
    if (m_popupHandler)
        m_popupHandler(menuName);
}

void QtWindowServices::beep()
{
    QApplication::beep();
}

bool QtWindowServices::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

}  // namespace quorvane
