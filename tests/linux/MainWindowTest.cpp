// The hidden main window: timers keep firing inside nested dialog loops, also into a handler
// that is itself still waiting in one.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "platform/linux/QtMainWindow.h"

namespace hvx::linux_platform {
namespace {

class Handler : public IMainWindowHandler {
  public:
    int OnCreate() override {
        created = true;
        return 0;
    }
    void OnTimer(unsigned id) override {
        ticks.push_back(id);
        if (onTimer) onTimer(id);
    }
    void OnCommand(int id) override { commands.push_back(id); }
    int OnHotKey(int) override { return 0; }

    bool created = false;
    std::vector<unsigned> ticks;
    std::vector<int> commands;
    std::function<void(unsigned)> onTimer;
};

// Spins the event loop, as a modal dialog's loop would, until done() or the time is up.
void SpinUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    while (!done() && clock.elapsed() < ms) loop.processEvents(QEventLoop::WaitForMoreEvents, 20);
}

TEST(MainWindow, ATimerReentersAHandlerThatWaitsInANestedLoop) {
    QtMainWindow window;
    Handler handler;
    window.Create("SystemTray", handler);
    int depth = 0, deepest = 0;
    handler.onTimer = [&](unsigned id) {
        if (id != 2) return;
        ++depth;
        deepest = std::max(deepest, depth);
        if (depth == 1) {
            // The first tick waits in a "dialog" while the following ticks come in, one of
            // them starting timer 3 as the alarm does.
            window.SetTimer(3, 10);
            SpinUntil([&] { return handler.ticks.size() >= 8; });
            window.KillTimer(3);
        }
        --depth;
    };
    window.SetTimer(2, 30);
    SpinUntil([&] { return handler.ticks.size() >= 8 && depth == 0; });
    window.KillTimer(2);
    EXPECT_GE(deepest, 2);  // timer 2 came in again while its first handler waited
    EXPECT_NE(std::find(handler.ticks.begin(), handler.ticks.end(), 3u), handler.ticks.end());
}

}  // namespace
}  // namespace hvx::linux_platform
