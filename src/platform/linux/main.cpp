// The Linux program: Qt's event loop drives the same behaviour as the Windows build.
#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <vector>

#include "platform/Platform.h"
#include "platform/linux/DesktopNotice.h"
#include "platform/linux/FileStore.h"
#include "platform/linux/Instance.h"
#include "platform/linux/LogindPower.h"
#include "platform/linux/NotificationIndicator.h"
#include "platform/linux/PulseMixer.h"
#include "platform/linux/QtDialogHost.h"
#include "platform/linux/QtMainWindow.h"
#include "platform/linux/QtTrayHost.h"
#include "shell/TrayApp.h"

namespace {

// Hands a command word to the running instance; needs no display.
int SendCommand(const hvx::CommandWord& command, int argc, char* argv[]) {
    using hvx::linux_platform::SendResult;
    QCoreApplication app(argc, argv);
    switch (hvx::linux_platform::SendCommandWord(command.word)) {
        case SendResult::Taken:
            return 0;
        case SendResult::NotRunning:
            std::fputs("hvx: HVX is not running\n", stderr);
            return 1;
        case SendResult::DialogOpen:
            std::fputs("hvx: HVX is showing a dialog; close it first\n", stderr);
            return 3;
        case SendResult::Refused:
            break;
    }
    std::fputs("hvx: the running HVX did not take the command (it runs for another user)\n",
               stderr);
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace hvx::linux_platform;
    const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
    const hvx::CommandLine line = hvx::ParseCommandLine(args);
    if (line.kind == hvx::CommandLine::Kind::Help) {
        std::fputs(hvx::UsageText("hvx").c_str(), stdout);
        return 0;
    }
    if (line.kind == hvx::CommandLine::Kind::Invalid) {
        std::fprintf(stderr, "hvx: unknown option '%.*s'\n%s", int(line.bad.size()),
                     line.bad.data(), hvx::UsageText("hvx").c_str());
        return 2;
    }
    if (line.kind == hvx::CommandLine::Kind::Send) return SendCommand(*line.command, argc, argv);

    // Native Wayland on a Wayland session (Qt would pick X11 on some desktops), hotkeys then
    // coming from the desktop's portal; X11 elsewhere, or whenever QT_QPA_PLATFORM says so.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb" : "wayland;xcb");
    MixerChoice mixer;  // connects to the sound server while Qt starts
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("hvx"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Starting at log-on is the autostart entry's job, which "Run at startup" controls; a
    // session manager must not bring the program back on its own.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager& manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
    });

    // First, before any window: a second instance must leave no trace.
    LocalServerMarker marker;

    // What the desktop lacks (a notification area, global shortcuts) is told once, together.
    DesktopNotice notice;
    QtMainWindow window([&notice](bool present) { notice.HotKeysKnown(present); });
    QtTrayHost tray(window, [&notice](bool present) { notice.IconKnown(present); });
    QtDialogHost dialogs;
    LocalClock clock;
    FileRegistryStore registry;
    AutostartRunEntry runEntry;
    LogindPower power;
    NotificationIndicator indicator;
    hvx::Platform platform{window,   tray,  dialogs, clock,    registry,
                           runEntry, mixer, power,   indicator};

    hvx::CTrayApp theApp(marker, platform);
    if (!theApp.InitInstance()) return 0;
    // A change another client makes on the sound server (reported on the GUI thread) keeps the
    // icon's tip and image current.
    mixer.SetChangeHandler([&theApp, &window] {
        if (theApp.MainWnd() && !window.Destroyed()) theApp.MainWnd()->OnMixerChange();
    });
    marker.OnCommand([&theApp, &window](const hvx::CommandWord& command,
                                        const LocalServerMarker::Answer& answer) {
        if (!theApp.MainWnd() || window.Destroyed()) return;
        hvx::CMainFrame& frame = *theApp.MainWnd();
        answer(hvx::CommandWordResult(frame, command));
        hvx::RunCommandWord(frame, command);
    });
    const int result = window.Destroyed() ? 0 : QApplication::exec();
    theApp.ExitInstance();
    return result;
}
