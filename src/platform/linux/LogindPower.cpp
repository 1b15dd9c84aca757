#include "platform/linux/LogindPower.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

namespace hvx::linux_platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kUser = QStringLiteral("org.freedesktop.login1.User");
// Long enough for logind to consult its policy; nothing waits for it meanwhile.
constexpr int kTimeoutMs = 25000;

// The EWX bits.
constexpr uint32_t kShutdown = 0x01;
constexpr uint32_t kReboot = 0x02;
constexpr uint32_t kPowerOff = 0x08;

// The first argument of a reply, unwrapped from the variant of a property read.
QVariant FirstArgument(const QDBusMessage& reply) {
    if (reply.arguments().isEmpty()) return {};
    const QVariant first = reply.arguments().constFirst();
    return first.canConvert<QDBusVariant>() ? first.value<QDBusVariant>().variant() : first;
}

// A logind (id, object) or (uid, object) pair, as properties hold them.
template <typename First>
First PairFirst(const QVariant& value) {
    First first{};
    if (!value.canConvert<QDBusArgument>()) return first;
    const QDBusArgument argument = value.value<QDBusArgument>();
    QDBusObjectPath path;
    argument.beginStructure();
    argument >> first >> path;
    argument.endStructure();
    return first;
}

}  // namespace

bool LogindPower::Send(const QString& path, const QString& interface, const QString& method,
                       const QVariantList& args, Reply onReply, std::function<void()> onError) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(args);
    if (!m_bus.isConnected()) return false;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kTimeoutMs), &m_replies);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_replies,
                     [watcher, onReply = std::move(onReply), onError = std::move(onError)] {
                         watcher->deleteLater();
                         if (!watcher->isError()) {
                             if (onReply) onReply(watcher->reply());
                         } else if (onError) {
                             onError();
                         }
                     });
    return true;
}

bool LogindPower::ExitWindows(uint32_t flags) {
    // Halting is not offered separately: a shutdown always powers off.
    if (flags & (kShutdown | kPowerOff)) return CallManager(QStringLiteral("PowerOff"), {false});
    if (flags & kReboot) return CallManager(QStringLiteral("Reboot"), {false});
    LogOff();
    return true;
}

bool LogindPower::SetSystemPowerState(bool suspend, bool /*force*/) {
    return CallManager(suspend ? QStringLiteral("Suspend") : QStringLiteral("Hibernate"), {false});
}

void LogindPower::LogOff() {
    // The session this process belongs to, if it is this user's; else (as for a program the
    // desktop starts as a systemd user service, which belongs to no session) the user's display
    // session. XDG_SESSION_ID is not asked: a terminal multiplexer or a service may carry one
    // from an earlier log-in, and ending that would end someone else's work.
    Send(
        kManagerPath, kManager, QStringLiteral("GetSessionByPID"), {uint(::getpid())},
        [this](const QDBusMessage& reply) {
            const QString path = FirstArgument(reply).value<QDBusObjectPath>().path();
            if (path.isEmpty()) return TerminateDisplaySession();
            Send(path, kProperties, QStringLiteral("GetAll"), {kSession},
                 [this](const QDBusMessage& properties) {
                     const QVariantMap map = qdbus_cast<QVariantMap>(FirstArgument(properties));
                     const QString id = map.value(QStringLiteral("Id")).toString();
                     if (id.isEmpty() ||
                         PairFirst<uint>(map.value(QStringLiteral("User"))) != ::getuid())
                         return TerminateDisplaySession();
                     CallManager(QStringLiteral("TerminateSession"), {id});
                 });
        },
        [this] { TerminateDisplaySession(); });
}

void LogindPower::TerminateDisplaySession() {
    Send(kManagerPath, kManager, QStringLiteral("GetUser"), {uint(::getuid())},
         [this](const QDBusMessage& reply) {
             const QString user = FirstArgument(reply).value<QDBusObjectPath>().path();
             if (user.isEmpty()) return;
             Send(user, kProperties, QStringLiteral("Get"), {kUser, QStringLiteral("Display")},
                  [this](const QDBusMessage& display) {
                      const QString id = PairFirst<QString>(FirstArgument(display));
                      if (!id.isEmpty()) CallManager(QStringLiteral("TerminateSession"), {id});
                  });
         });
}

}  // namespace hvx::linux_platform
