#include "host_settings.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>

#include "host_test_support.h"

using capacimo::host::CHostSettings;
using host_test::HostSettingsFile;

namespace {

class HostSettingsTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(HostSettingsFile()); }
    void TearDown() override { std::filesystem::remove(HostSettingsFile()); }

    static QSettings Store() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Ostrelwerk", "Capacimo");
    }
};

TEST_F(HostSettingsTest, MissingValueGivesTheDefaultAndCreatesNothing) {
    CHostSettings settings;
    EXPECT_EQ(settings.ReadSettingString("Settings", "Last", "fallback", true), "fallback");
    EXPECT_EQ(settings.ReadSettingString("Settings", "Last", "", true), "");
    EXPECT_FALSE(settings.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(HostSettingsFile()));
}

TEST_F(HostSettingsTest, WrittenStringIsStoredInTheSettingsSection) {
    CHostSettings settings;
    settings.WriteSettingString("Settings", "Last", "Scribent S", true);
    ASSERT_TRUE(std::filesystem::exists(HostSettingsFile()));
    QSettings store = Store();
    EXPECT_EQ(store.value("Settings/Last"), QVariant(QString("Scribent S")));

    CHostSettings again;
    EXPECT_EQ(again.ReadSettingString("Settings", "Last", "", true), "Scribent S");
}

TEST_F(HostSettingsTest, TextsWithSeparatorsComeBackAsTheSameString) {
    CHostSettings settings;
    const QString tricky = "a, b; c=d [e] \\f \"g\"";
    settings.WriteSettingString("Settings", "Last", tricky, true);
    EXPECT_EQ(settings.ReadSettingString("Settings", "Last", "", true), tricky);
}

TEST_F(HostSettingsTest, CloseAfterDecidesWhetherTheKeyStaysOpen) {
    CHostSettings settings;
    settings.ReadSettingString("Settings", "Last", "", false);
    EXPECT_TRUE(settings.IsOpen());
    settings.WriteSettingString("Settings", "Last", "x", false);
    EXPECT_TRUE(settings.IsOpen());
    settings.ReadSettingString("Settings", "Last", "", true);
    EXPECT_FALSE(settings.IsOpen());
    settings.CloseSettingsKey();  // closing a closed key is harmless
    EXPECT_FALSE(settings.IsOpen());
}

TEST_F(HostSettingsTest, AValueThatIsNotAStringFailsAndStillClosesTheKey) {
    {
        QSettings store = Store();
        store.setValue("Settings/Last", QStringList{"one", "two"});
    }
    CHostSettings settings;
    try {
        settings.ReadSettingString("Settings", "Last", "", true);
        FAIL() << "a list was read as a string";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'Last'");
    }
    EXPECT_FALSE(settings.IsOpen());
}

TEST_F(HostSettingsTest, WritingLastLeavesTheUnitsSectionsAlone) {
    {
        QSettings store = Store();
        store.setValue("ScribentS/Settings/SaveCycle", "7");
    }
    CHostSettings settings;
    settings.WriteSettingString("Settings", "Last", "Scribent S", true);
    QSettings store = Store();
    EXPECT_EQ(store.value("ScribentS/Settings/SaveCycle").toString(), "7");
    EXPECT_EQ(store.value("Settings/Last").toString(), "Scribent S");
}

}  // namespace
