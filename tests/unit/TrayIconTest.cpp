// The tray icon's menu and mouse-message rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {
namespace {

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.InitInstance());
        fake.log.Clear();
    }
    CTrayIcon& Tray() { return app.MainWnd()->TrayIcon; }
    void Mouse(unsigned message) { fake.tray.handler->OnTrayNotification(TRAY_ICON_ID, message); }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
};

TEST_F(TrayIconTest, MenuHasNineteenEntriesInOrder) {
    std::vector<std::string> labels;
    for (const auto& [id, text] : fake.tray.menu)
        labels.push_back(id == 0 ? "-" : std::to_string(id) + " " + text);
    EXPECT_THAT(labels, ::testing::ElementsAre(
                            "125 Auto Shutdown Function", "-", "120 Shutdown", "121 Restart",
                            "122 Log off", "123 Hibernate", "124 Standby", "-",
                            "103 Save Volume Level", "104 Use Saved Volume Level",
                            "105 Restore Default Volume Level", "106 Mute", "-", "101 Settings",
                            "102 Advanced Options", "-", "109 Help", "110 About", "112 Exit"));
    ASSERT_TRUE(fake.tray.icon.has_value());
    EXPECT_EQ(fake.tray.icon->id, 101u);
    EXPECT_EQ(fake.tray.icon->callbackMessage, 0x040Fu);
    EXPECT_EQ(fake.tray.icon->tip, "");
}

TEST_F(TrayIconTest, RightButtonUpShowsTheMenuWithItsDefaultItem) {
    Mouse(MOUSE_RBUTTONUP);
    EXPECT_THAT(fake.log.calls, ::testing::ElementsAre("SetForeground", "SetMenuDefaultItem 125",
                                                       "TrackPopupMenu 2 640,700", "PostNull"));
}

TEST_F(TrayIconTest, ChosenItemReachesTheMainWindow) {
    fake.tray.pickOnTrack = ID_SHUTDOWN;
    Mouse(MOUSE_RBUTTONUP);
    EXPECT_EQ(fake.log.Count("ExitWindowsEx 0xD"), 1u);
}

TEST_F(TrayIconTest, MenuIsRefusedWhileAnyDialogIsOpen) {
    Tray().DialogOpen = true;
    Mouse(MOUSE_RBUTTONUP);
    Tray().DialogOpen = false;
    Tray().SchedulerDialogsOpen = 1;
    Mouse(MOUSE_RBUTTONUP);
    EXPECT_EQ(fake.tray.menusShown, 0);
    EXPECT_TRUE(fake.log.calls.empty());
}

TEST_F(TrayIconTest, DoubleClickSendsMuteEvenWithADialogOpen) {
    Tray().DialogOpen = true;
    Mouse(MOUSE_LBUTTONDBLCLK);
    EXPECT_THAT(fake.log.calls, ::testing::ElementsAre("SetForeground", "SendCommand 106",
                                                       "MixerSet 2 1", "ModifyMenu 106 Unmute"));
}

TEST_F(TrayIconTest, EveryOtherMouseMessageIsIgnored) {
    for (unsigned message : {0x0200u, 0x0201u, 0x0202u, 0x0204u, 0x0206u, 0x0207u, 0x0208u, 0x0209u,
                             0x0400u + 0x0205u})
        Mouse(message);
    // Only the low word carries the message.
    fake.tray.handler->OnTrayNotification(0, 0x00010000u | 0x0200u);
    EXPECT_TRUE(fake.log.calls.empty());
    EXPECT_EQ(fake.tray.menusShown, 0);
}

TEST_F(TrayIconTest, MuteLabelSwitches) {
    Tray().SetMuteLabel(true);
    EXPECT_EQ(fake.tray.Label(ID_MUTE), "Unmute");
    Tray().SetMuteLabel(false);
    EXPECT_EQ(fake.tray.Label(ID_MUTE), "Mute");
}

TEST_F(TrayIconTest, IconComesBackWhenTheShellRestarts) {
    fake.tray.icon.reset();  // the shell forgot it
    fake.tray.handler->OnTaskbarCreated();
    ASSERT_TRUE(fake.tray.icon.has_value());
    EXPECT_EQ(fake.tray.icon->id, 101u);
    EXPECT_EQ(fake.tray.icon->tip, "");
    // After Exit nothing brings it back.
    app.MainWnd()->OnCommand(ID_EXIT);
    fake.tray.handler->OnTaskbarCreated();
    EXPECT_FALSE(fake.tray.icon.has_value());
}

}  // namespace
}  // namespace hvx::test
