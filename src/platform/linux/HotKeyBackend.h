// Where the global hotkeys come from: X key grabs on an X11 session, the desktop's
// GlobalShortcuts portal on Wayland. One of them is chosen at start-up, never both.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace hvx::linux_platform {

class HotKeyBackend {
  public:
    virtual ~HotKeyBackend() = default;
    // modifiers and key are the Windows numbers of resources/Resource.h. False, with the key
    // left inert, where the backend cannot take it.
    virtual bool Register(int id, uint32_t modifiers, uint32_t key) = 0;
    virtual bool Unregister(int id) = 0;
};

// The backend for this session: onHotKey receives the id of a pressed hotkey, from inside
// Qt's event processing; onKnown, once, whether the desktop gives hotkeys at all (the portal
// answers later; a portal without global shortcuts counts as none).
std::unique_ptr<HotKeyBackend> MakeHotKeyBackend(std::function<void(int)> onHotKey,
                                                 std::function<void(bool)> onKnown);

}  // namespace hvx::linux_platform
