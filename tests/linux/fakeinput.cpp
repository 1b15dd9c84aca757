// Presses keys as real compositor input through KWin's fake-input protocol (what a keyboard
// would send; keys sent with XTEST would only reach X11 clients): hvx_fakeinput KEY... with
// evdev key codes, pressed in order and released in reverse. Needs
// KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 in KWin's environment.
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

#include "fake-input-client-protocol.h"

namespace {

org_kde_kwin_fake_input* g_fake = nullptr;

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        g_fake = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {Global, GlobalRemove};

}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 2;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, nullptr);
    wl_display_roundtrip(display);
    if (g_fake == nullptr) return 3;
    org_kde_kwin_fake_input_authenticate(g_fake, "hvx tests", "end-to-end tests");
    for (int i = 1; i < argc; ++i)
        org_kde_kwin_fake_input_keyboard_key(g_fake, uint32_t(std::atoi(argv[i])), 1);
    for (int i = argc - 1; i >= 1; --i)
        org_kde_kwin_fake_input_keyboard_key(g_fake, uint32_t(std::atoi(argv[i])), 0);
    wl_display_roundtrip(display);
    org_kde_kwin_fake_input_destroy(g_fake);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
