// The Advanced Options dialog, run from its menu command over the fake dialog host.
#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "resources/Resource.h"
#include "tests/unit/VolumeFrame.h"

namespace hvx::test {
namespace {

class AdvancedOptionsTest : public VolumeFrameTest {
  protected:
    void SetUp() override {
        fake.mixer.master = {1, 0, 65535, 30000};
        fake.mixer.wave = {3, 0, 255, 100};
    }
    // Starts the program with these stored settings and runs the dialog with the script.
    void Run(int32_t master, int32_t wave, int32_t step, FakeDialogHost::Script script) {
        Start();
        Frame().Settings.DefaultMasterVolume = master;
        Frame().Settings.DefaultWaveVolume = wave;
        Frame().Settings.VolumeStep = step;
        before = Frame().Settings;
        if (script) fake.dialogs.OnNext(IDD_ADVANCED_OPTIONS, std::move(script));
        Frame().OnCommand(ID_ADVANCED_OPTIONS);
    }
    size_t Saves() const { return fake.log.Matching("WriteDword RegVolumeStep").size(); }

    AppSettings before;
};

TEST_F(AdvancedOptionsTest, OpensWithTheDeviceRangesAndTheStoredValues) {
    Run(20000, 50, 4000, [&](FakeDialog& d) {
        EXPECT_TRUE(Frame().TrayIcon.DialogOpen);
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).rangeMax, 65535);
        EXPECT_EQ(d.At(IDC_WAVE_SLIDER).rangeMax, 255);
        EXPECT_EQ(d.At(IDC_STEP_SLIDER).rangeMin, 0);
        EXPECT_EQ(d.At(IDC_STEP_SLIDER).rangeMax, 16800);
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).pos, 20000);
        EXPECT_EQ(d.At(IDC_WAVE_SLIDER).pos, 50);
        EXPECT_EQ(d.At(IDC_STEP_SLIDER).pos, 4000);
        EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "4000");
        d.PressEscape();
    });
    EXPECT_FALSE(Frame().TrayIcon.DialogOpen);
    EXPECT_TRUE(fake.mixer.writes.empty());  // choosing numbers never moves the volume
}

TEST_F(AdvancedOptionsTest, DefaultHalvesEachMaximumAndOkStoresIt) {
    fake.mixer.master.minimum = 1000;  // the minimum plays no part
    Run(20000, 50, 4000, [](FakeDialog& d) {
        d.Click(IDC_DEFAULT);
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).pos, 32767);
        EXPECT_EQ(d.At(IDC_WAVE_SLIDER).pos, 127);
        EXPECT_EQ(d.At(IDC_STEP_SLIDER).pos, 2800);
        EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "2800");
        d.Click(IDOK);
    });
    EXPECT_EQ(Frame().Settings.DefaultMasterVolume, 32767);
    EXPECT_EQ(Frame().Settings.DefaultWaveVolume, 127);
    EXPECT_EQ(Frame().Settings.VolumeStep, 2800);
    EXPECT_EQ(fake.registry.Get("RegDefaultWaveVolume"), 127u);
}

TEST_F(AdvancedOptionsTest, DefaultThenCancelChangesNothing) {
    Run(20000, 50, 4000, [](FakeDialog& d) {
        d.Click(IDC_DEFAULT);
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(Frame().Settings, before);
    EXPECT_TRUE(fake.log.Matching("WriteDword").empty());
}

TEST_F(AdvancedOptionsTest, StoredValuesOutsideTheRangesAreShownAndStoredClamped) {
    Run(70000, 300, 4000, [](FakeDialog& d) {
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).pos, 65535);
        EXPECT_EQ(d.At(IDC_WAVE_SLIDER).pos, 255);
        d.Click(IDOK);
    });
    EXPECT_EQ(Frame().Settings.DefaultMasterVolume, 65535);
    EXPECT_EQ(Frame().Settings.DefaultWaveVolume, 255);
    EXPECT_EQ(Frame().Settings.VolumeStep, 4000);
    EXPECT_EQ(Saves(), 1u);
}

// Right after start-up no line has been selected; the stored defaults must survive OK.
TEST_F(AdvancedOptionsTest, OkUntouchedStillSaves) {
    Run(20000, 50, 4000, [](FakeDialog& d) { d.Click(IDOK); });
    EXPECT_EQ(Frame().Settings, before);
    EXPECT_EQ(fake.log.Matching("WriteDword").size(), 16u);
}

TEST_F(AdvancedOptionsTest, StepEditShowsTheStoredStepUntilASliderMoves) {
    Run(20000, 50, 20000, [](FakeDialog& d) {
        EXPECT_EQ(d.At(IDC_STEP_SLIDER).pos, 16800);
        EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "20000");
        d.DragSlider(IDC_MASTER_SLIDER, 100);  // any slider refreshes the edit
        EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "16800");
        d.DragSlider(IDC_STEP_SLIDER, 5000);
        EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "5000");
        d.DragSlider(IDC_STEP_SLIDER, 99999);
        EXPECT_EQ(d.At(IDC_STEP_TEXT).text, "16800");
        d.Click(IDOK);
    });
    EXPECT_EQ(Frame().Settings.VolumeStep, 16800);
    EXPECT_EQ(Frame().Settings.DefaultMasterVolume, 100);
}

TEST_F(AdvancedOptionsTest, AMissingLineKeepsItsStoredDefault) {
    fake.mixer.hasWaveLine = false;
    Run(20000, 50, 4000, [](FakeDialog& d) {
        EXPECT_EQ(d.At(IDC_WAVE_SLIDER).rangeMax, 0);
        d.DragSlider(IDC_STEP_SLIDER, 1000);
        d.Click(IDOK);
    });
    EXPECT_EQ(Frame().Settings.DefaultWaveVolume, 50);
    EXPECT_EQ(Frame().Settings.DefaultMasterVolume, 20000);
    EXPECT_EQ(Frame().Settings.VolumeStep, 1000);
}

TEST_F(AdvancedOptionsTest, BoundsBeyondTheTrackbarsIntRangeAreClamped) {
    fake.mixer.master = {1, 0, 0xFFFFFFFF, 0};
    fake.mixer.wave = {3, 0x90000000, 0xFFFFFFFF, 0};
    // 3,000,000,000 as a raw 32-bit setting: a volume past INT_MAX, not a negative one.
    Run(static_cast<int32_t>(3000000000u), 0, 4000, [](FakeDialog& d) {
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).rangeMax, INT_MAX);
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).pos, INT_MAX);
        EXPECT_EQ(d.At(IDC_WAVE_SLIDER).pos, INT_MAX);
        d.Click(IDC_DEFAULT);
        EXPECT_EQ(d.At(IDC_MASTER_SLIDER).pos, INT_MAX);  // 0xFFFFFFFF / 2
        d.Click(IDOK);
    });
    EXPECT_EQ(Frame().Settings.DefaultMasterVolume, INT_MAX);
}

}  // namespace
}  // namespace hvx::test
