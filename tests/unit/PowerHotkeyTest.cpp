// The five power actions from the menu and the two power hotkeys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PowerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.InitInstance());
        fake.log.Clear();
    }
    CMainFrame& F() { return *app.MainWnd(); }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
};

TEST_F(PowerTest, MenuCommandsEnableThePrivilegeThenMakeOneCall) {
    const std::pair<int, const char*> cases[] = {
        {ID_SHUTDOWN, "ExitWindowsEx 0xD"},      {ID_RESTART, "ExitWindowsEx 0x6"},
        {ID_LOGOFF, "ExitWindowsEx 0x4"},        {ID_HIBERNATE, "SetSystemPowerState 0 0"},
        {ID_STANDBY, "SetSystemPowerState 1 1"},
    };
    for (const auto& [command, call] : cases) {
        fake.log.Clear();
        fake.power.privilegeFails = false;
        F().OnCommand(command);
        EXPECT_THAT(fake.log.calls, ElementsAre("EnableShutdownPrivilege", call)) << command;
        // Without the privilege nothing else happens.
        fake.log.Clear();
        fake.power.privilegeFails = true;
        F().OnCommand(command);
        EXPECT_THAT(fake.log.calls, ElementsAre("EnableShutdownPrivilege")) << command;
    }
}

TEST_F(PowerTest, RestartKeyAlwaysWorksShutdownKeyOnlyWhileAllowedAtThatPress) {
    struct Press {
        int32_t allowed;
        int hotkey;
        const char* call;  // nullptr: nothing at all
    };
    const Press presses[] = {
        {0, HOTKEY_RESTART, "ExitWindowsEx 0x6"},
        {1, HOTKEY_RESTART, "ExitWindowsEx 0x6"},
        {0, HOTKEY_SHUTDOWN, nullptr},
        {1, HOTKEY_SHUTDOWN, "ExitWindowsEx 0xD"},
        {0, HOTKEY_SHUTDOWN, nullptr},
        {7, HOTKEY_SHUTDOWN, "ExitWindowsEx 0xD"},
        {-1, HOTKEY_SHUTDOWN, "ExitWindowsEx 0xD"},
    };
    for (const Press& p : presses) {
        fake.log.Clear();
        F().Settings.ShutdownByUsingShortcut = p.allowed;  // changed between presses
        EXPECT_EQ(F().OnHotKey(p.hotkey), 0);
        if (p.call)
            EXPECT_THAT(fake.log.calls, ElementsAre("EnableShutdownPrivilege", p.call))
                << p.hotkey << " allowed " << p.allowed;
        else
            EXPECT_THAT(fake.log.calls, IsEmpty()) << p.hotkey << " allowed " << p.allowed;
    }
}

}  // namespace
}  // namespace hvx::test
