#pragma once

#include "preferences/settingsmodel.h"

#include <QDialog>
#include <QJsonObject>
#include <QMap>
#include <QString>

#include <memory>

class QLabel;
class QWidget;

namespace quorvane {

// Edit > Preferences: every key of the settings file as a form, built from
// settingFields(), checked as the command line checks it, written to the same
// file. Changes take effect at the next start. Its controls are addressed as
// "Preferences.KEY", "Preferences.OK" and "Preferences.Cancel".
class PreferencesDialog final : public QDialog {
    Q_OBJECT
public:
    PreferencesDialog(const QString &iniPath, const Config &inEffect, QWidget *parent = nullptr);
    ~PreferencesDialog() override;

    static bool addresses(const QString &control);
    bool typeText(const QString &control, const QString &text);
    bool click(const QString &control);
    // visible, the values shown and the last error, for the state dump.
    QJsonObject dump() const;

    void accept() override;

private:
    QString shownValue(const QString &key) const;

    std::unique_ptr<SettingsModel> m_model;
    QMap<QString, QWidget *> m_editors;
    QLabel *m_error = nullptr;
};

}  // namespace quorvane
