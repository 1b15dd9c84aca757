// hvx_fakeinput KEY...: presses keys (evdev codes, released in reverse) as compositor input
// through KWin's fake-input protocol, as a keyboard would; XTEST keys would reach X11 clients only.
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

#include "fake-input-client-protocol.h"

static org_kde_kwin_fake_input* g_fake = nullptr;
static const wl_registry_listener kListener = {
    [](void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0)
            g_fake = static_cast<org_kde_kwin_fake_input*>(
                wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    },
    [](void*, wl_registry*, uint32_t) {}};

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 2;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, nullptr);
    wl_display_roundtrip(display);
    if (g_fake == nullptr) return 3;
    org_kde_kwin_fake_input_authenticate(g_fake, "hvx tests", "end-to-end tests");
    for (int i = 1; i < 2 * argc - 1; ++i)  // all down, then all up in reverse
        org_kde_kwin_fake_input_keyboard_key(
            g_fake, uint32_t(std::atoi(argv[i < argc ? i : 2 * argc - 1 - i])), i < argc);
    wl_display_roundtrip(display);
    org_kde_kwin_fake_input_destroy(g_fake);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
}
