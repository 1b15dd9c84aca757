// HVX.exe: the single-instance marker, the platform services, the application object and the
// message loop.

// The portable headers first: windows.h defines IDOK and friends as macros.
#include "resources/Resource.h"
#include "shell/TrayApp.h"

#include <windows.h>

#include "platform/win32/CoreAudioMixer.h"
#include "platform/win32/EndpointWatcher.h"
#include "platform/win32/Win32DialogHost.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32Services.h"
#include "platform/win32/Win32TrayHost.h"
#include "platform/win32/Win32VolumeIndicator.h"

namespace {

// Created during static initialisation, before the application object exists; the handle lives
// until the process ends.
hvx::win32::Win32InstanceMarker g_singleInstanceMutex(hvx::INSTANCE_MARKER_NAME);

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    using namespace hvx::win32;
    Win32MainWindow window;
    Win32TrayHost tray(window);
    Win32DialogHost dialogs;
    Win32Clock clock;
    Win32Registry registry;
    Win32RunEntry runEntry;
    CoreAudioMixer mixer;
    Win32Power power;
    Win32VolumeIndicator indicator;
    hvx::Platform platform{window,   tray,  dialogs, clock,    registry,
                           runEntry, mixer, power,   indicator};

    hvx::CTrayApp app(g_singleInstanceMutex, platform);
    // Another instance runs: leave without a trace.
    if (!app.InitInstance()) return 0;
    // Changes made by any program reach the main window from here on.
    EndpointWatcher watcher;
    watcher.Start(window.Hwnd());
    window.OnMixerLineChange([&watcher] { watcher.Follow(); });

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    watcher.Stop();
    app.ExitInstance();
    return static_cast<int>(message.wParam);
}
