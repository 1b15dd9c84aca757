// System-wide hotkeys as passive key grabs on the root window, made and read through Qt's own
// xcb connection (a second connection would lose keys while one of our menus holds the
// keyboard). Each key is looked for in every group of the keymap, and the grabs follow the
// keyboard layout: a new mapping grabs the keys again.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon.h>

#include "platform/linux/HotKeyBackend.h"

namespace hvx::linux_platform {

class XcbHotKeys : public QAbstractNativeEventFilter, public HotKeyBackend {
  public:
    // onHotKey receives the id of a pressed hotkey, from inside Qt's event processing.
    explicit XcbHotKeys(std::function<void(int)> onHotKey);
    ~XcbHotKeys() override;
    XcbHotKeys(const XcbHotKeys&) = delete;
    XcbHotKeys& operator=(const XcbHotKeys&) = delete;

    // modifiers and key are the Windows numbers of resources/Resource.h. False, with the key
    // left inert, when there is no X connection, the key is unknown, the id is in use, or
    // another client holds the combination.
    bool Register(int id, uint32_t modifiers, uint32_t key) override;
    bool Unregister(int id) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct Grab {
        uint32_t windowsModifiers = 0, windowsKey = 0;  // as registered
        uint16_t modifiers = 0;                         // X modifier mask without the lock bits
        std::vector<xcb_keycode_t> keycodes;            // empty while another client holds the keys
    };

    void LearnKeyboard();
    bool Take(Grab& grab);
    bool IsMappingChange(const xcb_generic_event_t* event);
    void GrabAgain();
    std::vector<xcb_keycode_t> KeycodesFor(uint32_t keysym) const;
    std::vector<uint16_t> LockVariants() const;
    void Ungrab(const Grab& grab);

    std::function<void(int)> m_onHotKey;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    bool m_keyboardKnown = false;
    // Where the keys of interest are, in any group of the keymap.
    struct Key {
        xcb_keycode_t keycode;
        uint32_t keysym;
        bool operator==(const Key&) const = default;
    };
    std::vector<Key> m_keys;
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> m_xkb{nullptr, &xkb_context_unref};
    uint16_t m_numLockMask = 0;
    uint16_t m_altMask = XCB_MOD_MASK_1;
    std::map<int, Grab> m_grabs;
    uint8_t m_xkbFirstEvent = 0;  // 0: no XKB extension
    bool m_grabAgainPending = false;
    QObject m_context;  // of the queued re-grab, which must not outlive us
};

}  // namespace hvx::linux_platform
