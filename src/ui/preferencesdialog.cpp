#include "preferencesdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvane {

namespace {
const QLatin1String kPrefix("Preferences.");
}

PreferencesDialog::PreferencesDialog(const QString &iniPath, const Config &inEffect, QWidget *parent)
    : QDialog(parent), m_model(std::make_unique<SettingsModel>(iniPath, inEffect))
{
    setWindowTitle(QStringLiteral("Preferences"));
    setObjectName(QStringLiteral("Preferences"));
    auto *form = new QFormLayout;
    for (const SettingField &field : settingFields()) {
        const QString key = QString::fromLatin1(field.key);
        const QString value = m_model->value(key);
        QWidget *editor = nullptr;
        switch (field.kind) {
        case SettingField::Kind::Flag: {
            auto *box = new QCheckBox(QString::fromLatin1(field.label), this);
            box->setChecked(value == QLatin1String("true"));
            editor = box;
            form->addRow(box);
            break;
        }
        case SettingField::Kind::Choice: {
            auto *combo = new QComboBox(this);
            combo->addItems(field.choices);
            combo->setCurrentText(value);
            editor = combo;
            break;
        }
        default: {
            auto *line = new QLineEdit(value, this);
            if (field.kind == SettingField::Kind::Command)
                line->setPlaceholderText(QStringLiteral("the first common program found"));
            line->setMinimumWidth(320);
            editor = line;
            break;
        }
        }
        editor->setObjectName(key);
        editor->setAccessibleName(SettingsModel::plainLabel(field));
        if (field.kind != SettingField::Kind::Flag)
            form->addRow(QString::fromLatin1(field.label) + QLatin1Char(':'), editor);
        m_editors.insert(key, editor);
    }
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("error"));
    m_error->setStyleSheet(QStringLiteral("color: #b00020"));
    m_error->setWordWrap(true);
    m_error->hide();
    auto *note = new QLabel(QStringLiteral("Written to %1. Changes take effect at the next start.").arg(iniPath), this);
    note->setWordWrap(true);
    note->setTextFormat(Qt::PlainText);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PreferencesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PreferencesDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

PreferencesDialog::~PreferencesDialog() = default;

bool PreferencesDialog::addresses(const QString &control)
{
    return control.startsWith(kPrefix);
}

QString PreferencesDialog::shownValue(const QString &key) const
{
    QWidget *editor = m_editors.value(key);
    if (auto *box = qobject_cast<QCheckBox *>(editor))
        return box->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        return combo->currentText();
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        return line->text();
    return {};
}

bool PreferencesDialog::typeText(const QString &control, const QString &text)
{
    QWidget *editor = m_editors.value(control.mid(kPrefix.size()));
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(text);
        return true;
    }
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const int at = combo->findText(text);
        if (at < 0)
            return false;
        combo->setCurrentIndex(at);
        return true;
    }
    return false;
}

bool PreferencesDialog::click(const QString &control)
{
    const QString name = control.mid(kPrefix.size());
    if (name == QLatin1String("OK")) {
        accept();
        return true;
    }
    if (name == QLatin1String("Cancel")) {
        reject();
        return true;
    }
    if (auto *box = qobject_cast<QCheckBox *>(m_editors.value(name))) {
        box->toggle();
        return true;
    }
    return false;
}

QJsonObject PreferencesDialog::dump() const
{
    QJsonObject values;
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it)
        values.insert(it.key(), shownValue(it.key()));
    return {{QStringLiteral("visible"), isVisible()},
            {QStringLiteral("values"), values},
            {QStringLiteral("error"), m_error->isVisible() ? m_error->text() : QString()}};
}

void PreferencesDialog::accept()
{
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it)
        m_model->setValue(it.key(), shownValue(it.key()));
    QString error;
    if (!m_model->save(&error)) {
        // The dialog stays open with the values typed, so nothing is lost.
        m_error->setText(error);
        m_error->show();
        return;
    }
    m_error->hide();
    QDialog::accept();
}

}  // namespace quorvane
