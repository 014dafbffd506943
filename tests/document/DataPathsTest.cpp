#include "document/DataPaths.h"

#include "TextTestSupport.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

TEST(DataPaths, EnvironmentChoosesTheDataFolder)
{
    ScopedEnv data("KORVEL_DATA", "/tmp/korvel-data-test/");
    EXPECT_EQ(dataDirectory(), QStringLiteral("/tmp/korvel-data-test"));
    EXPECT_EQ(dataFile(QStringLiteral("ASCIIPrnZK.fon")), QStringLiteral("/tmp/korvel-data-test/ASCIIPrnZK.fon"));
}

TEST(DataPaths, WithoutEnvironmentTheFolderBesideTheProgramOrThePrefix)
{
    ScopedEnv data("KORVEL_DATA", {}, false);
    const QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/korvel"));
    const QString dir = dataDirectory();
    if (QDir(beside).exists()) {
        EXPECT_EQ(dir, beside);
    } else {
        EXPECT_TRUE(dir.endsWith(QStringLiteral("/share/korvel"))) << qPrintable(dir);
    }
}

TEST(DataPaths, SettingsFolderFollowsHomeThenXdgThenDotConfig)
{
    {
        ScopedEnv home("KORVEL_HOME", "/tmp/korvel-home");
        ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/xdg");
        EXPECT_EQ(settingsDirectory(), QStringLiteral("/tmp/korvel-home"));
    }
    ScopedEnv home("KORVEL_HOME", {}, false);
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/xdg");
        EXPECT_EQ(settingsDirectory(), QStringLiteral("/tmp/xdg/korvel"));
    }
    {
        // A relative XDG_CONFIG_HOME is invalid and ignored.
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(settingsDirectory(), QDir::homePath() + QStringLiteral("/.config/korvel"));
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", {}, false);
    EXPECT_EQ(settingsDirectory(), QDir::homePath() + QStringLiteral("/.config/korvel"));
}
