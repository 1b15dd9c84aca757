// The settings and autostart files and the clock, on the real thing.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/linux/FileStore.h"
#include "platform/linux/Instance.h"
#include "settings/AppSettings.h"

namespace hvx::linux_platform {
namespace {

TEST(FileStore, ABomFileKeepsItsValuesAndASaveReplacesTheFileOnceWithTheWholeRecord) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/Tessaron";
    FileRegistryStore store(folder + "/HVX.conf");
    AutostartRunEntry entry(dir.path() + "/autostart");
    QFile f(folder + "/HVX.conf");
    ASSERT_TRUE(QDir().mkpath(folder) && f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBF[Software\\Tessaron\\HVX]\nRegMode=1\n");
    f.close();
    AppSettings back;
    LoadSettings(back, store);
    EXPECT_EQ(back, AppSettings{.Mode = 1});
    // A new file, synced and renamed over the old one: one event of each, nothing left beside.
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(folder), IN_CREATE | IN_MOVED_TO), 0);
    SaveSettings(AppSettings{.Mode = 1, .ActionDay = 3}, store, entry);
    alignas(inotify_event) char events[4096];
    EXPECT_EQ(::read(watch, events, sizeof events), ssize_t(2 * (sizeof(inotify_event) + 16)));
    ::close(watch);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"HVX.conf"});
    LoadSettings(back, store);  // all of it, in one file
    EXPECT_EQ(back, (AppSettings{.Mode = 1, .ActionDay = 3}));
    // A file that is a symbolic link is written where the link leads; the link stays.
    const QString kept = dir.path() + "/kept.conf";
    ASSERT_TRUE(QFile::rename(f.fileName(), kept) && QFile::link(kept, f.fileName()));
    ASSERT_TRUE(store.WriteDword("Software\\Tessaron\\HVX", "RegMode", 5));
    uint32_t v = 0;
    EXPECT_TRUE(QFileInfo(f.fileName()).isSymLink());
    EXPECT_TRUE(FileRegistryStore(kept).ReadDword("Software\\Tessaron\\HVX", "RegMode", v) &&
                v == 5);
}

TEST(FileStore, PathsAreTheBytesAsTheyAreAndAnAutostartPathNotUtf8IsNotWritten) {
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME"), savedHome = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/conf\xff");
    EXPECT_EQ(ConfigHome(), "/tmp/conf\xff");
    qputenv("HOME", "/tmp/home\xff");
    qputenv("XDG_CONFIG_HOME", "relative/config");  // not absolute: not followed
    EXPECT_EQ(ConfigHome(), "/tmp/home\xff/.config");
    for (const auto& [name, saved] : {std::pair{"XDG_CONFIG_HOME", savedXdg}, {"HOME", savedHome}})
        saved.isNull() ? qunsetenv(name) : qputenv(name, saved);
    QTemporaryDir dir;
    AutostartRunEntry entry(dir.path());
    EXPECT_EQ(entry.ModulePath(), QCoreApplication::applicationFilePath().toStdString());
    EXPECT_FALSE(entry.Write("HVX", "/opt/\xff/hvx"));  // no entry can name it
    EXPECT_FALSE(QFile::exists(dir.path() + "/HVX.desktop"));
}

TEST(LocalClock, FollowsAZoneChangedWhileRunning) {
    const pid_t pid = ::fork();
    if (pid == 0) {  // a mount namespace of its own: the zone changes for this process alone
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(77);
        ::unsetenv("TZ");
        const auto minutesIn = [](const char* zone) {
            if (::mount(zone, "/etc/localtime", nullptr, MS_BIND, nullptr) != 0) ::_exit(77);
            const LocalTime now = LocalClock().Now();
            return now.hour * 60 + now.minute;
        };
        const int east = minutesIn("/usr/share/zoneinfo/Etc/GMT-5");  // UTC+5
        const int west = minutesIn("/usr/share/zoneinfo/Etc/GMT+7");  // UTC-7
        ::_exit((east - west + 1440) % 1440 / 2 == 360 ? 0 : 1);      // 719 if a minute passed
    }
    int status = -1;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no mount namespace (root)";
    EXPECT_EQ(status, 0);  // exited with 0
}

}  // namespace
}  // namespace hvx::linux_platform
