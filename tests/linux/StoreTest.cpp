// The settings file, the autostart entry, the single-instance marker and the clock, on real
// files, sockets and mounts.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <memory>

#include "platform/linux/FileStore.h"
#include "platform/linux/Instance.h"
#include "settings/AppSettings.h"
#include "settings/DesktopEntry.h"

namespace hvx::linux_platform {
namespace {

constexpr const char* kKey = "Software\\Tessaron\\HVX";

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FileStore, ValuesRoundTripAndAMissingOrMalformedOneReadsFalse) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Tessaron/HVX.conf";  // the folder does not exist yet
    FileRegistryStore store(path);
    uint32_t v = 77;
    EXPECT_FALSE(store.ReadDword(kKey, "RegMode", v));  // no file
    ASSERT_TRUE(store.WriteDword(kKey, "RegMode", 4294967295u));
    ASSERT_TRUE(store.WriteDword(kKey, "RegVolumeStep", 2800));
    EXPECT_TRUE(store.ReadDword(kKey, "RegMode", v));
    EXPECT_EQ(v, 4294967295u);
    EXPECT_FALSE(store.ReadDword(kKey, "RegAction", v));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("RegAction=five\n");
    f.close();
    v = 77;
    EXPECT_FALSE(store.ReadDword(kKey, "RegAction", v));
    EXPECT_EQ(v, 77u);
    EXPECT_TRUE(store.ReadDword(kKey, "RegVolumeStep", v));
    EXPECT_EQ(v, 2800u);
}

TEST(FileStore, AWriteThatCannotBeStoredFailsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    // The settings "file" is a folder: nothing can replace it, and nothing is lost.
    const QString path = dir.path() + "/HVX.conf";
    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    FileRegistryStore store(path);
    EXPECT_FALSE(store.WriteDword(kKey, "RegMode", 1));
    EXPECT_TRUE(QDir(path + "/inside").exists());
    // A path whose folder cannot be made fails too.
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(FileRegistryStore(dir.path() + "/file/sub/HVX.conf").WriteDword(kKey, "A", 1));
}

TEST(FileStore, ConfigHomeIsTheVariablesBytesAsTheyAreAndXdgOnlyWhenAbsolute) {
    QTemporaryDir dir;
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME"), savedHome = qgetenv("HOME");
    const QByteArray folder = QFile::encodeName(dir.path()) + "/conf\xff";  // not UTF-8
    qputenv("XDG_CONFIG_HOME", folder);
    ASSERT_TRUE(FileRegistryStore().WriteDword(kKey, "RegMode", 1));
    EXPECT_EQ(::access((folder + "/Tessaron/HVX.conf").constData(), F_OK), 0);
    qputenv("HOME", folder);
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(ConfigHome(), (folder + "/.config").toStdString());
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigHome(), (folder + "/.config").toStdString());
    for (const auto& [name, saved] : {std::pair{"XDG_CONFIG_HOME", savedXdg}, {"HOME", savedHome}})
        saved.isNull() ? qunsetenv(name) : qputenv(name, saved);
    std::filesystem::remove_all(folder.constData());  // a name Qt cannot remove
}

TEST(FileStore, ASaveReplacesTheFileOnceWithTheWholeRecord) {
    QTemporaryDir dir;
    FileRegistryStore store(dir.path() + "/HVX.conf");
    AutostartRunEntry entry(dir.path() + "/autostart");
    const int watch = inotify_init1(IN_NONBLOCK);
    // A temporary made and renamed over the file (each after its own sync): one event of each.
    const auto mask = IN_CREATE | IN_MOVED_TO;
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), mask), 0);
    SaveSettings(AppSettings{.Mode = 1, .ActionDay = 3}, store, entry);
    alignas(inotify_event) char events[4096];
    EXPECT_EQ(::read(watch, events, sizeof events), ssize_t(2 * (sizeof(inotify_event) + 16)));
    ::close(watch);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"HVX.conf"});
    AppSettings back;
    LoadSettings(back, store);
    EXPECT_EQ(back, (AppSettings{.Mode = 1, .ActionDay = 3}));
}

TEST(RunEntry, WritesAndDeletesTheAutostartFile) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/autostart";
    AutostartRunEntry entry(folder);
    EXPECT_EQ(entry.ModulePath(), QCoreApplication::applicationFilePath().toStdString());
    EXPECT_FALSE(entry.Delete("HVX"));  // nothing there yet
    ASSERT_TRUE(entry.Write("HVX", "/opt/my apps/hvx"));
    EXPECT_EQ(ReadAll(folder + "/HVX.desktop").toStdString(),
              AutostartEntryText("HVX", "/opt/my apps/hvx"));
    ASSERT_TRUE(entry.Write("HVX", "/usr/bin/hvx"));  // rewritten, not appended
    EXPECT_EQ(ReadAll(folder + "/HVX.desktop").toStdString(),
              AutostartEntryText("HVX", "/usr/bin/hvx"));
    EXPECT_TRUE(entry.Delete("HVX"));
    EXPECT_FALSE(QFile::exists(folder + "/HVX.desktop"));
    EXPECT_FALSE(entry.Write("../HVX", "/usr/bin/hvx"));  // never outside the folder
    EXPECT_FALSE(QFile::exists(dir.path() + "/HVX.desktop"));
    EXPECT_FALSE(entry.Write("HVX", "/opt/\xff/hvx"));  // not UTF-8: no entry can name it
    EXPECT_FALSE(QFile::exists(folder + "/HVX.desktop"));
}

TEST(InstanceMarker, TheSecondMarkerSeesTheFirstUntilItGoes) {
    const QString name = QStringLiteral("{hvx-test-%1}").arg(QCoreApplication::applicationPid());
    auto first = std::make_unique<LocalServerMarker>(name);
    EXPECT_EQ(first->CreationState(), IInstanceMarker::State::Created);
    EXPECT_EQ(LocalServerMarker(name).CreationState(), IInstanceMarker::State::AlreadyExists);
    first.reset();  // as when the first instance ends, however it ends
    EXPECT_EQ(LocalServerMarker(name).CreationState(), IInstanceMarker::State::Created);
    EXPECT_EQ(LocalServerMarker::DefaultName(),
              QStringLiteral("{6F1C2B7E-3A94-4D0B-9E58-21C7A4D3B8F6}"));
}

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
