#include "platform/linux/NotificationIndicator.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <algorithm>
#include <utility>

namespace hvx::linux_platform {

void NotificationIndicator::Show(int percent, bool muted) {
    // Until the last one's id is known a new one could not replace it: the latest press waits.
    if (m_waiting) {
        m_next = Shown{percent, muted};
        return;
    }
    Send({percent, muted});
}

void NotificationIndicator::Send(Shown shown) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QString summary =
        QStringLiteral("Volume %1%%2").arg(shown.percent).arg(shown.muted ? ", muted" : "");
    const QVariantMap hints{
        {QStringLiteral("value"), std::clamp(shown.percent, 0, 100)},
        {QStringLiteral("transient"), true},
        // GNOME's and Ubuntu's notification servers replace a notice of the same tag in place.
        {QStringLiteral("x-canonical-private-synchronous"), QStringLiteral("hvx-volume")},
    };
    notify << QStringLiteral("hvx") << m_id << QStringLiteral("hvx") << summary << QString()
           << QStringList() << hints << int(kShowMs);
    // Answered later on the event loop; a press never waits for the notification service.
    m_waiting = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), &m_context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_context,
                     [this](QDBusPendingCallWatcher* call) {
                         const QDBusPendingReply<uint32_t> reply = *call;
                         call->deleteLater();
                         m_waiting = false;
                         if (reply.isValid()) m_id = reply.value();
                         if (m_next) Send(*std::exchange(m_next, std::nullopt));
                     });
}

}  // namespace hvx::linux_platform
