// The hidden main window: timers keep firing inside nested dialog loops, also into a handler
// that is itself still waiting in one.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <functional>

#include "platform/linux/QtMainWindow.h"

namespace hvx::linux_platform {
namespace {

struct Handler : IMainWindowHandler {
    int OnCreate() override { return 0; }
    void OnTimer(unsigned id) override { ticks.push_back(id), onTimer(id); }
    void OnCommand(int) override {}
    int OnHotKey(int) override { return 0; }
    std::vector<unsigned> ticks;
    std::function<void(unsigned)> onTimer;
};

TEST(MainWindow, ATimerReentersAHandlerThatWaitsInANestedLoop) {
    QtMainWindow window;
    Handler handler;
    window.Create("SystemTray", handler);
    int depth = 0, deepest = 0;
    const auto spinUntilEightTicks = [&] {  // as a modal dialog's loop would
        QDeadlineTimer deadline(3000);
        while (handler.ticks.size() < 8 && !deadline.hasExpired())
            QEventLoop().processEvents(QEventLoop::WaitForMoreEvents, 20);
    };
    handler.onTimer = [&](unsigned id) {
        if (id != 2) return;
        if (++depth > 1) return void(deepest = std::max(deepest, depth--));
        // The first tick waits in a "dialog" while the following ticks come in, one of them
        // starting timer 3 as the alarm does.
        window.SetTimer(3, 10);
        spinUntilEightTicks();
        window.KillTimer(3), --depth;
    };
    window.SetTimer(2, 30);
    spinUntilEightTicks();
    window.KillTimer(2);
    EXPECT_GE(deepest, 2);  // timer 2 came in again while its first handler waited
    EXPECT_NE(std::find(handler.ticks.begin(), handler.ticks.end(), 3u), handler.ticks.end());
}

}  // namespace
}  // namespace hvx::linux_platform
