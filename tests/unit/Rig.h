// A running program over the fakes, for the tests that drive it as the user would.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/Resource.h"
#include "shell/TrayApp.h"
#include "tests/fakes/FakePlatform.h"

namespace hvx::test {

using Calls = std::vector<std::string>;

// The first word of each checked button's text, in template order, e.g. "Run Wave Enable".
inline std::string Checked(FakeDialog& d) {
    std::string s;
    for (const ControlTemplate& c : FindDialogTemplate(d.TemplateId())->controls) {
        if (c.cls != ControlClass::Button || c.id == IDC_STATIC || !d.IsButtonChecked(c.id))
            continue;
        const std::string text = c.text;
        s += (s.empty() ? "" : " ") + text.substr(0, text.find(' '));
    }
    return s;
}

struct Rig {
    // seed prepares the fakes (stored values, mixer lines) before start-up; the journal and the
    // mixer's write list are cleared after it.
    explicit Rig(const std::function<void(FakePlatform&)>& seed = {}) {
        if (seed) seed(fake);
        EXPECT_TRUE(app.InitInstance());
        fake.log.calls.clear();
        fake.mixer.writes.clear();
    }
    CMainFrame& F() { return *app.MainWnd(); }
    AppSettings& S() { return F().Settings; }
    size_t Count(const std::string& prefix) const { return fake.log.Matching(prefix).size(); }
    void Tick(int hour, int minute, int weekday = 1) {
        fake.clock.Set(hour, minute, weekday);
        F().OnTimer(TIMER_SCHEDULE);
    }
    void Mouse(uintptr_t lParam) { fake.tray.handler->OnTrayNotification(TRAY_ICON_ID, lParam); }
    // Runs a menu command whose dialog the script drives.
    void Dialog(int command, int templateId, FakeDialogHost::Script script) {
        fake.dialogs.OnNext(templateId, std::move(script));
        F().OnCommand(command);
    }

    FakePlatform fake;
    FakeMarker marker;
    CTrayApp app{marker, fake.platform};
};

}  // namespace hvx::test
