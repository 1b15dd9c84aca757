// The instance socket against a flood, another user and garbage; the clock across a change of
// time zone.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <csignal>
#include <cstddef>

#include "platform/linux/Instance.h"

namespace hvx::linux_platform {
namespace {

// From a child process running as uid: connects to the abstract name, sends data and returns
// the answer, prefixed "cut off " when the instance closed before taking it all. The instance
// runs in this process's event loop meanwhile.
std::string Client(const QString& name, const std::string& data, uid_t uid = ::getuid()) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (uid != ::getuid() && ::setresuid(uid, uid, uid) != 0) ::_exit(1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{AF_UNIX, {}};
        const QByteArray bytes = name.toUtf8();
        memcpy(address.sun_path + 1, bytes.constData(), size_t(bytes.size()));
        const socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + bytes.size());
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) ::_exit(2);
        size_t sent = 0;
        for (ssize_t n; sent < data.size(); sent += size_t(n))
            if ((n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL)) <= 0) break;
        std::string answer = sent < data.size() ? "cut off " : "";
        char buffer[64];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            answer.append(buffer, size_t(n));
        if (::write(out[1], answer.data(), answer.size()) < 0) ::_exit(3);
        ::_exit(0);
    }
    ::close(out[1]);
    int status = 0;
    if (!QTest::qWaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 20000)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    std::string answer = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "client failed";
    char buffer[64];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, size_t(n));
    ::close(out[0]);
    return answer;
}

TEST(InstanceMarker, TakesOneCommandWordFromThisUserAndNothingElse) {
    const QString name = QStringLiteral("{hvx-words-%1}").arg(QCoreApplication::applicationPid());
    LocalServerMarker marker(name);
    std::vector<std::string_view> words;
    marker.OnCommand([&](const CommandWord& command) { words.push_back(command.word); });
    EXPECT_EQ(Client(name, std::string(32 << 20, 'x')), "cut off ");  // 32 MB, never held
    EXPECT_EQ(Client(name, "reboot-now\n"), "");
    if (::geteuid() == 0) {
        EXPECT_EQ(Client(name, "volume-up\n", 65534), "");  // nobody
    }
    EXPECT_EQ(Client(name, "volume-up\n"), "ok\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !words.empty(); }));
    EXPECT_EQ(words, std::vector<std::string_view>{"volume-up"});
    EXPECT_EQ(SendCommandWord("mute", name + "-none"), SendResult::NotRunning);
}

TEST(LocalClock, FollowsAZoneChangedWhileRunning) {
    if (::geteuid() != 0) GTEST_SKIP() << "a private mount namespace needs root";
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A mount namespace of its own: the zone changes for this process alone.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(77);
        ::unsetenv("TZ");
        LocalClock clock;
        const auto minutesIn = [&](const char* zone) {
            if (::mount(zone, "/etc/localtime", nullptr, MS_BIND, nullptr) != 0) ::_exit(77);
            const LocalTime now = clock.Now();
            return now.hour * 60 + now.minute;
        };
        const int east = minutesIn("/usr/share/zoneinfo/Etc/GMT-5");  // UTC+5
        const int west = minutesIn("/usr/share/zoneinfo/Etc/GMT+7");  // UTC-7
        const int apart = (east - west + 1440) % 1440;                // 719 if a minute passed
        ::_exit(apart == 720 || apart == 719 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no mount namespace";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace hvx::linux_platform
