#include "platform/linux/Instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <string>

#include "resources/Resource.h"

namespace hvx::linux_platform {

namespace {

// The longest word with its line break, and how long a connection may stay silent: anything
// longer or slower is not one of ours.
constexpr qsizetype kMaxMessage = 64;
constexpr int kIdleMs = 2000;
constexpr int kReplyMs = 5000;
// QLocalServer's backlog, kept so that a flood of connections meets the same limit.
constexpr int kBacklog = 50;
// The answers to a word: taken, or refused while a dialog shows. Any other answer, or none,
// is a refusal without a reason, which is all that earlier versions knew.
constexpr const char* kTaken = "ok\n";
constexpr const char* kDialogOpen = "dialog\n";

// The name in the abstract namespace: a zero byte, then the name, no terminator.
bool AddressOf(const QString& name, sockaddr_un& address, socklen_t& length) {
    const QByteArray encoded = QFile::encodeName(name);
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof address.sun_path) return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, encoded.constData(), size_t(encoded.size()));
    length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(encoded.size()));
    return true;
}

bool FromThisUser(int descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

// One accepted connection and what it has sent so far.
class Connection : public QObject {
  public:
    Connection(int descriptor, QObject* parent)
        : QObject(parent), fd(descriptor), notifier(descriptor, QSocketNotifier::Read, this) {}
    ~Connection() override {
        if (fd < 0) return;
        notifier.setEnabled(false);
        ::close(fd);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    // At once, unread bytes and all: a sender still writing sees the connection cut.
    void Close() {
        if (fd < 0) return;
        notifier.setEnabled(false);
        ::close(fd);
        fd = -1;
        deleteLater();
    }

    int fd;
    QSocketNotifier notifier;
    QByteArray received;
};

}  // namespace

QString LocalServerMarker::DefaultName() {
    QString name = QString::fromLatin1(INSTANCE_MARKER_NAME);
    name.remove(QStringLiteral("Global\\"));
    return name;
}

LocalServerMarker::LocalServerMarker(const QString& name) {
    sockaddr_un address;
    socklen_t length = 0;
    if (!AddressOf(name, address, length)) return;
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0) return;
    // The bind is the claim: the kernel hands each name out once per network namespace.
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        m_state = errno == EADDRINUSE ? State::AlreadyExists : State::Failed;
        return;
    }
    if (::listen(m_listener, kBacklog) != 0) return;
    m_state = State::Created;
    m_listening = new QSocketNotifier(m_listener, QSocketNotifier::Read, &m_connections);
    QObject::connect(m_listening, &QSocketNotifier::activated, &m_connections,
                     [this] { TakeConnections(); });
}

LocalServerMarker::~LocalServerMarker() {
    if (m_listening) m_listening->setEnabled(false);
    if (m_listener >= 0) ::close(m_listener);
}

void LocalServerMarker::TakeConnections() {
    // Every waiting connection at once: one left queued would hold whatever its sender wrote.
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno == EMFILE || errno == ENFILE) {
                // Out of descriptors: look again shortly rather than spin on the waiting one.
                m_listening->setEnabled(false);
                QTimer::singleShot(100, m_listening, [n = m_listening] { n->setEnabled(true); });
            }
            return;
        }
        if (!FromThisUser(fd)) {
            ::close(fd);
            continue;
        }
        auto* connection = new Connection(fd, &m_connections);
        QTimer::singleShot(kIdleMs, connection, [connection] { connection->Close(); });
        const auto serve = [this, connection] {
            char chunk[kMaxMessage];
            const ssize_t got =
                ::recv(connection->fd, chunk, size_t(kMaxMessage - connection->received.size()), 0);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
            if (got <= 0) {  // gone, or broken, before a whole line
                connection->Close();
                return;
            }
            connection->received.append(chunk, got);
            const qsizetype end = connection->received.indexOf('\n');
            if (end < 0) {
                // A full buffer without a line break is no command word.
                if (connection->received.size() >= kMaxMessage) connection->Close();
                return;
            }
            const QByteArray line = connection->received.left(end).trimmed();
            const CommandWord* command =
                m_onCommand
                    ? FindCommandWord(std::string_view(line.constData(), size_t(line.size())))
                    : nullptr;
            if (command == nullptr) return connection->Close();
            // Answered and run from the event loop, not inside this notifier's signal: a
            // command may open a dialog and wait in it. Whether the word is taken is known only
            // then, since a word queued before it may open a dialog.
            connection->notifier.setEnabled(false);
            QTimer::singleShot(0, &m_connections, [this, command, to = QPointer(connection)] {
                m_onCommand(*command, [to](WordResult result) {
                    if (!to || to->fd < 0) return;  // gone, or cut off by its idle time
                    // A short line always fits a fresh connection's buffer.
                    const char* line = result == WordResult::Taken ? kTaken : kDialogOpen;
                    ::send(to->fd, line, std::strlen(line), MSG_NOSIGNAL | MSG_DONTWAIT);
                    to->Close();
                });
                if (to) to->Close();
            });
        };
        QObject::connect(&connection->notifier, &QSocketNotifier::activated, connection, serve);
    }
}

SendResult SendCommandWord(std::string_view word, const QString& name) {
    sockaddr_un address;
    socklen_t length = 0;
    if (!AddressOf(name, address, length)) return SendResult::NotRunning;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return SendResult::NotRunning;
    // A full backlog makes the connection and the sending wait, but never longer than this.
    const timeval limit{kReplyMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
        ::close(fd);
        return SendResult::NotRunning;
    }
    const std::string line = std::string(word) + '\n';
    char reply[kMaxMessage];
    size_t got = 0;
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size())) {
        pollfd readable{fd, POLLIN, 0};
        while (got < sizeof reply && std::memchr(reply, '\n', got) == nullptr &&
               ::poll(&readable, 1, kReplyMs) > 0) {
            const ssize_t n = ::recv(fd, reply + got, sizeof reply - got, MSG_DONTWAIT);
            if (n <= 0) break;
            got += size_t(n);
        }
    }
    ::close(fd);
    const std::string_view answer(reply, got);
    if (answer == kTaken) return SendResult::Taken;
    return answer == kDialogOpen ? SendResult::DialogOpen : SendResult::Refused;
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
