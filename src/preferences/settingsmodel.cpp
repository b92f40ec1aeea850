#include "settingsmodel.h"

#include "core/hostport.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace quorvane {

const QVector<SettingField> &settingFields()
{
    using K = SettingField::Kind;
    static const QVector<SettingField> fields = {
        {"homeSite", "&Home site (HOST[:PORT])", K::HostPort},
        {"translationHost", "&Translation host (HOST[:PORT])", K::HostPort},
        {"programFolder", "Program &folder", K::Folder},
        {"stateFolder", "&State folder (copies of files not saved)", K::Path},
        {"mailProgram", "&Mail program", K::Command},
        {"addressBookProgram", "&Address book", K::Command},
        {"calculatorProgram", "&Calculator", K::Command},
        {"hiddenEngine", "Hidden page &engine", K::Choice, {QStringLiteral("text"), QStringLiteral("webengine")}},
        {"gatewayHost", "Card &gateway host", K::HostPort},
        {"gatewayLogin", "Card gateway &login", K::Text},
        {"restoreAfterNormalExit", "&Restore the previous session at start", K::Flag},
        {"userAgent", "&User agent (empty: the program and its home site)", K::Line},
        {"perHostLimit", "Re&quests at a time to one site", K::Number, {}, 1, 4},
        {"hostDelayMs", "&Pause between requests to one site (ms)", K::Number, {}, 0, 600000},
        {"obeyRobots", "&Obey robots.txt", K::Choice, {QStringLiteral("no"), QStringLiteral("yes")}},
        {"retryAfterCapSeconds", "Longest Retry-After &wait (s)", K::Number, {}, 0, 86400},
    };
    return fields;
}

namespace {
QString effectiveValue(const Config &c, const QString &key)
{
    const QMap<QString, QString> values = {
        {QStringLiteral("homeSite"), c.homeSite},
        {QStringLiteral("translationHost"), c.translationHost},
        {QStringLiteral("programFolder"), c.programFolder},
        {QStringLiteral("stateFolder"), c.stateFolder},
        {QStringLiteral("mailProgram"), c.mailProgram},
        {QStringLiteral("addressBookProgram"), c.addressBookProgram},
        {QStringLiteral("calculatorProgram"), c.calculatorProgram},
        {QStringLiteral("hiddenEngine"), c.hiddenEngine},
        {QStringLiteral("gatewayHost"), c.gatewayHost},
        {QStringLiteral("gatewayLogin"), c.gatewayLogin},
        {QStringLiteral("restoreAfterNormalExit"), c.restoreAfterNormalExit ? QStringLiteral("true")
                                                                              : QStringLiteral("false")},
        {QStringLiteral("userAgent"), c.userAgent},
        {QStringLiteral("perHostLimit"), QString::number(c.perHostLimit)},
        {QStringLiteral("hostDelayMs"), QString::number(c.hostDelayMs)},
        {QStringLiteral("obeyRobots"), c.obeyRobots ? QStringLiteral("yes") : QStringLiteral("no")},
        {QStringLiteral("retryAfterCapSeconds"), QString::number(c.retryAfterCapSeconds)},
    };
    return values.value(key);
}

bool hasControlCharacters(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}
}  // namespace

SettingsModel::SettingsModel(QString iniPath, const Config &inEffect) : m_path(std::move(iniPath))
{
    const QSettings settings(m_path, QSettings::IniFormat);
    for (const SettingField &field : settingFields()) {
        const QString key = QString::fromLatin1(field.key);
        QString value = settings.contains(key) ? settings.value(key).toString() : effectiveValue(inEffect, key);
        if (field.kind == SettingField::Kind::Flag)
            value = QVariant(value).toBool() ? QStringLiteral("true") : QStringLiteral("false");
        // The command line also takes true and false for yes and no.
        if (field.kind == SettingField::Kind::Choice && field.choices.contains(QStringLiteral("yes")))
            value = QVariant(value.trimmed().toLower().replace(QStringLiteral("yes"), QStringLiteral("true"))).toBool()
                      ? QStringLiteral("yes")
                      : QStringLiteral("no");
        m_shown.insert(key, value);
    }
    m_values = m_shown;
}

bool SettingsModel::setValue(const QString &key, const QString &value)
{
    if (!m_values.contains(key))
        return false;
    m_values.insert(key, value);
    return true;
}

QString SettingsModel::plainLabel(const SettingField &field)
{
    return QString::fromLatin1(field.label).remove(QLatin1Char('&'));
}

QString SettingsModel::problem(const SettingField &field, const QString &value)
{
    using K = SettingField::Kind;
    if (hasControlCharacters(value))
        return QStringLiteral("takes one line of text");
    switch (field.kind) {
    case K::HostPort: {
        QString why;
        return isValidHostPort(value, &why) ? QString()
                                            : why + QStringLiteral(" (expected HOST[:PORT], e.g. 127.0.0.1:8737)");
    }
    case K::Folder: {
        if (value.trimmed().isEmpty())
            return QStringLiteral("a folder is needed");
        const QFileInfo info(value);
        if (info.exists() && !info.isDir())
            return QStringLiteral("\"%1\" is a file, not a folder").arg(value);
        // As at start-up: a folder that cannot be created cannot hold the lists.
        if (!info.exists() && !QDir().mkpath(value))
            return QStringLiteral("cannot create the folder \"%1\"").arg(value);
        return {};
    }
    case K::Choice:
        return field.choices.contains(value)
            ? QString()
            : QStringLiteral("\"%1\" is not one of %2").arg(value, field.choices.join(QStringLiteral(", ")));
    case K::Text:
        return value.trimmed().isEmpty() ? QStringLiteral("may not be empty") : QString();
    case K::Flag:
        return value == QLatin1String("true") || value == QLatin1String("false") ? QString()
                                                                                   : QStringLiteral("is true or false");
    case K::Number: {
        bool ok = false;
        const int number = value.trimmed().toInt(&ok);
        return ok && number >= field.low && number <= field.high
                 ? QString()
                 : QStringLiteral("\"%1\" is not a number from %2 to %3").arg(value).arg(field.low).arg(field.high);
    }
    case K::Path:
    case K::Command:
    case K::Line:
        return {};
    }
    return {};
}

QStringList SettingsModel::problems() const
{
    QStringList out;
    for (const SettingField &field : settingFields()) {
        const QString key = QString::fromLatin1(field.key);
        // An unchanged value is the one the program runs with: no new complaint about it.
        if (!changed(key))
            continue;
        if (const QString why = problem(field, m_values.value(key)); !why.isEmpty())
            out.append(plainLabel(field) + QStringLiteral(": ") + why);
    }
    return out;
}

bool SettingsModel::save(QString *error)
{
    if (const QStringList bad = problems(); !bad.isEmpty()) {
        *error = bad.join(QLatin1Char('\n'));
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    for (const SettingField &field : settingFields()) {
        const QString key = QString::fromLatin1(field.key);
        // Untouched values stay out of the file, so a later default still reaches them.
        if (!changed(key))
            continue;
        if (field.kind == SettingField::Kind::Flag)
            settings.setValue(key, m_values.value(key) == QLatin1String("true"));
        else
            settings.setValue(key, m_values.value(key));
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        *error = QStringLiteral("cannot write the settings file %1").arg(m_path);
        return false;
    }
    m_shown = m_values;
    return true;
}

}  // namespace quorvane
