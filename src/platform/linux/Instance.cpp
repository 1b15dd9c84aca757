#include "platform/linux/Instance.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QTimer>
#include <ctime>

#include "resources/Resource.h"

namespace hvx::linux_platform {

namespace {

// The longest word with its line break, and how long a connection may stay silent: anything
// longer or slower is not one of ours.
constexpr qint64 kMaxMessage = 64;
constexpr int kIdleMs = 2000;
constexpr int kReplyMs = 5000;

bool FromThisUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

}  // namespace

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
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server,
                     [this] { TakeConnections(); });
}

void LocalServerMarker::TakeConnections() {
    // Every waiting connection at once: one left queued would hold whatever its sender wrote.
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!FromThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(kMaxMessage);
        QTimer::singleShot(kIdleMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        const auto serve = [this, socket] {
            if (!socket->canReadLine()) {
                // A full buffer without a line break is no command word.
                if (socket->bytesAvailable() >= kMaxMessage) socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(kMaxMessage).trimmed();
            const CommandWord* command =
                m_onCommand
                    ? FindCommandWord(std::string_view(line.constData(), size_t(line.size())))
                    : nullptr;
            if (command == nullptr) {
                socket->abort();
                return;
            }
            // The answer goes out now: the command may keep the event loop busy for a while.
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            // Run from the event loop, not inside this socket's signal: a command may open a
            // dialog and wait in it.
            QTimer::singleShot(0, &m_server, [this, command] { m_onCommand(*command); });
        };
        QObject::connect(socket, &QLocalSocket::readyRead, socket, serve);
        if (socket->bytesAvailable() > 0) serve();
    }
}

SendResult SendCommandWord(std::string_view word, const QString& name) {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(name);
    if (!socket.waitForConnected(kReplyMs)) return SendResult::NotRunning;
    socket.write(QByteArray(word.data(), qsizetype(word.size())) + '\n');
    socket.flush();
    while (!socket.canReadLine() && socket.waitForReadyRead(kReplyMs)) {
    }
    return socket.readLine(kMaxMessage) == "ok\n" ? SendResult::Taken : SendResult::Refused;
}

LocalTime LocalClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    // localtime_r keeps the zone it read first; tzset looks again (the zone file is only read
    // again when it changed), so a new zone counts from the next minute on, as on Windows.
    tzset();
    localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min, local.tm_wday};
}

}  // namespace hvx::linux_platform
