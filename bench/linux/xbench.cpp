// Measuring helper of bench/linux/run.sh, for HVX and its peers alike:
//   xbench time-to-icon CLASS CMD...   start CMD, print the milliseconds until a window of this
//                                      WM_CLASS (name or class, any case) is embedded in another
//                                      client's window and shown, then CMD's pid
//   xbench tray                        wait (up to 20 s) until a tray host owns its selection
//   xbench keycode KEYSYM              the keycode of a key
//   xbench hotkey-to-sink COUNT        press Ctrl+Up and Ctrl+Down in turn (XTEST), COUNT times
//                                      in all; print the milliseconds from each key press until
//                                      `pactl subscribe` reports a change of a sink, one a line
//                                      ("-" when none came within 2 s)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int MsLeft(Clock::time_point until) {
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
}

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;  // windows come and go while we look
}

bool HasClass(Display* d, Window w, const char* wanted) {
    XClassHint hint{};
    if (!XGetClassHint(d, w, &hint)) return false;
    const bool match = (hint.res_name && strcasecmp(hint.res_name, wanted) == 0) ||
                       (hint.res_class && strcasecmp(hint.res_class, wanted) == 0);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return match;
}

bool IsShown(Display* d, Window w) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable;
}

// A shown window of this class inside another client's window: an embedded tray icon.
bool FindEmbedded(Display* d, Window w, bool underRoot, const char* wanted) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i)
        found = (!underRoot && HasClass(d, children[i], wanted) && IsShown(d, children[i])) ||
                FindEmbedded(d, children[i], false, wanted);
    if (children) XFree(children);
    return found;
}

int TimeToIcon(Display* d, const char* wanted, char** argv) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    while (!FindEmbedded(d, DefaultRootWindow(d), true, wanted)) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return 1;
        // A program whose icon never shows is ended: a copy left running would stop the next.
        if (MsSince(start) > 20000) return kill(pid, SIGKILL), waitpid(pid, nullptr, 0), 1;
        usleep(500);
    }
    std::printf("%.1f %d\n", MsSince(start), static_cast<int>(pid));
    return 0;
}

int WaitForTray(Display* d) {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(d));
    const Atom selection = XInternAtom(d, name.c_str(), False);
    const auto start = Clock::now();
    while (XGetSelectionOwner(d, selection) == None) {
        if (MsSince(start) > 20000) return 1;
        usleep(10000);
    }
    return 0;
}

// The output of `pactl subscribe`, line by line.
class Subscription {
  public:
    Subscription() {
        int fds[2];
        if (pipe(fds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
            dup2(open("/dev/null", O_WRONLY), 2);  // its "exiting" when ended
            execlp("pactl", "pactl", "subscribe", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        m_fd = fds[0];
    }
    ~Subscription() {
        if (m_pid > 0) kill(m_pid, SIGTERM), waitpid(m_pid, nullptr, 0);
        if (m_fd >= 0) close(m_fd);
    }
    // The next line, or false when none comes within the time.
    bool Next(std::string& line, int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return true;
            }
            const int left = MsLeft(until);
            pollfd p{m_fd, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, left) <= 0) return false;
            char chunk[512];
            const ssize_t n = read(m_fd, chunk, sizeof chunk);
            if (n <= 0) return false;
            m_buffer.append(chunk, size_t(n));
        }
    }
    // Waits for a change of a sink; the other events (clients, streams) are skipped.
    bool SinkChange(int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        std::string line;
        while (Next(line, MsLeft(until)))
            if (line.find("'change' on sink #") != std::string::npos) return true;
        return false;
    }
    // Skips events until none has come for this long.
    void Quiet(int ms) {
        std::string line;
        while (Next(line, ms)) {
        }
    }

  private:
    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_buffer;
};

int HotkeyToSink(Display* d, int count) {
    Subscription events;
    // Subscribed once another client's arrival is reported.
    bool ready = false;
    for (int i = 0; i < 50 && !ready; ++i) {
        if (std::system("pactl info >/dev/null 2>&1") != 0) return 1;
        std::string line;
        while (!ready && events.Next(line, 100))
            ready = line.find("on client") != std::string::npos;
    }
    if (!ready) return 1;
    events.Quiet(200);
    const KeyCode control = XKeysymToKeycode(d, XK_Control_L);
    for (int i = 0; i < count; ++i) {
        const KeyCode key = XKeysymToKeycode(d, i % 2 == 0 ? XK_Up : XK_Down);
        XTestFakeKeyEvent(d, control, True, CurrentTime);
        XSync(d, False);
        const auto start = Clock::now();
        XTestFakeKeyEvent(d, key, True, CurrentTime);
        XFlush(d);
        if (events.SinkChange(2000))
            std::printf("%.2f\n", MsSince(start));
        else
            std::printf("-\n");
        std::fflush(stdout);
        XTestFakeKeyEvent(d, key, False, CurrentTime);
        XTestFakeKeyEvent(d, control, False, CurrentTime);
        XSync(d, False);
        events.Quiet(250);  // the program's other writes of this press
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) {
        std::fprintf(stderr, "xbench: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    const std::string command = argc > 1 ? argv[1] : "";
    int result = 2;
    if (command == "time-to-icon" && argc >= 4) {
        result = TimeToIcon(d, argv[2], argv + 3);
    } else if (command == "tray" && argc == 2) {
        result = WaitForTray(d);
    } else if (command == "keycode" && argc == 3) {
        std::printf("%d\n", XKeysymToKeycode(d, XStringToKeysym(argv[2])));
        result = 0;
    } else if (command == "hotkey-to-sink" && argc == 3) {
        result = HotkeyToSink(d, std::atoi(argv[2]));
    } else {
        std::fprintf(stderr,
                     "usage: xbench time-to-icon CLASS CMD... | tray | keycode KEYSYM | "
                     "hotkey-to-sink COUNT\n");
    }
    XCloseDisplay(d);
    return result;
}
