// What the program says when the desktop lacks the icon's notification area, the hotkeys or both.
#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/DesktopNotice.h"

namespace hvx::linux_platform {
namespace {

TEST(DesktopNotice, NamesExactlyWhatIsMissingAndWhatToDoOnceBothAnswersAreIn) {
    struct Case {
        bool icon, hotKeys;
        const char* summary;
        bool extension, commandLine;  // tells of the GNOME extension, of binding `hvx --...`
    };
    const Case cases[] = {{false, true, "HVX is running without its icon", true, false},
                          {true, false, "HVX is running without its hotkeys", false, true},
                          {false, false, "HVX is running without its icon and hotkeys", true, true},
                          {true, true, nullptr, false, false}};  // nothing to say
    for (const Case& c : cases) {
        for (bool iconFirst : {true, false}) {
            std::vector<NoticeText> told;
            DesktopNotice notice([&](const NoticeText& text) { told.push_back(text); });
            if (iconFirst) notice.IconKnown(c.icon);
            notice.HotKeysKnown(c.hotKeys);
            notice.HotKeysKnown(!c.hotKeys);  // only the first answer counts
            EXPECT_EQ(told.size(), iconFirst && c.summary ? 1u : 0u);
            notice.IconKnown(c.icon);
            notice.IconKnown(!c.icon);
            if (c.summary == nullptr) {
                EXPECT_TRUE(told.empty());
                continue;
            }
            ASSERT_EQ(told.size(), 1u) << c.summary;
            EXPECT_EQ(told[0].summary, c.summary);
            const std::string& body = told[0].body;
            EXPECT_EQ(body.find("AppIndicator") != std::string::npos, c.extension) << body;
            EXPECT_EQ(body.find("\"hvx --volume-up\"") != std::string::npos, c.commandLine);
            EXPECT_EQ(body.find("hotkeys and the schedule work") != std::string::npos, c.hotKeys);
        }
    }
}

}  // namespace
}  // namespace hvx::linux_platform
