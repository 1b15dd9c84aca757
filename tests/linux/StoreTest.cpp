// The settings file, the autostart entry and the single-instance marker, on real files and
// sockets.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
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

TEST(FileStore, EveryWriteReplacesTheFileWholeAndLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/HVX.conf";
    FileRegistryStore store(path);
    ASSERT_TRUE(store.WriteDword(kKey, "RegMode", 1));
    const QByteArray before = ReadAll(path);
    const ino_t first = Inode(path);
    ASSERT_TRUE(store.WriteDword(kKey, "RegMode", 2));
    // A new file renamed over the old one: a reader, or a crash, sees the old text or the new,
    // never a half-written one.
    EXPECT_NE(Inode(path), first);
    EXPECT_NE(ReadAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("HVX.conf")});
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

}  // namespace
}  // namespace hvx::linux_platform
