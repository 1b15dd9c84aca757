// The settings store and the autostart entry as files under the user's configuration folder.
#pragma once

#include <QString>

#include "platform/RegistryStore.h"

namespace hvx::linux_platform {

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
QString ConfigHome();

// 32-bit values in an INI file, one section per key path. Every write replaces the whole file
// atomically, so a crash in the middle of a save leaves the values saved before it intact.
class FileRegistryStore : public IRegistryStore {
  public:
    explicit FileRegistryStore(QString path = ConfigHome() + QStringLiteral("/Tessaron/HVX.conf"))
        : m_path(std::move(path)) {}
    bool ReadDword(std::string_view keyPath, std::string_view valueName, uint32_t& value) override;
    bool WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) override;
    const QString& Path() const { return m_path; }

  private:
    QString m_path;
};

// The session's autostart entry, $XDG_CONFIG_HOME/autostart/<name>.desktop.
class AutostartRunEntry : public IRunEntry {
  public:
    explicit AutostartRunEntry(QString folder = ConfigHome() + QStringLiteral("/autostart"))
        : m_folder(std::move(folder)) {}
    std::string ModulePath() override;
    bool Write(std::string_view name, std::string_view path) override;
    bool Delete(std::string_view name) override;

  private:
    QString m_folder;
};

}  // namespace hvx::linux_platform
