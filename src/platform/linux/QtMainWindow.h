// The hidden main window: a plain QObject that never shows. Timers, hotkeys and commands are
// posted to the handler through Qt's event queue, so they also arrive inside the nested loops
// of dialogs and menus, and a handler that runs a nested loop can be entered again.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "platform/MainWindow.h"
#include "platform/linux/HotKeyBackend.h"

namespace hvx::linux_platform {

class QtMainWindow : public IMainWindow {
  public:
    // hotKeysKnown is told once whether the desktop gives global hotkeys at all.
    explicit QtMainWindow(std::function<void(bool)> hotKeysKnown = nullptr);
    ~QtMainWindow() override;

    bool Create(std::string_view title, IMainWindowHandler& handler) override;
    void Destroy() override;
    bool SetTimer(unsigned timerId, unsigned periodMs) override;
    bool KillTimer(unsigned timerId) override;
    bool RegisterHotKey(int hotkeyId, uint32_t modifiers, uint32_t key) override;
    bool UnregisterHotKey(int hotkeyId) override;
    void MessageBeep(uint32_t type) override;
    void SetForeground() override {}
    void SendCommand(int commandId) override;
    void PostNull() override {}

    // Delivers a command once the current handler has returned, as a posted message would.
    void PostCommand(int commandId);
    // True once Destroy has run: the event loop must end (or not start).
    bool Destroyed() const { return m_destroyed; }

  private:
    struct Timer {
        std::unique_ptr<QTimer> timer;
        bool tickPending = false;
    };
    void OnTimeout(unsigned timerId);

    QObject m_window;  // context of every posted call: they die with the window
    IMainWindowHandler* m_handler = nullptr;
    std::map<unsigned, Timer> m_timers;
    std::function<void(bool)> m_hotKeysKnown;
    std::unique_ptr<HotKeyBackend> m_hotKeys;
    bool m_destroyed = false;
};

}  // namespace hvx::linux_platform
