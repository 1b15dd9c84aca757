// The Linux program: Qt's event loop drives the same behaviour as the Windows build.
#include <QApplication>
#include <QSessionManager>

#include "platform/Platform.h"
#include "platform/linux/FileStore.h"
#include "platform/linux/Instance.h"
#include "platform/linux/LogindPower.h"
#include "platform/linux/PulseMixer.h"
#include "platform/linux/QtDialogHost.h"
#include "platform/linux/QtMainWindow.h"
#include "platform/linux/QtTrayHost.h"
#include "shell/TrayApp.h"

int main(int argc, char* argv[]) {
    using namespace hvx::linux_platform;
    // Global hotkeys are X key grabs.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    MixerChoice mixerChoice;  // looks for the sound server while Qt starts
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

    QtMainWindow window;
    QtTrayHost tray(window);
    QtDialogHost dialogs;
    LocalClock clock;
    FileRegistryStore registry;
    AutostartRunEntry runEntry;
    const auto mixer = mixerChoice.Take();
    LogindPower power;
    hvx::Platform platform{window, tray, dialogs, clock, registry, runEntry, *mixer, power};

    hvx::CTrayApp theApp(marker, platform);
    if (!theApp.InitInstance()) return 0;
    const int result = window.Destroyed() ? 0 : QApplication::exec();
    theApp.ExitInstance();
    return result;
}
