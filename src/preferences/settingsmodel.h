#pragma once

#include "core/config.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace quorvane {

// One setting of the settings file, as the Preferences dialog offers it. A new
// setting is one row of settingFields().
struct SettingField {
    enum class Kind {
        HostPort,  // HOST[:PORT], checked as the command line checks it
        Folder,    // a folder that must exist or be creatable
        Path,      // a folder, free text
        Command,   // a command line; empty: the first common program found
        Choice,    // one of choices
        Text,      // one line, not empty
        Flag,      // true or false
        Number,    // a whole number from low to high
        Line,      // one line, may be empty
    };
    const char *key;    // the settings file's key
    const char *label;  // the dialog's caption, with a mnemonic
    Kind kind;
    QStringList choices = {};
    int low = 0;
    int high = 0;
};

const QVector<SettingField> &settingFields();

// The settings file's values for the Preferences dialog: read, checked and
// written back. Keys the dialog does not know stay in the file as they are.
class SettingsModel final {
public:
    // inEffect gives the values shown for keys the file does not hold.
    SettingsModel(QString iniPath, const Config &inEffect);

    QString iniPath() const { return m_path; }
    QString value(const QString &key) const { return m_values.value(key); }
    // False for an unknown key.
    bool setValue(const QString &key, const QString &value);
    bool changed(const QString &key) const { return m_values.value(key) != m_shown.value(key); }

    // One message per bad value, "Label: why", in the order of the fields.
    QStringList problems() const;
    // Writes the changed keys when every value is good; false with *error otherwise.
    bool save(QString *error);

    static QString problem(const SettingField &field, const QString &value);
    static QString plainLabel(const SettingField &field);

private:
    QString m_path;
    QMap<QString, QString> m_shown;   // as read, or in effect
    QMap<QString, QString> m_values;  // as edited
};

}  // namespace quorvane
