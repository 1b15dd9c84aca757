#include "platform/linux/XcbHotKeys.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "resources/Resource.h"

#include <xkbcommon/xkbcommon-x11.h>

// Xlib last: its macros (Bool, Status, None...) break Qt headers included after it.
#include <X11/Xlib.h>

namespace hvx::linux_platform {

namespace {

// X keysyms of the keys the program uses (X11/keysymdef.h).
constexpr uint32_t XK_Return = 0xff0d;
constexpr uint32_t XK_KP_Enter = 0xff8d;
constexpr uint32_t XK_Left = 0xff51;
constexpr uint32_t XK_Up = 0xff52;
constexpr uint32_t XK_Right = 0xff53;
constexpr uint32_t XK_Down = 0xff54;
constexpr uint32_t XK_r = 0x0072;
constexpr uint32_t XK_Num_Lock = 0xff7f;
constexpr uint32_t XK_Alt_L = 0xffe9;
constexpr uint32_t XK_Alt_R = 0xffea;
// The symbols looked for in the keymap: the hotkeys' keys and the modifiers whose bits vary.
constexpr uint32_t kLookedUp[] = {XK_Return, XK_KP_Enter, XK_Left,     XK_Up,    XK_Right,
                                  XK_Down,   XK_r,        XK_Num_Lock, XK_Alt_L, XK_Alt_R};

// The keysyms that stand for a Windows virtual key; Enter is both the main and the keypad key,
// as it is for the Windows key code.
std::vector<uint32_t> KeysymsFor(uint32_t virtualKey) {
    switch (virtualKey) {
        case KEY_RETURN:
            return {XK_Return, XK_KP_Enter};
        case KEY_LEFT:
            return {XK_Left};
        case KEY_UP:
            return {XK_Up};
        case KEY_RIGHT:
            return {XK_Right};
        case KEY_DOWN:
            return {XK_Down};
        case KEY_R:
            return {XK_r};
        default:
            return {};
    }
}

// The modifier bits that take part in matching a hotkey: Shift, Control and Mod1 to Mod5.
constexpr uint16_t kRelevantModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 |
                                        XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 |
                                        XCB_MOD_MASK_5;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

}  // namespace

XcbHotKeys::XcbHotKeys(std::function<void(int)> onHotKey) : m_onHotKey(std::move(onHotKey)) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) return;
    m_connection = x11->connection();
    if (Display* display = x11->display())
        m_root = static_cast<xcb_window_t>(DefaultRootWindow(display));
    else
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    // Qt listens to XKB's keyboard events, which then replace the core MappingNotify.
    XcbReply<xcb_query_extension_reply_t> xkb(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, 9, "XKEYBOARD"), nullptr));
    if (xkb && xkb->present) m_xkbFirstEvent = xkb->first_event;
    // The keymap with all its groups comes through XKB, which Qt has set up on this
    // connection already; asking again only tells libxkbcommon.
    if (m_xkbFirstEvent != 0 &&
        xkb_x11_setup_xkb_extension(
            m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        m_xkb.reset(xkb_context_new(
            xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    qGuiApp->installNativeEventFilter(this);
}

XcbHotKeys::~XcbHotKeys() {
    if (m_connection == nullptr) return;
    for (const auto& [id, grab] : m_grabs) Ungrab(grab);
    xcb_flush(m_connection);
    if (qGuiApp) qGuiApp->removeNativeEventFilter(this);
}

void XcbHotKeys::LearnKeyboard() {
    if (m_keyboardKnown || m_connection == nullptr) return;
    m_keys.clear();
    // Every group of the keymap, as Windows's virtual keys stand for a key whatever the layout:
    // a Russian or Greek first group has no Latin R. Of each group the first two levels, the
    // key's own symbol unshifted and shifted. A key with the symbol in two groups is kept
    // once, so it is grabbed once. The keymap is dropped once read.
    const int32_t device = xkb_x11_get_core_keyboard_device_id(m_connection);
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        device < 0 || !m_xkb ? nullptr
                             : xkb_x11_keymap_new_from_device(m_xkb.get(), m_connection, device,
                                                              XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    if (!keymap) return;
    const xkb_keycode_t last = xkb_keymap_max_keycode(keymap.get());
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap.get()); code <= last && code <= 255;
         ++code) {
        const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(keymap.get(), code);
        for (xkb_layout_index_t group = 0; group < groups; ++group) {
            const xkb_level_index_t levels = std::min<xkb_level_index_t>(
                2, xkb_keymap_num_levels_for_key(keymap.get(), code, group));
            for (xkb_level_index_t level = 0; level < levels; ++level) {
                const xkb_keysym_t* syms = nullptr;
                const int count =
                    xkb_keymap_key_get_syms_by_level(keymap.get(), code, group, level, &syms);
                for (int i = 0; i < count; ++i) {
                    const Key key{static_cast<xcb_keycode_t>(code), syms[i]};
                    if (std::find(std::begin(kLookedUp), std::end(kLookedUp), key.keysym) !=
                            std::end(kLookedUp) &&
                        std::find(m_keys.begin(), m_keys.end(), key) == m_keys.end())
                        m_keys.push_back(key);
                }
            }
        }
    }

    // Which modifier bits NumLock and Alt sit on differs between keyboard setups.
    XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (modifiers) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        const int perModifier = modifiers->keycodes_per_modifier;
        bool altFound = false;
        for (int mod = 0; mod < 8; ++mod) {
            for (int k = 0; k < perModifier; ++k) {
                for (const Key& key : m_keys) {
                    if (key.keycode != codes[mod * perModifier + k]) continue;
                    if (key.keysym == XK_Num_Lock) m_numLockMask = uint16_t(1u << mod);
                    if ((key.keysym == XK_Alt_L || key.keysym == XK_Alt_R) && !altFound &&
                        mod >= 3) {
                        m_altMask = uint16_t(1u << mod);
                        altFound = true;
                    }
                }
            }
        }
    }
    m_keyboardKnown = true;
}

std::vector<xcb_keycode_t> XcbHotKeys::KeycodesFor(uint32_t keysym) const {
    std::vector<xcb_keycode_t> codes;
    for (const Key& key : m_keys)
        if (key.keysym == keysym) codes.push_back(key.keycode);
    return codes;
}

std::vector<uint16_t> XcbHotKeys::LockVariants() const {
    // Caps Lock and Num Lock must not stop a hotkey.
    std::vector<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (m_numLockMask != 0) {
        variants.push_back(m_numLockMask);
        variants.push_back(uint16_t(m_numLockMask | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

bool XcbHotKeys::Register(int id, uint32_t modifiers, uint32_t key) {
    if (m_connection == nullptr || m_grabs.count(id) != 0) return false;
    LearnKeyboard();
    Grab grab;
    grab.windowsModifiers = modifiers;
    grab.windowsKey = key;
    if (!Take(grab)) return false;
    m_grabs.emplace(id, std::move(grab));
    return true;
}

bool XcbHotKeys::Take(Grab& grab) {
    grab.modifiers = 0;
    grab.keycodes.clear();
    if (grab.windowsModifiers & MOD_KEY_CONTROL) grab.modifiers |= XCB_MOD_MASK_CONTROL;
    if (grab.windowsModifiers & MOD_KEY_ALT) grab.modifiers |= m_altMask;
    for (uint32_t sym : KeysymsFor(grab.windowsKey))
        for (xcb_keycode_t code : KeycodesFor(sym)) grab.keycodes.push_back(code);
    if (grab.keycodes.empty()) return false;

    std::vector<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t code : grab.keycodes)
        for (uint16_t locks : LockVariants())
            cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root,
                                                   uint16_t(grab.modifiers | locks), code,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
            refused = true;  // BadAccess: another client holds this combination
            std::free(error);
        }
    }
    if (refused) {
        // A key that works only with some lock states would be worse than an inert one.
        Ungrab(grab);
        xcb_flush(m_connection);
        grab.keycodes.clear();
        return false;
    }
    return true;
}

bool XcbHotKeys::Unregister(int id) {
    const auto it = m_grabs.find(id);
    if (it == m_grabs.end()) return false;
    Ungrab(it->second);
    xcb_flush(m_connection);
    m_grabs.erase(it);
    return true;
}

bool XcbHotKeys::IsMappingChange(const xcb_generic_event_t* event) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY)
        return reinterpret_cast<const xcb_mapping_notify_event_t*>(event)->request !=
               XCB_MAPPING_POINTER;
    // XKB's events share one type; the second byte tells them apart: 0 a new keyboard, 1 a new
    // key map.
    const uint8_t xkbType = reinterpret_cast<const uint8_t*>(event)[1];
    return m_xkbFirstEvent != 0 && type == m_xkbFirstEvent && (xkbType == 0 || xkbType == 1);
}

void XcbHotKeys::GrabAgain() {
    // A new layout may put the keys (and NumLock and Alt) elsewhere: the old grabs go first,
    // with the lock bits they were made with, then each hotkey is taken where its key now is.
    m_grabAgainPending = false;
    for (const auto& [id, grab] : m_grabs) Ungrab(grab);
    m_keyboardKnown = false;
    m_numLockMask = 0;
    m_altMask = XCB_MOD_MASK_1;
    LearnKeyboard();
    for (auto& [id, grab] : m_grabs) Take(grab);
    xcb_flush(m_connection);
}

void XcbHotKeys::Ungrab(const Grab& grab) {
    for (xcb_keycode_t code : grab.keycodes)
        for (uint16_t locks : LockVariants())
            xcb_ungrab_key(m_connection, code, m_root, uint16_t(grab.modifiers | locks));
}

bool XcbHotKeys::nativeEventFilter(const QByteArray& eventType, void* message,
                                   qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t" || m_grabs.empty()) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if (IsMappingChange(event) && !m_grabAgainPending) {
        // Once the burst of events of one change is over; Qt sees the events too.
        m_grabAgainPending = true;
        QMetaObject::invokeMethod(
            &m_context, [this] { GrabAgain(); }, Qt::QueuedConnection);
        return false;
    }
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    const uint16_t modifiers = uint16_t(press->state & kRelevantModifiers & ~m_numLockMask);
    for (const auto& [id, grab] : m_grabs) {
        if (grab.modifiers != modifiers) continue;
        for (xcb_keycode_t code : grab.keycodes) {
            if (code == press->detail) {
                m_onHotKey(id);
                return true;
            }
        }
    }
    return false;
}

}  // namespace hvx::linux_platform
