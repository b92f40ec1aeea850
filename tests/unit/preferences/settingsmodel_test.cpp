// The Preferences dialog's model: checked as the command line checks, and
// written into the settings file without disturbing what else it holds.
#include "preferences/settingsmodel.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using namespace quorvane;

namespace {
Config inEffect(const QString &folder)
{
    Config c;
    c.programFolder = folder;
    c.homeSite = QStringLiteral("home.test:81");
    return c;
}
}  // namespace

TEST(SettingsModel, ChecksEachChangedValueAsTheCommandLineDoes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("blocker"));
    QFile(file).open(QIODevice::WriteOnly);
    const struct {
        const char *key;
        QString value;
        const char *problem;  // a part of the message, or "" when good
    } cases[] = {
        {"homeSite", QStringLiteral("links.example.org:8080"), ""},
        {"homeSite", QStringLiteral("[::1]:81"), ""},
        {"homeSite", QString(), "the host is empty"},
        {"homeSite", QStringLiteral("a..b"), "not a host name"},
        {"translationHost", QStringLiteral("host:70000"), "not between 1 and 65535"},
        {"translationHost", QStringLiteral("http://x/"), "is not HOST[:PORT]"},
        {"gatewayHost", QStringLiteral("pay me"), "is not HOST[:PORT]"},
        {"hiddenEngine", QStringLiteral("webengine"), ""},
        {"hiddenEngine", QStringLiteral("gecko"), "is not one of text, webengine"},
        {"programFolder", dir.filePath(QStringLiteral("new/deeper")), ""},
        {"programFolder", file, "is a file, not a folder"},
        {"programFolder", QStringLiteral("  "), "a folder is needed"},
        {"gatewayLogin", QString(), "may not be empty"},
        {"mailProgram", QString(), ""},  // empty: the first program found
        {"mailProgram", QStringLiteral("mutt\nrm -rf"), "one line"},
        {"restoreAfterNormalExit", QStringLiteral("yes"), "true or false"},
        {"perHostLimit", QStringLiteral("2"), ""},
        {"perHostLimit", QStringLiteral("5"), "not a number from 1 to 4"},
        {"hostDelayMs", QStringLiteral("-1"), "not a number from 0 to 600000"},
        {"retryAfterCapSeconds", QStringLiteral("soon"), "not a number from 0 to 86400"},
        {"obeyRobots", QStringLiteral("yes"), ""},
        {"userAgent", QString(), ""},  // empty: the program and its home site
        {"userAgent", QStringLiteral("bot\r\nX-Injected: 1"), "one line"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value.toStdString());
        SettingsModel model(dir.filePath(QStringLiteral("quorvane.ini")), inEffect(dir.path()));
        ASSERT_TRUE(model.setValue(QString::fromLatin1(c.key), c.value));
        const QStringList problems = model.problems();
        if (*c.problem) {
            ASSERT_EQ(problems.size(), 1);
            EXPECT_TRUE(problems.first().contains(QLatin1String(c.problem))) << problems.first().toStdString();
        } else {
            EXPECT_TRUE(problems.isEmpty()) << problems.join('|').toStdString();
        }
    }
    SettingsModel model(dir.filePath(QStringLiteral("quorvane.ini")), inEffect(dir.path()));
    EXPECT_FALSE(model.setValue(QStringLiteral("noSuchKey"), QStringLiteral("x")));
}

TEST(SettingsModel, SavesOnlyWhatChangedKeepsOtherKeysAndWritesNothingWhenAValueIsBad)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("quorvane.ini"));
    {
        QSettings seeded(ini, QSettings::IniFormat);
        seeded.setValue(QStringLiteral("translationHost"), QStringLiteral("tr.test"));
        seeded.setValue(QStringLiteral("politeDelay"), 5);  // a key another part of the program owns
        seeded.setValue(QStringLiteral("obeyRobots"), true);  // the command line's other spelling of yes
    }
    SettingsModel model(ini, inEffect(dir.path()));
    // The file's value wins over the one in effect; absent keys show the one in effect.
    EXPECT_EQ(model.value(QStringLiteral("translationHost")), "tr.test");
    EXPECT_EQ(model.value(QStringLiteral("homeSite")), "home.test:81");
    EXPECT_EQ(model.value(QStringLiteral("restoreAfterNormalExit")), "false");
    EXPECT_EQ(model.value(QStringLiteral("perHostLimit")), "4");
    EXPECT_EQ(model.value(QStringLiteral("obeyRobots")), "yes");

    model.setValue(QStringLiteral("homeSite"), QStringLiteral("bad host"));
    model.setValue(QStringLiteral("calculatorProgram"), QStringLiteral("xcalc"));
    QString error;
    EXPECT_FALSE(model.save(&error));
    EXPECT_TRUE(error.startsWith(QLatin1String("Home site (HOST[:PORT]): "))) << error.toStdString();
    EXPECT_FALSE(QSettings(ini, QSettings::IniFormat).contains(QStringLiteral("calculatorProgram")));

    model.setValue(QStringLiteral("homeSite"), QStringLiteral("links.example.org:8080"));
    model.setValue(QStringLiteral("restoreAfterNormalExit"), QStringLiteral("true"));
    // preferences.sh reads back the values written and the other keys kept.
    ASSERT_TRUE(model.save(&error)) << error.toStdString();
    const QSettings saved(ini, QSettings::IniFormat);
    for (const char *untouched : {"programFolder", "mailProgram", "hiddenEngine", "gatewayHost"})
        EXPECT_FALSE(saved.contains(QLatin1String(untouched))) << untouched;
}
