#include "support/shellfixture.h"

#include "host/scriptedservices.h"
#include "shell/toolbar.h"

#include <QFile>

using namespace quorvane;

namespace {
// Programs configured per test; the PATH is not consulted when one is set.
class OutsideProgramsTest : public ::testing::Test {
protected:
    OutsideProgramsTest()
    {
        m_config.mailProgram = QStringLiteral("my-mail --compose");
        m_config.addressBookProgram = QStringLiteral("  \"address book\"  ");
        m_config.calculatorProgram = QStringLiteral("calc");
    }
    QList<ScriptedServices::Record> programs()
    {
        QList<ScriptedServices::Record> result;
        for (const ScriptedServices::Record &r : m_host.scripted().records()) {
            if (r.kind == QLatin1String("program"))
                result.append(r);
        }
        return result;
    }

    FakeHost m_host;
    WindowState m_state;
    Config m_config;
};
}  // namespace

TEST_F(OutsideProgramsTest, LeftReleaseRestoresTheImageThenStartsTheConfiguredProgram)
{
    WindowLogic logic(m_state, m_host, m_config);
    logic.buttonDown(QStringLiteral("Picture19"), MouseButton::Left);
    EXPECT_EQ(m_state.pictureImage(QStringLiteral("Picture19")), QStringLiteral("outlook_down.bmp"));
    logic.buttonUp(QStringLiteral("Picture19"), MouseButton::Left);
    EXPECT_EQ(m_state.pictureImage(QStringLiteral("Picture19")), QStringLiteral("outlook.bmp"));
    logic.buttonUp(QStringLiteral("Picture20"), MouseButton::Right);  // other buttons start nothing
    logic.buttonUp(QStringLiteral("Picture20"), MouseButton::Left);
    const QList<ScriptedServices::Record> started = programs();
    ASSERT_EQ(started.size(), 2);
    EXPECT_EQ(started.at(0).text, QStringLiteral("my-mail --compose"));
    EXPECT_EQ(started.at(1).text, QStringLiteral("address book"));
    EXPECT_EQ(m_state.panelText(1), QString());
}

TEST_F(OutsideProgramsTest, AFailedStartIsReportedInTheStatusBar)
{
    WindowLogic logic(m_state, m_host, m_config);
    m_host.scripted().setProgramsStart(false);
    logic.buttonUp(QStringLiteral("Picture21"), MouseButton::Left);
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("Cannot start the calculator (calc)"));
}

TEST_F(OutsideProgramsTest, WithoutConfigurationTheFirstDesktopProgramOnThePathIsUsed)
{
    QTemporaryDir bin;
    const QString fake = bin.filePath(QStringLiteral("kcalc"));
    {
        QFile f(fake);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
    }
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    Config config;
    Toolbar toolbar(m_state, m_host, config);
    EXPECT_EQ(toolbar.programCommand(Toolbar::Program::Calculator), QStringLiteral("kcalc"));
    EXPECT_EQ(toolbar.programCommand(Toolbar::Program::Mail), QString());
    toolbar.startProgram(Toolbar::Program::Mail);
    qputenv("PATH", oldPath);
    EXPECT_TRUE(programs().isEmpty());
    EXPECT_EQ(m_state.panelText(1), QStringLiteral("No mail program found; set one in the settings file"));
}
