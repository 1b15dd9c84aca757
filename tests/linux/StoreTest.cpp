// The settings file and the autostart entry, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/linux/FileStore.h"
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
}

}  // namespace
}  // namespace hvx::linux_platform
