// Power actions through systemd-logind on the system bus, none of them interactive: logind
// and its policy decide, and a refusal is simply a failed call. No call waits for logind: a
// stalled logind must not hold up hotkeys, the mute double click or the minute tick.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <functional>

#include "platform/Power.h"

namespace hvx::linux_platform {

class LogindPower : public IPower {
  public:
    explicit LogindPower(QDBusConnection bus = QDBusConnection::systemBus()) : m_bus(bus) {}
    // There is no privilege to enable: logind asks its policy on each call.
    bool EnableShutdownPrivilege() override { return true; }
    // The Windows EWX flags: power-off or shutdown, reboot, or else log off. True when the
    // call was sent; its answer comes later and a refusal changes nothing.
    bool ExitWindows(uint32_t flags) override;
    bool SetSystemPowerState(bool suspend, bool force) override;

  private:
    using Reply = std::function<void(const QDBusMessage&)>;
    // Sends the call; onReply runs later for a successful answer, onError for an error or none.
    bool Send(const QString& path, const QString& interface, const QString& method,
              const QVariantList& args, Reply onReply = {}, std::function<void()> onError = {});
    bool CallManager(const QString& method, const QVariantList& args) {
        return Send(kManagerPath, kManager, method, args);
    }
    void LogOff();
    void TerminateDisplaySession();

    static inline const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
    static inline const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

    QDBusConnection m_bus;
    QObject m_replies;  // context of the pending answers: they die with this object
};

}  // namespace hvx::linux_platform
