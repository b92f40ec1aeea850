#include "form2window.h"

#include "itemtablemodel.h"
#include "host/qt/mouseinput.h"
#include "sitegen/sitegenerator.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

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
    // One row per entry, split into the header's columns; a row stands for
    // its entry as a whole, so clicks and selection act on entries.
    m_model = new ItemTableModel(this);
    m_list = new QTableView(items);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideRight);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    itemsLayout->addWidget(m_list);
    connect(m_list, &QTableView::clicked, this,
            [this](const QModelIndex &index) { m_generator.click(QStringLiteral("List1"), index.row()); });
    connect(m_list, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { m_generator.doubleClick(QStringLiteral("List1"), index.row()); });
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
        m_model->setEntries(list.items());
    }
    const int selected = list.selected();
    if (m_list->currentIndex().row() != selected) {
        if (selected >= 0 && selected < m_model->rowCount()) {
            m_list->selectionModel()->setCurrentIndex(m_model->index(selected, 0),
                                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        } else {
            m_list->selectionModel()->clear();
        }
    }
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
        return clickRow(index, false) || m_generator.click(control, index);
    QPushButton *button = m_buttons.value(control);
    if (!button)
        return false;
    button->click();  // a disabled button takes no click, as for a person
    return true;
}

bool Form2Window::doubleClick(const QString &control, int index)
{
    if (control == QLatin1String("List1") && clickRow(index, true))
        return true;
    return m_generator.doubleClick(control, index);
}

bool Form2Window::clickRow(int index, bool twice)
{
    if (!isVisible() || index < 0 || index >= m_model->rowCount())
        return false;
    const QModelIndex cell = m_model->index(index, 0);
    m_list->scrollTo(cell);
    const QRect rect = m_list->visualRect(cell);
    if (!rect.isValid() || !m_list->viewport()->rect().intersects(rect))
        return false;
    QList<QEvent::Type> events{QEvent::MouseButtonPress, QEvent::MouseButtonRelease};
    if (twice)
        events += {QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
    sendMouseEvents(m_list->viewport(), QPointF(rect.center()), Qt::LeftButton, events);
    return true;
}

QJsonObject Form2Window::itemTableDump() const
{
    QJsonArray columns;
    for (int c = 0; c < m_model->columnCount(); ++c)
        columns.append(m_model->headerData(c, Qt::Horizontal).toString());
    QJsonArray rows;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QJsonArray cells;
        for (int c = 0; c < m_model->columnCount(); ++c)
            cells.append(m_model->index(r, c).data().toString());
        rows.append(QJsonObject{{QStringLiteral("cells"), cells},
                                {QStringLiteral("toolTip"), m_model->index(r, 0).data(Qt::ToolTipRole).toString()}});
    }
    const QHeaderView *header = m_list->horizontalHeader();
    bool resizable = true;
    for (int c = 0; c + 1 < header->count(); ++c)
        resizable = resizable && header->sectionResizeMode(c) == QHeaderView::Interactive;
    return QJsonObject{{QStringLiteral("columns"), columns},
                       {QStringLiteral("rows"), rows},
                       {QStringLiteral("resizable"), resizable}};
}

void Form2Window::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_generator.close();
}

}  // namespace quorvane
