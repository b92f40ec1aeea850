#include "form2window.h"

#include "sitegen/sitegenerator.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>

namespace quorvane {

namespace {
const char *const FieldLabels[] = {"Category name",  "Go back URL", "Item ID",     "Item Description",
                                   "Price",          "E-mail address", "Picture URL", "Description URL"};

const struct {
    const char *name;
    const char *caption;
} Buttons[] = {{"Command3", "Add"},          {"Command8", "New "},         {"Command7", "Get it"},
               {"Command5", "Save profile"}, {"Command6", "Open profile"}, {"Command1", "Generate"},
               {"Command4", "Preview"},      {"Command2", "Action"}};
}  // namespace

Form2Window::Form2Window(SiteGenerator &generator, QWidget *parent)
    : QWidget(parent, Qt::Window), m_generator(generator)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Vendaro Wizard"));
    auto *layout = new QHBoxLayout(this);

    auto *product = new QGroupBox(QStringLiteral("Product"), this);
    auto *form = new QFormLayout(product);
    for (int i = 0; i < SiteGenerator::FieldCount; ++i) {
        auto *edit = new QLineEdit(product);
        edit->setObjectName(QStringLiteral("Text1(%1)").arg(i));
        form->addRow(QLatin1String(FieldLabels[i]), edit);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString &text) { m_generator.setText(i, text); });
        m_fields[i] = edit;
    }
    auto *buttons = new QGridLayout;
    int at = 0;
    for (const auto &b : Buttons) {
        auto *button = new QPushButton(QLatin1String(b.caption), product);
        const QString name = QLatin1String(b.name);
        button->setObjectName(name);
        connect(button, &QPushButton::clicked, this, [this, name] { m_generator.click(name); });
        m_buttons.insert(name, button);
        buttons->addWidget(button, at / 4, at % 4);
        ++at;
    }
    form->addRow(buttons);
    layout->addWidget(product, 1);

    auto *items = new QGroupBox(QStringLiteral("Item List "), this);
    auto *itemsLayout = new QHBoxLayout(items);
    m_list = new QListWidget(items);
    m_list->setObjectName(QStringLiteral("List1"));
    itemsLayout->addWidget(m_list);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_generator.click(QStringLiteral("List1"), m_list->row(item)); });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { m_generator.doubleClick(QStringLiteral("List1"), m_list->row(item)); });
    layout->addWidget(items, 1);
    resize(900, 420);
    sync();
}

void Form2Window::sync()
{
    for (int i = 0; i < SiteGenerator::FieldCount; ++i) {
        if (m_fields[i]->text() != m_generator.text(i))
            m_fields[i]->setText(m_generator.text(i));
    }
    const ListControl &list = m_generator.List1();
    if (list.revision() != m_listRevision) {
        m_listRevision = list.revision();
        m_list->clear();
        m_list->addItems(list.items());
    }
    if (m_list->currentRow() != list.selected())
        m_list->setCurrentRow(list.selected());
    m_buttons.value(QStringLiteral("Command5"))->setEnabled(m_generator.saveProfileEnabled());
}

bool Form2Window::typeText(const QString &control, const QString &text)
{
    static const QRegularExpression field(QStringLiteral("^Text1\\(([0-7])\\)$"));
    const QRegularExpressionMatch m = field.match(control);
    if (!m.hasMatch())
        return false;
    const int index = m.captured(1).toInt();
    m_fields[index]->setText(text);
    m_generator.setText(index, text);
    return true;
}

bool Form2Window::click(const QString &control, int index)
{
    if (control == QLatin1String("List1"))
        return m_generator.click(control, index);
    QPushButton *button = m_buttons.value(control);
    if (!button)
        return false;
    button->click();  // a disabled button takes no click, as for a person
    return true;
}

bool Form2Window::doubleClick(const QString &control, int index)
{
    return m_generator.doubleClick(control, index);
}

void Form2Window::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_generator.close();
}

}  // namespace quorvane
