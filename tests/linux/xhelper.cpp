// Small X11 tools for the end-to-end tests and benchmarks of the Linux program:
//   xhelper bells FILE             append one line (milliseconds since start) per bell rung
//   xhelper grab KEYSYM MODS...    hold a key grab on the root window until killed
//   xhelper time-to-icon CMD...    start CMD, print the milliseconds until its tray icon is
//                                  embedded and shown, then its pid; CMD keeps running
//   xhelper icon-pos               print the screen centre of the embedded tray icon
//   xhelper icon-count             print how many tray icons of the program are shown
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

int g_lastError = 0;
int OnXError(Display*, XErrorEvent* e) {
    g_lastError = e->error_code;
    return 0;
}

Display* g_display = nullptr;  // closed by main

Display* OpenDisplay() {
    Display* d = g_display = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "xhelper: cannot open display\n");
        std::exit(2);
    }
    return d;
}

int Bells(const char* path) {
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    Display* d = g_display = XkbOpenDisplay(nullptr, &event, &error, &major, &minor, nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "xhelper: no XKB display\n");
        return 2;
    }
    (void)opcode;
    XkbSelectEvents(d, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(d, False);
    FILE* out = std::fopen(path, "a");
    if (out == nullptr) return 2;
    std::fprintf(out, "ready\n");
    std::fflush(out);
    const auto start = Clock::now();
    const int fd = ConnectionNumber(d);
    while (!g_stop) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == event && reinterpret_cast<XkbEvent*>(&e)->any.xkb_type == XkbBellNotify) {
                const auto ms =
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                        .count();
                std::fprintf(out, "%lld\n", static_cast<long long>(ms));
                std::fflush(out);
            }
        }
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        timeval tv{0, 200000};
        select(fd + 1, &set, nullptr, nullptr, &tv);
    }
    std::fclose(out);
    return 0;
}

int Grab(int argc, char** argv) {
    Display* d = OpenDisplay();
    XSetErrorHandler(OnXError);
    const KeySym sym = XStringToKeysym(argv[0]);
    const KeyCode code = XKeysymToKeycode(d, sym);
    if (code == 0) return 2;
    unsigned mods = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "control")) mods |= ControlMask;
        if (!std::strcmp(argv[i], "alt")) mods |= Mod1Mask;
        if (!std::strcmp(argv[i], "shift")) mods |= ShiftMask;
    }
    XGrabKey(d, code, mods, DefaultRootWindow(d), True, GrabModeAsync, GrabModeAsync);
    XSync(d, False);
    std::printf(g_lastError ? "refused\n" : "grabbed\n");
    std::fflush(stdout);
    while (!g_stop) pause();
    return 0;
}

bool IsOurs(Display* d, Window w) {
    XClassHint hint{};
    if (!XGetClassHint(d, w, &hint)) return false;
    const bool ours = hint.res_class && std::strcmp(hint.res_class, "hvx") == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return ours;
}

bool IsShown(Display* d, Window w, XWindowAttributes* out = nullptr) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, w, &attributes)) return false;
    if (out) *out = attributes;
    return attributes.map_state == IsViewable;
}

// A shown window of class "hvx" inside another client's window: the embedded tray icon.
Window FindEmbeddedIcon(Display* d, Window w, bool underRoot) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        if (!underRoot && IsOurs(d, children[i]) && IsShown(d, children[i]))
            found = children[i];
        else
            found = FindEmbeddedIcon(d, children[i], false);
    }
    if (children) XFree(children);
    return found;
}

// A shown top-level window of ours: a popup (override-redirect) or one with this title.
template <typename F>
bool WaitFor(int ms, F condition) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (Clock::now() > until) return false;
        usleep(2000);
    }
    return true;
}

int TimeToIcon(char** argv) {
    Display* d = OpenDisplay();
    XSetErrorHandler(OnXError);  // windows come and go while we look
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    while (!FindEmbeddedIcon(d, DefaultRootWindow(d), true)) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return 1;
        if (Clock::now() - start > std::chrono::seconds(20)) return kill(pid, SIGKILL), 1;
        usleep(500);
    }
    const auto us =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    std::printf("%.1f %d\n", us / 1000.0, static_cast<int>(pid));
    return 0;
}

int IconPos() {
    Display* d = OpenDisplay();
    XSetErrorHandler(OnXError);
    Window icon = 0;
    if (!WaitFor(5000, [&] { return (icon = FindEmbeddedIcon(d, DefaultRootWindow(d), true)); }))
        return 1;
    XWindowAttributes attributes;
    XGetWindowAttributes(d, icon, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(d, icon, DefaultRootWindow(d), attributes.width / 2,
                          attributes.height / 2, &x, &y, &child);
    std::printf("%d %d\n", x, y);
    return 0;
}

int CountIcons(Display* d, Window w, bool underRoot) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    int icons = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (!underRoot && IsOurs(d, children[i]) && IsShown(d, children[i]))
            ++icons;
        else
            icons += CountIcons(d, children[i], false);
    }
    if (children) XFree(children);
    return icons;
}

}  // namespace

int Run(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "bells" && argc == 3) return Bells(argv[2]);
    if (command == "grab" && argc >= 3) return Grab(argc - 2, argv + 2);
    if (command == "time-to-icon" && argc >= 3) return TimeToIcon(argv + 2);
    if (command == "icon-pos" && argc == 2) return IconPos();
    if (command == "icon-count" && argc == 2) {
        Display* d = OpenDisplay();
        XSetErrorHandler(OnXError);
        std::printf("%d\n", CountIcons(d, DefaultRootWindow(d), true));
        return 0;
    }
    std::fprintf(stderr,
                 "usage: xhelper bells FILE | grab KEYSYM [control] [alt] [shift] | "
                 "time-to-icon CMD... | icon-pos | icon-count\n");
    return 2;
}

int main(int argc, char** argv) {
    signal(SIGTERM, OnSignal);
    signal(SIGINT, OnSignal);
    const int result = Run(argc, argv);
    if (g_display) XCloseDisplay(g_display);
    return result;
}
