// Loading and saving the settings record through the registry store.
#include <gtest/gtest.h>

#include "resources/Strings.h"
#include "settings/AppSettings.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

TEST(SettingsStore, LoadTakesStoredValuesAndZeroForAnythingElse) {
    FakePlatform fake;
    fake.registry.Set("RegMode", 7);          // out of range: kept as stored
    fake.registry.Set("RegExactTime", 5000);  // likewise
    fake.registry.Set("RegPreMasterVolume", 0xFFFFFFFF);
    fake.registry.SetString("RegVolumeStep", "2800");  // wrong type
    AppSettings settings;
    settings.ActionDay = 3;  // whatever was in memory is overwritten
    LoadSettings(settings, fake.registry);
    EXPECT_EQ(settings.Mode, 7);
    EXPECT_EQ(settings.ExactTime, 5000);
    EXPECT_EQ(static_cast<uint32_t>(settings.PreMasterVolume), 0xFFFFFFFFu);
    EXPECT_EQ(settings.VolumeStep, 0);
    EXPECT_EQ(settings.ActionDay, 0);
    EXPECT_EQ(fake.log.Matching("ReadDword").size(), 16u);
}

TEST(SettingsStore, LoadWithoutAKeyGivesAllZero) {
    FakePlatform fake;
    AppSettings settings;
    settings.Mode = 2;
    settings.RunAtStartup = 1;
    LoadSettings(settings, fake.registry);
    EXPECT_EQ(settings, AppSettings{});
}

TEST(SettingsStore, SaveRoundTripsEveryFieldAndReplacesWrongTypes) {
    FakePlatform fake;
    fake.registry.SetString("RegVolumeStep", "text");
    AppSettings saved;
    int32_t next = 1;
    for (int32_t* f :
         {&saved.RunAtStartup, &saved.Mode, &saved.ShutdownByUsingShortcut,
          &saved.SetPredefinedVolumeAtStartup, &saved.PreMasterVolume, &saved.PreWaveVolume,
          &saved.DefaultMasterVolume, &saved.DefaultWaveVolume, &saved.VolumeStep,
          &saved.ScheduledAction, &saved.DialogBeforeAction, &saved.ExactTime, &saved.Action,
          &saved.ActionType, &saved.ActionDay, &saved.DisableOnce})
        *f = next++ * 1000 - 3;
    SaveSettings(saved, fake.registry, fake.runEntry);
    AppSettings loaded;
    LoadSettings(loaded, fake.registry);
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(fake.registry.Get("RegVolumeStep"), uint32_t(9 * 1000 - 3));
    // Sixteen values, all directly under the settings key.
    EXPECT_EQ(fake.registry.keys.size(), 1u);
    EXPECT_EQ(fake.registry.keys.begin()->first, "Software\\Tessaron\\HVX");
    EXPECT_EQ(fake.registry.keys.begin()->second.size(), 16u);
}

TEST(SettingsStore, EverySaveWritesOrDeletesTheRunEntry) {
    FakePlatform fake;
    AppSettings settings;
    settings.RunAtStartup = 5;  // any non-zero value means on
    SaveSettings(settings, fake.registry, fake.runEntry);
    SaveSettings(settings, fake.registry, fake.runEntry);
    EXPECT_EQ(fake.log.Count("WriteRunEntry HVX C:\\Program Files\\HVX\\HVX.exe"), 2u);
    // The entry follows RunAtStartup right after that value is written.
    EXPECT_EQ(fake.log.IndexOf("WriteRunEntry HVX C:\\Program Files\\HVX\\HVX.exe"),
              fake.log.IndexOf("WriteDword RegRunAtStartup 5") + 1);

    settings.RunAtStartup = 0;
    SaveSettings(settings, fake.registry, fake.runEntry);
    SaveSettings(settings, fake.registry, fake.runEntry);
    EXPECT_EQ(fake.log.Count("DeleteRunEntry HVX"), 2u);
    EXPECT_TRUE(fake.runEntry.entries.empty());
}

TEST(SettingsStore, AFailingWriteStopsNothingElse) {
    FakePlatform fake;
    fake.registry.failWritesOf = {"RegMode", "RegExactTime"};
    AppSettings settings;
    settings.Mode = 1;
    settings.ExactTime = 600;
    settings.VolumeStep = 2800;
    settings.RunAtStartup = 1;
    SaveSettings(settings, fake.registry, fake.runEntry);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
    EXPECT_FALSE(fake.registry.Get("RegMode").has_value());
    EXPECT_EQ(fake.registry.Get("RegVolumeStep"), 2800u);
    EXPECT_EQ(fake.runEntry.entries.count("HVX"), 1u);
    // The record in memory is untouched, so the change stays in force.
    EXPECT_EQ(settings.Mode, 1);
}

TEST(SettingsStore, WriteDisableOnceWritesOnlyThatValue) {
    FakePlatform fake;
    EXPECT_TRUE(WriteDisableOnce(fake.registry, 1));
    EXPECT_EQ(fake.log.calls, std::vector<std::string>{"WriteDword RegDisableOnce 1"});
    fake.registry.failWrites = true;
    EXPECT_TRUE(WriteDisableOnce(fake.registry, 0));
}

TEST(StringTable, HoldsTheKeyPathAndSixteenValueNames) {
    EXPECT_EQ(LoadString(IDS_REGISTRY_KEY), "Software\\Tessaron\\HVX");
    EXPECT_EQ(LoadString(IDS_REG_RUN_AT_STARTUP), "RegRunAtStartup");
    EXPECT_EQ(LoadString(IDS_REG_DISABLE_ONCE), "RegDisableOnce");
    EXPECT_EQ(LoadString(11), "");
}

}  // namespace
}  // namespace hvx::test
