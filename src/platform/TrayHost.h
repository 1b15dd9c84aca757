// The notification-area icon, the hidden window that receives its mouse messages, and the popup
// menu shown from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hvx {

struct NotifyIconData {
    unsigned id = 0;
    unsigned callbackMessage = 0;
    unsigned iconResource = 0;
    std::string tip;  // at most 127 characters; lines split by '\n'
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// What the tray host delivers; CTrayIcon implements it.
class ITrayHandler {
  public:
    // lParam's low word carries the mouse message.
    virtual int OnTrayNotification(uintptr_t wParam, uintptr_t lParam) = 0;
    // The notification area was re-created (the shell restarted): icons must be added again.
    virtual void OnTaskbarCreated() = 0;
    // True while the menu must offer nothing: asked by a host whose menu the desktop draws, at
    // its own moments (when the desktop opens the menu, when an item is chosen in it).
    virtual bool MenuRefused() const = 0;

  protected:
    ~ITrayHandler() = default;
};

class ITrayHost {
  public:
    virtual ~ITrayHost() = default;

    // The hidden window that receives the icon's callback messages.
    virtual bool CreateMessageWindow(ITrayHandler& handler) = 0;
    virtual bool AddIcon(const NotifyIconData& data) = 0;
    virtual bool DeleteIcon(const NotifyIconData& data) = 0;
    // Gives the added icon data's image and tip.
    virtual bool ModifyIcon(const NotifyIconData& data) = 0;

    virtual bool CreatePopupMenu() = 0;
    virtual bool AppendMenuItem(int id, std::string_view text) = 0;
    virtual bool AppendMenuSeparator() = 0;
    virtual bool ModifyMenuItem(int id, std::string_view text) = 0;
    virtual bool SetMenuDefaultItem(int id) = 0;
    // Shows the menu and returns when it closes; a chosen item reaches the main window as a
    // command.
    virtual bool TrackPopupMenu(unsigned flags, ScreenPoint at) = 0;

    virtual ScreenPoint GetCursorPos() = 0;
};

}  // namespace hvx
