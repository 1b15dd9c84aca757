// The settings and autostart files, the instance socket and the clock, on the real thing.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "platform/linux/FileStore.h"
#include "platform/linux/Instance.h"
#include "settings/AppSettings.h"
#include "settings/DesktopEntry.h"

namespace hvx::linux_platform {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST(FileStore, ValuesRoundTripAMalformedOneReadsFalseAndEveryWriteReplacesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Tessaron/HVX.conf";  // the folder does not exist yet
    const char* key = "Software\\Tessaron\\HVX";
    FileRegistryStore store(path);
    uint32_t v = 77;
    EXPECT_FALSE(store.ReadDword(key, "RegMode", v));  // no file
    ASSERT_TRUE(store.WriteDword(key, "RegMode", 4294967295u));
    const ino_t first = Inode(path);
    ASSERT_TRUE(store.WriteDword(key, "RegVolumeStep", 2800));
    // A new file renamed over the old one: a reader, or a crash, sees the old text or the new.
    EXPECT_NE(Inode(path), first);
    EXPECT_EQ(QDir(dir.path() + "/Tessaron").entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("HVX.conf")});
    EXPECT_TRUE(store.ReadDword(key, "RegMode", v));
    EXPECT_EQ(v, 4294967295u);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("RegAction=five\n");
    f.close();
    v = 77;
    EXPECT_FALSE(store.ReadDword(key, "RegAction", v));
    EXPECT_EQ(v, 77u);
    // A file that is a symbolic link is written where the link leads; the link stays.
    ASSERT_TRUE(QFile::rename(path, dir.path() + "/kept.conf"));
    ASSERT_TRUE(QFile::link(dir.path() + "/kept.conf", path));
    ASSERT_TRUE(store.WriteDword(key, "RegMode", 5));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_TRUE(ReadAll(dir.path() + "/kept.conf").contains("RegMode=5"));
}

TEST(FileStore, TheConfigFolderIsTheVariablesBytesAsTheyAre) {
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME"), savedHome = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/conf\xff");  // not UTF-8
    EXPECT_EQ(ConfigHome(), "/tmp/conf\xff");
    qputenv("HOME", "/tmp/home\xff");
    qputenv("XDG_CONFIG_HOME", "relative/config");  // not absolute: not followed
    EXPECT_EQ(ConfigHome(), "/tmp/home\xff/.config");
    for (const auto& [name, saved] : {std::pair{"XDG_CONFIG_HOME", savedXdg}, {"HOME", savedHome}})
        saved.isNull() ? qunsetenv(name) : qputenv(name, saved);
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
    AppSettings back;
    LoadSettings(back, store);
    EXPECT_EQ(back, (AppSettings{.Mode = 1, .ActionDay = 3}));
}

TEST(RunEntry, WritesAndDeletesTheAutostartFileAndNothingOutsideItsFolder) {
    QTemporaryDir dir;
    AutostartRunEntry entry(dir.path() + "/autostart");
    EXPECT_EQ(entry.ModulePath(), QCoreApplication::applicationFilePath().toStdString());
    EXPECT_FALSE(entry.Delete("HVX"));  // nothing there yet
    ASSERT_TRUE(entry.Write("HVX", "/opt/my apps/hvx"));
    ASSERT_TRUE(entry.Write("HVX", "/usr/bin/hvx"));  // rewritten, not appended
    EXPECT_EQ(ReadAll(dir.path() + "/autostart/HVX.desktop").toStdString(),
              AutostartEntryText("HVX", "/usr/bin/hvx"));
    EXPECT_TRUE(entry.Delete("HVX"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/autostart/HVX.desktop"));
    EXPECT_FALSE(entry.Write("../HVX", "/usr/bin/hvx"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/HVX.desktop"));
    EXPECT_FALSE(entry.Write("HVX", "/opt/\xff/hvx"));  // not UTF-8: no entry can name it
    EXPECT_FALSE(QFile::exists(dir.path() + "/autostart/HVX.desktop"));
}

// Runs body in a child process while this one's event loop, and with it the instance socket,
// runs; returns its exit status, or -1 when it had to be killed.
int InChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    if (!QTest::qWaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 20000))
        ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// As uid, sends data to the abstract name: 0 when all was taken and "ok\n" came back, 1 when
// the connection was closed without an answer, 2 when it was closed before all was sent.
int Send(const QString& name, const std::string& data, uid_t uid = ::getuid()) {
    return InChild([&] {
        sockaddr_un address{AF_UNIX, {}};
        const QByteArray bytes = name.toUtf8();
        memcpy(address.sun_path + 1, bytes.constData(), size_t(bytes.size()));
        const auto size = socklen_t(sizeof(sa_family_t) + 1 + size_t(bytes.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::setresuid(uid, uid, uid) != 0 || ::connect(fd, (sockaddr*)&address, size) != 0)
            return 9;
        if (::send(fd, data.data(), data.size(), MSG_NOSIGNAL) != ssize_t(data.size())) return 2;
        char answer[4] = {};
        return ::read(fd, answer, 3) == 3 && std::string(answer) == "ok\n" ? 0 : 1;
    });
}

TEST(InstanceMarker, TakesOneCommandWordFromThisUserAndNothingElse) {
    const QString name = QStringLiteral("{hvx-words-%1}").arg(::getpid());
    LocalServerMarker marker(name);
    std::vector<std::string_view> words;
    marker.OnCommand([&](const CommandWord& command) { words.push_back(command.word); });
    EXPECT_EQ(Send(name, std::string(32 << 20, 'x')), 2);  // 32 MB, never held
    EXPECT_EQ(Send(name, "reboot-now\n"), 1);
    EXPECT_EQ(Send(name, "volume-up\n", 65534), ::geteuid() == 0 ? 1 : 9);  // another user
    EXPECT_EQ(Send(name, "volume-up\n"), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !words.empty(); }));
    EXPECT_EQ(words, std::vector<std::string_view>{"volume-up"});
}

TEST(LocalClock, FollowsAZoneChangedWhileRunning) {
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
        return (east - west + 1440) % 1440 / 2 == 360 ? 0 : 1;        // 719 if a minute passed
    });
    if (status == 77) GTEST_SKIP() << "no private mount namespace (root only)";
    EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace hvx::linux_platform
