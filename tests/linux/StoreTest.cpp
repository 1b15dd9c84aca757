// The settings file and the autostart entry, on real files.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

#include "platform/linux/FileStore.h"
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
}

TEST(FileStore, ConfigHomeIsTheVariablesBytesAsTheyAreAndXdgOnlyWhenAbsolute) {
    QTemporaryDir dir;
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME"), savedHome = qgetenv("HOME");
    const QByteArray folder = QFile::encodeName(dir.path()) + "/conf\xff";  // not UTF-8
    qputenv("XDG_CONFIG_HOME", folder);
    ASSERT_TRUE(FileRegistryStore().WriteDword("Software\\Tessaron\\HVX", "RegMode", 1));
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

}  // namespace
}  // namespace hvx::linux_platform
