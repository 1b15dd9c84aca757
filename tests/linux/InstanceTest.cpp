// The single-instance socket against a flood, another user and garbage; the clock across a
// change of time zone.
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

#include "platform/linux/Instance.h"

namespace hvx::linux_platform {
namespace {

// Runs body in a child process and returns its exit status (-1 if it had to be killed); this
// process's event loop runs meanwhile, and with it the instance socket.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    if (!QTest::qWaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 20000)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// As uid, sends data to the abstract name: 0 when all was taken and "ok\n" came back, 1 when
// the connection was closed without an answer, 2 when it was closed before all was sent.
int Send(const QString& name, const std::string& data, uid_t uid = ::getuid()) {
    return InChild([&] {
        if (uid != ::getuid() && ::setresuid(uid, uid, uid) != 0) return 9;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{AF_UNIX, {}};
        const QByteArray bytes = name.toUtf8();
        memcpy(address.sun_path + 1, bytes.constData(), size_t(bytes.size()));
        const auto size = socklen_t(sizeof(sa_family_t) + 1 + size_t(bytes.size()));
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) return 9;
        for (size_t sent = 0, n = 0; sent < data.size(); sent += n)
            if (ssize_t(n = ::send(fd, &data[sent], data.size() - sent, MSG_NOSIGNAL)) <= 0)
                return 2;
        char answer[4] = {};
        return ::read(fd, answer, sizeof answer) == 3 && std::string(answer) == "ok\n" ? 0 : 1;
    });
}

TEST(InstanceMarker, TakesOneCommandWordFromThisUserAndNothingElse) {
    const QString name = QStringLiteral("{hvx-words-%1}").arg(QCoreApplication::applicationPid());
    LocalServerMarker marker(name);
    std::vector<std::string_view> words;
    marker.OnCommand([&](const CommandWord& command) { words.push_back(command.word); });
    EXPECT_EQ(Send(name, std::string(32 << 20, 'x')), 2);  // 32 MB, never held
    EXPECT_EQ(Send(name, "reboot-now\n"), 1);
    if (::geteuid() == 0) {
        EXPECT_EQ(Send(name, "volume-up\n", 65534), 1);  // another user
    }
    EXPECT_EQ(Send(name, "volume-up\n"), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !words.empty(); }));
    EXPECT_EQ(words, std::vector<std::string_view>{"volume-up"});
    EXPECT_EQ(SendCommandWord("mute", name + "-none"), SendResult::NotRunning);
}

TEST(LocalClock, FollowsAZoneChangedWhileRunning) {
    if (::geteuid() != 0) GTEST_SKIP() << "a private mount namespace needs root";
    const int status = InChild([] {
        // A mount namespace of its own: the zone changes for this process alone.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return 77;
        ::unsetenv("TZ");
        const auto minutesIn = [](const char* zone) {
            if (::mount(zone, "/etc/localtime", nullptr, MS_BIND, nullptr) != 0) ::_exit(77);
            const LocalTime now = LocalClock().Now();
            return now.hour * 60 + now.minute;
        };
        const int east = minutesIn("/usr/share/zoneinfo/Etc/GMT-5");  // UTC+5
        const int west = minutesIn("/usr/share/zoneinfo/Etc/GMT+7");  // UTC-7
        const int apart = (east - west + 1440) % 1440;                // 719 if a minute passed
        return apart == 720 || apart == 719 ? 0 : 1;
    });
    if (status == 77) GTEST_SKIP() << "no mount namespace";
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace hvx::linux_platform
