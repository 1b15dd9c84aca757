// The hidden main window: the target of timers, hotkeys and tray commands.
#pragma once

#include <cstdint>
#include <string_view>

namespace hvx {

// What the platform's event loop delivers to the main window; CMainFrame implements it.
class IMainWindowHandler {
  public:
    virtual int OnCreate() = 0;
    virtual void OnTimer(unsigned timerId) = 0;
    virtual void OnCommand(int commandId) = 0;
    virtual int OnHotKey(int hotkeyId) = 0;
    // The mixer reports a change of the master volume or mute, or of the device itself, by
    // whichever program made it.
    virtual void OnMixerChange() = 0;

  protected:
    ~IMainWindowHandler() = default;
};

class IMainWindow {
  public:
    virtual ~IMainWindow() = default;

    // Creates the hidden top-level window; handler.OnCreate() runs before this returns.
    virtual bool Create(std::string_view title, IMainWindowHandler& handler) = 0;
    // Destroys the window, which ends the message loop.
    virtual void Destroy() = 0;

    virtual bool SetTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual bool KillTimer(unsigned timerId) = 0;

    // modifiers and key are the Windows numbers of resources/Resource.h.
    virtual bool RegisterHotKey(int hotkeyId, uint32_t modifiers, uint32_t key) = 0;
    virtual bool UnregisterHotKey(int hotkeyId) = 0;

    virtual void MessageBeep(uint32_t type) = 0;

    virtual void SetForeground() = 0;
    // Delivers a command to the handler before returning.
    virtual void SendCommand(int commandId) = 0;
    // Posts an empty message, so the window's queue wakes after a popup menu.
    virtual void PostNull() = 0;
};

}  // namespace hvx
