// Starts a program and prints the milliseconds until its tray icon is embedded and shown, then
// its pid; the program keeps running.   hvx_time_to_icon CMD...
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

int OnXError(Display*, XErrorEvent*) {
    return 0;  // windows come and go while we look
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

int TimeToIcon(char** argv) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 2;
    XSetErrorHandler(OnXError);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hvx_time_to_icon CMD...\n");
        return 2;
    }
    return TimeToIcon(argv + 1);
}
