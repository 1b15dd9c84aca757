// The settings file and the autostart entry, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "platform/linux/FileStore.h"
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
}

}  // namespace
}  // namespace hvx::linux_platform
