#include "platform/linux/HotKeyBackend.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QGuiApplication>

#include "platform/linux/PortalHotKeys.h"
#include "platform/linux/XcbHotKeys.h"

namespace hvx::linux_platform {

namespace {

// Neither X11 nor a portal (a wlroots compositor, say): the hotkeys stay inert; users bind
// keys to the command line in their compositor's configuration instead.
class NoHotKeys : public HotKeyBackend {
  public:
    bool Register(int, uint32_t, uint32_t) override { return false; }
    bool Unregister(int) override { return false; }
};

bool PortalPresent() {
    // Asking the bus is quick; the portal itself may still lack global shortcuts, which its
    // first answer tells.
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus == nullptr) return false;
    const QString name = QStringLiteral("org.freedesktop.portal.Desktop");
    if (bus->isServiceRegistered(name)) return true;
    const QDBusReply<QStringList> activatable = bus->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(name);
}

}  // namespace

std::unique_ptr<HotKeyBackend> MakeHotKeyBackend(std::function<void(int)> onHotKey,
                                                 std::function<void(bool)> onKnown) {
    // X11 (XWayland included, when asked for with QT_QPA_PLATFORM=xcb): key grabs, which
    // only see X11 windows' keys under Wayland. Anything else: the desktop's portal.
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        onKnown(true);
        return std::make_unique<XcbHotKeys>(std::move(onHotKey));
    }
    if (PortalPresent())
        return std::make_unique<PortalHotKeys>(std::move(onHotKey), std::move(onKnown));
    onKnown(false);
    return std::make_unique<NoHotKeys>();
}

}  // namespace hvx::linux_platform
