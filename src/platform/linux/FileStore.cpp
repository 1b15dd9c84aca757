#include "platform/linux/FileStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "settings/DesktopEntry.h"
#include "settings/IniDocument.h"

namespace hvx::linux_platform {

namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Writes the file through a temporary beside it, synced and renamed over the old one.
bool ReplaceFile(const QString& path, const std::string& content) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(content.data(), qint64(content.size())) != qint64(content.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

QString ConfigHome() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

bool FileRegistryStore::ReadDword(std::string_view keyPath, std::string_view valueName,
                                  uint32_t& value) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = file.readAll();
    return IniDocument(std::string_view(text.constData(), size_t(text.size())))
        .ReadDword(keyPath, valueName, value);
}

bool FileRegistryStore::WriteDword(std::string_view keyPath, std::string_view valueName,
                                   uint32_t value) {
    QByteArray text;
    QFile file(m_path);
    if (file.exists()) {
        // A file that exists but cannot be read is left alone rather than replaced.
        if (!file.open(QIODevice::ReadOnly)) return false;
        text = file.readAll();
        file.close();
    }
    IniDocument doc(std::string_view(text.constData(), size_t(text.size())));
    if (!doc.WriteDword(keyPath, valueName, value)) return false;
    return ReplaceFile(m_path, doc.Text());
}

std::string AutostartRunEntry::ModulePath() {
    return QCoreApplication::applicationFilePath().toStdString();
}

bool AutostartRunEntry::Write(std::string_view name, std::string_view path) {
    if (!IsDesktopEntryName(name)) return false;
    return ReplaceFile(m_folder + QLatin1Char('/') + Utf8(name) + QStringLiteral(".desktop"),
                       AutostartEntryText(name, path));
}

bool AutostartRunEntry::Delete(std::string_view name) {
    if (!IsDesktopEntryName(name)) return false;
    return QFile::remove(m_folder + QLatin1Char('/') + Utf8(name) + QStringLiteral(".desktop"));
}

}  // namespace hvx::linux_platform
