// A started main window over the fakes, for the volume tests.
#pragma once

#include <gtest/gtest.h>

#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {

class VolumeFrameTest : public ::testing::Test {
  protected:
    // Starts the program; the mixer lines are set up before, the journal is cleared after.
    void Start() {
        ASSERT_TRUE(app.InitInstance());
        fake.log.Clear();
        fake.mixer.writes.clear();
    }
    CMainFrame& Frame() { return *app.MainWnd(); }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
};

}  // namespace hvx::test
