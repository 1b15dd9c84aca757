#include "platform/linux/Instance.h"

#include <ctime>

#include "resources/Resource.h"

namespace hvx::linux_platform {

QString LocalServerMarker::DefaultName() {
    QString name = QString::fromLatin1(INSTANCE_MARKER_NAME);
    name.remove(QStringLiteral("Global\\"));
    return name;
}

LocalServerMarker::LocalServerMarker(const QString& name) {
    m_server.setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (m_server.listen(name))
        m_state = State::Created;
    else if (m_server.serverError() == QAbstractSocket::AddressInUseError)
        m_state = State::AlreadyExists;
    else
        m_state = State::Failed;
}

LocalTime LocalClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min, local.tm_wday};
}

}  // namespace hvx::linux_platform
