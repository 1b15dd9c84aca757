// Global hotkeys through the org.freedesktop.portal.GlobalShortcuts portal, for Wayland
// sessions, where a program cannot grab keys itself. The desktop binds each shortcut (offering
// our preferred trigger, which the user may change or leave unassigned) and tells us when one
// is pressed. Every call is asynchronous: a slow or absent portal never stalls the program. A
// portal that restarts or is replaced forgets our session: a new one is made when it is back.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <functional>
#include <set>

#include "platform/linux/HotKeyBackend.h"

namespace hvx::linux_platform {

class PortalHotKeys : public QObject, public HotKeyBackend {
    Q_OBJECT
  public:
    // onKnown is told once whether the portal gives global shortcuts at all.
    PortalHotKeys(std::function<void(int)> onHotKey, std::function<void(bool)> onKnown);
    ~PortalHotKeys() override;

    // Register only notes the hotkey: the whole set is bound in one session once the
    // registrations of start-up are done. A hotkey registered later is not offered to the
    // desktop (a session binds once), but an unregistered one goes quiet at once.
    bool Register(int id, uint32_t modifiers, uint32_t key) override;
    bool Unregister(int id) override;

  private slots:
    void OnResponse(const QDBusMessage& message);
    void OnActivated(const QDBusMessage& message);

  private:
    void Start();
    void Stop();
    void OnPortalOwner(const QString& oldOwner, const QString& newOwner);
    void BindMissing();
    void Bind();
    // Calls a portal method that answers through a Request object; onDone gets its Response.
    void CallWithRequest(const QString& method, QVariantList args, const QString& token,
                         std::function<void(uint, const QVariantMap&)> onDone);
    void Known(bool present);
    void Fail(const char* what);

    std::function<void(int)> m_onHotKey;
    std::function<void(bool)> m_onKnown;
    std::set<int> m_wanted;
    bool m_started = false;
    QDBusServiceWatcher m_portalWatcher;
    // Each session lives on a connection of its own, made for it: a session asked for again on
    // the same connection (same token, same sender) comes back under the old path, which a
    // desktop (KDE Plasma 5.27) then switches off.
    QDBusConnection m_bus{QString()};
    int m_connections = 0;
    int m_generation = 0;     // a session's answers count only while it is the current one
    bool m_creating = false;  // CreateSession asked, not answered yet
    QString m_requestPath;
    std::function<void(uint, const QVariantMap&)> m_onResponse;
    QString m_session;
};

}  // namespace hvx::linux_platform
