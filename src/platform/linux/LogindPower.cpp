#include "platform/linux/LogindPower.h"

#include <unistd.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace hvx::linux_platform {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
// Long enough for logind to consult its policy, short enough not to hang the program.
constexpr int kTimeoutMs = 5000;

// The EWX bits.
constexpr uint32_t kShutdown = 0x01;
constexpr uint32_t kReboot = 0x02;
constexpr uint32_t kPowerOff = 0x08;

QDBusMessage Call(QDBusMessage message) {
    return QDBusConnection::systemBus().call(message, QDBus::Block, kTimeoutMs);
}

}  // namespace

bool LogindPower::CallManager(const QString& method, const QVariantList& args) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kManagerPath, kManager, method);
    message.setArguments(args);
    return Call(message).type() == QDBusMessage::ReplyMessage;
}

bool LogindPower::ExitWindows(uint32_t flags) {
    // Halting is not offered separately: a shutdown always powers off.
    if (flags & (kShutdown | kPowerOff)) return CallManager(QStringLiteral("PowerOff"), {false});
    if (flags & kReboot) return CallManager(QStringLiteral("Reboot"), {false});
    return LogOff();
}

bool LogindPower::SetSystemPowerState(bool suspend, bool /*force*/) {
    return CallManager(suspend ? QStringLiteral("Suspend") : QStringLiteral("Hibernate"), {false});
}

bool LogindPower::LogOff() {
    // Our own session: the one the desktop told us about, else the one this process runs in.
    const QString sessionId = qEnvironmentVariable("XDG_SESSION_ID");
    if (!sessionId.isEmpty()) return CallManager(QStringLiteral("TerminateSession"), {sessionId});
    QDBusMessage lookup = QDBusMessage::createMethodCall(kService, kManagerPath, kManager,
                                                         QStringLiteral("GetSessionByPID"));
    lookup.setArguments({uint(getpid())});
    const QDBusMessage reply = Call(lookup);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QString path = reply.arguments().constFirst().value<QDBusObjectPath>().path();
    if (path.isEmpty()) return false;
    return Call(QDBusMessage::createMethodCall(kService, path, kSession,
                                               QStringLiteral("Terminate")))
               .type() == QDBusMessage::ReplyMessage;
}

}  // namespace hvx::linux_platform
