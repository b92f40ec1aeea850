#include "form3window.h"

#include "sitegen/cardprofile.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvane {

namespace {
// The text control shows LF line breaks; the profile keeps CR LF, as the generated form needs.
QString toEditor(const QString &text)
{
    QString t = text;
    return t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString fromEditor(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}
}  // namespace

Form3Window::Form3Window(CardProfile &card, QWidget *parent) : QWidget(parent, Qt::Window), m_card(card)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Credit Card Profile"));
    auto *layout = new QVBoxLayout(this);
    auto *frame = new QGroupBox(QStringLiteral("Credit Card Processing Profile"), this);
    auto *inner = new QVBoxLayout(frame);
    inner->addWidget(new QLabel(QStringLiteral("Here You must place the HTML code for \"Form action\" tag"), frame));
    m_action = new QPlainTextEdit(frame);
    m_action->setObjectName(QStringLiteral("Text1"));
    m_action->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    inner->addWidget(m_action);
    inner->addWidget(new QLabel(QStringLiteral("Here You may define Table style"), frame));
    m_table = new QLineEdit(frame);
    m_table->setObjectName(QStringLiteral("Text2"));
    inner->addWidget(m_table);
    inner->addWidget(new QLabel(QStringLiteral("Here You may define Font style"), frame));
    m_font = new QLineEdit(frame);
    m_font->setObjectName(QStringLiteral("Text3"));
    inner->addWidget(m_font);
    layout->addWidget(frame);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    resize(560, 380);

    connect(m_action, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing)
            m_card.setFormAction(fromEditor(m_action->toPlainText()));
    });
    connect(m_table, &QLineEdit::textEdited, this, [this](const QString &t) { m_card.setTableStyle(t); });
    connect(m_font, &QLineEdit::textEdited, this, [this](const QString &t) { m_card.setFontStyle(t); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_card.Command2_Click(); });
    sync();
}

void Form3Window::sync()
{
    m_syncing = true;
    if (fromEditor(m_action->toPlainText()) != m_card.currentText(1))
        m_action->setPlainText(toEditor(m_card.currentText(1)));
    if (m_table->text() != m_card.currentText(2))
        m_table->setText(m_card.currentText(2));
    if (m_font->text() != m_card.currentText(3))
        m_font->setText(m_card.currentText(3));
    m_syncing = false;
}

bool Form3Window::typeText(const QString &control, const QString &text)
{
    static const QStringList names = {QStringLiteral("Text1"), QStringLiteral("Text2"), QStringLiteral("Text3")};
    const int number = int(names.indexOf(control)) + 1;
    if (number == 0)
        return false;
    // A script writes "\n" for a line break of the form-action text.
    QString value = text;
    if (number == 1)
        value = fromEditor(value.replace(QLatin1String("\\n"), QLatin1String("\n")));
    m_card.setText(number, value);
    return true;
}

bool Form3Window::click(const QString &control)
{
    if (control != QLatin1String("Command2"))
        return false;
    m_cancel->click();
    return true;
}

void Form3Window::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_card.close();
}

}  // namespace quorvane
