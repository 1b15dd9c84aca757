#include "platform/linux/XcbHotKeys.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "resources/Resource.h"

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
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    m_minKeycode = setup->min_keycode;
    const uint8_t count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, m_minKeycode, count), nullptr));
    if (!mapping) return;
    m_keysymsPerKeycode = mapping->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    m_keysyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));

    // Which modifier bits NumLock and Alt sit on differs between keyboard setups.
    XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (modifiers) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        const int perModifier = modifiers->keycodes_per_modifier;
        bool altFound = false;
        for (int mod = 0; mod < 8; ++mod) {
            for (int k = 0; k < perModifier; ++k) {
                const xcb_keycode_t code = codes[mod * perModifier + k];
                if (code < m_minKeycode || m_keysymsPerKeycode == 0) continue;
                const size_t base = size_t(code - m_minKeycode) * m_keysymsPerKeycode;
                for (size_t col = 0; col < m_keysymsPerKeycode && base + col < m_keysyms.size();
                     ++col) {
                    const xcb_keysym_t sym = m_keysyms[base + col];
                    if (sym == XK_Num_Lock) m_numLockMask = uint16_t(1u << mod);
                    if ((sym == XK_Alt_L || sym == XK_Alt_R) && !altFound && mod >= 3) {
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
    if (m_keysymsPerKeycode == 0) return codes;
    // The first two columns: the key's own symbol, unshifted and shifted.
    const size_t columns = m_keysymsPerKeycode < 2 ? m_keysymsPerKeycode : 2;
    for (size_t i = 0; i * m_keysymsPerKeycode < m_keysyms.size(); ++i) {
        for (size_t col = 0; col < columns; ++col) {
            if (m_keysyms[i * m_keysymsPerKeycode + col] == keysym) {
                codes.push_back(static_cast<xcb_keycode_t>(m_minKeycode + i));
                break;
            }
        }
    }
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
