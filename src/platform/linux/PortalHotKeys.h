// Global hotkeys through the org.freedesktop.portal.GlobalShortcuts portal, for Wayland
// sessions, where a program cannot grab keys itself. The desktop binds each shortcut (offering
// our preferred trigger, which the user may change or leave unassigned) and tells us when one
// is pressed. Every call is asynchronous: a slow or absent portal never stalls the program.
#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>
#include <set>

#include "platform/linux/HotKeyBackend.h"

namespace hvx::linux_platform {

class PortalHotKeys : public QObject, public HotKeyBackend {
    Q_OBJECT
  public:
    explicit PortalHotKeys(std::function<void(int)> onHotKey);
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
    void BindMissing();
    void Bind();
    // Calls a portal method that answers through a Request object; onDone gets its Response.
    void CallWithRequest(const QString& method, QVariantList args, const QString& token,
                         std::function<void(uint, const QVariantMap&)> onDone);
    void Fail(const QString& why);

    std::function<void(int)> m_onHotKey;
    std::set<int> m_wanted;
    bool m_started = false;
    QString m_requestPath;
    std::function<void(uint, const QVariantMap&)> m_onResponse;
    QString m_session;
};

}  // namespace hvx::linux_platform
