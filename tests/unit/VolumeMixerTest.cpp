// CVolumeMixer over the fake device: selections, the shared current control, closed state.
#include <gtest/gtest.h>

#include "tests/fakes/FakePlatform.h"
#include "volume/VolumeMixer.h"

namespace hvx::test {
namespace {

class VolumeMixerTest : public ::testing::Test {
  protected:
    CallLog log;
    FakeMixer device{log};
    CVolumeMixer mixer{device};
};

TEST_F(VolumeMixerTest, WithoutADeviceEverythingFailsButOpenAndClose) {
    device.devices = 0;
    EXPECT_TRUE(mixer.Open());
    EXPECT_FALSE(mixer.IsOpen());
    EXPECT_FALSE(mixer.SelectMasterVolume());
    EXPECT_FALSE(mixer.SelectWaveVolume());
    EXPECT_FALSE(mixer.SelectMasterMute());
    uint32_t value = 77;
    EXPECT_FALSE(mixer.GetVolume(value));
    EXPECT_FALSE(mixer.SetVolume(1));
    EXPECT_FALSE(mixer.GetMasterMute(value));
    EXPECT_FALSE(mixer.SetMasterMute(1));
    EXPECT_EQ(value, 77u);
    EXPECT_TRUE(mixer.Close());
    EXPECT_TRUE(mixer.Close());
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(VolumeMixerTest, BoundsStayPerLineAndOnlyOpenResetsThem) {
    device.master = {1, 10, 60000, 500};
    device.wave = {3, 0, 255, 200};
    ASSERT_TRUE(mixer.Open());
    EXPECT_EQ(mixer.MasterMaximum, 0u);
    EXPECT_EQ(mixer.WaveMaximum, 0u);

    ASSERT_TRUE(mixer.SelectMasterVolume());
    ASSERT_TRUE(mixer.SelectWaveVolume());
    uint32_t value = 0;
    ASSERT_TRUE(mixer.GetVolume(value));
    EXPECT_EQ(value, 200u);  // the wave line is current
    EXPECT_EQ(mixer.MasterMinimum, 10u);
    EXPECT_EQ(mixer.MasterMaximum, 60000u);
    EXPECT_EQ(mixer.WaveMaximum, 255u);

    // SetVolume leaves range checks to its callers.
    EXPECT_TRUE(mixer.SetVolume(70000));
    EXPECT_EQ(device.wave.value, 70000u);

    EXPECT_TRUE(mixer.Close());
    EXPECT_TRUE(mixer.Close());
    EXPECT_EQ(log.Count("MixerClose"), 1u);
    EXPECT_EQ(mixer.MasterMaximum, 60000u);  // Close keeps them

    // While closed nothing reaches the device and nothing changes.
    EXPECT_FALSE(mixer.SelectMasterVolume());
    EXPECT_FALSE(mixer.GetVolume(value));
    EXPECT_FALSE(mixer.SetVolume(5));
    EXPECT_FALSE(mixer.SetMasterMute(1));
    EXPECT_EQ(mixer.VolumeControlId, 3u);

    ASSERT_TRUE(mixer.Open());
    EXPECT_EQ(mixer.MasterMinimum + mixer.MasterMaximum + mixer.WaveMinimum + mixer.WaveMaximum +
                  mixer.VolumeControlId + mixer.MasterMuteId,
              0u);
}

TEST_F(VolumeMixerTest, AFailedSelectionLeavesNoControlCurrent) {
    device.hasWaveLine = false;
    ASSERT_TRUE(mixer.Open());
    uint32_t value = 0;
    EXPECT_FALSE(mixer.GetVolume(value)) << "nothing selected yet";

    ASSERT_TRUE(mixer.SelectMasterVolume());
    EXPECT_FALSE(mixer.SelectWaveVolume());
    // The master control must not stand in for the missing wave line.
    EXPECT_FALSE(mixer.GetVolume(value));
    EXPECT_FALSE(mixer.SetVolume(0));
    EXPECT_TRUE(log.Matching("MixerSet").empty());
    EXPECT_EQ(mixer.WaveMaximum, 0u);
    EXPECT_EQ(mixer.VolumeControlId, 1u);  // stored values stay as they were

    ASSERT_TRUE(mixer.SelectMasterVolume());
    EXPECT_TRUE(mixer.SetVolume(123));
    EXPECT_EQ(device.master.value, 123u);
}

TEST_F(VolumeMixerTest, AMissingMuteControlIsNeverWritten) {
    device.hasMuteControl = false;
    ASSERT_TRUE(mixer.Open());
    ASSERT_TRUE(mixer.SelectMasterVolume());
    EXPECT_FALSE(mixer.SelectMasterMute());
    uint32_t value = 9;
    EXPECT_FALSE(mixer.GetMasterMute(value));
    EXPECT_FALSE(mixer.SetMasterMute(1));
    EXPECT_EQ(value, 9u);
    EXPECT_TRUE(log.Matching("MixerSet").empty());
}

TEST_F(VolumeMixerTest, OpenFailures) {
    // Capabilities unreadable: reported, but the device is open and works.
    device.failDevCaps = true;
    EXPECT_FALSE(mixer.Open());
    EXPECT_TRUE(mixer.SelectMasterMute());
    EXPECT_TRUE(mixer.SetMasterMute(1));
    EXPECT_TRUE(mixer.Close());

    // The device refuses to open: closed, and Close has nothing to do.
    log.Clear();
    device.failOpen = true;
    EXPECT_FALSE(mixer.Open());
    EXPECT_FALSE(mixer.IsOpen());
    EXPECT_FALSE(mixer.SelectMasterVolume());
    EXPECT_TRUE(mixer.Close());
    EXPECT_EQ(log.Count("MixerClose"), 0u);
}

TEST_F(VolumeMixerTest, RefusedValuesLeaveTheCallersVariable) {
    device.master.refuseRead = true;
    device.master.refuseWrite = true;
    ASSERT_TRUE(mixer.Open());
    ASSERT_TRUE(mixer.SelectMasterVolume());
    uint32_t value = 42;
    EXPECT_FALSE(mixer.GetVolume(value));
    EXPECT_EQ(value, 42u);
    EXPECT_FALSE(mixer.SetVolume(1));
}

}  // namespace
}  // namespace hvx::test
