// The settings store and the autostart entry as files under the user's configuration folder.
// Paths are kept as the bytes the system gave: a folder name need not be UTF-8, and text
// decoding would turn such a name into another folder.
#pragma once

#include <QFile>
#include <QString>
#include <memory>
#include <string>

#include "platform/RegistryStore.h"
#include "settings/IniDocument.h"

namespace hvx::linux_platform {

// $XDG_CONFIG_HOME, or $HOME/.config when it is unset or not absolute.
std::string ConfigHome();

// 32-bit values in an INI file, one section per key path. Every write replaces the whole file
// atomically, so a crash in the middle of a save leaves the values saved before it intact;
// between BeginSave and EndSave the writes are gathered and the file is replaced once.
class FileRegistryStore : public IRegistryStore {
  public:
    explicit FileRegistryStore(std::string path = ConfigHome() + "/Tessaron/HVX.conf")
        : m_path(std::move(path)) {}
    explicit FileRegistryStore(const QString& path)
        : FileRegistryStore(QFile::encodeName(path).toStdString()) {}
    bool ReadDword(std::string_view keyPath, std::string_view valueName, uint32_t& value) override;
    bool WriteDword(std::string_view keyPath, std::string_view valueName, uint32_t value) override;
    void BeginSave() override;
    void EndSave() override;

  private:
    std::string m_path;
    bool m_saving = false;
    std::unique_ptr<IniDocument> m_pending;  // the file's text with the gathered writes
};

// The session's autostart entry, $XDG_CONFIG_HOME/autostart/<name>.desktop.
class AutostartRunEntry : public IRunEntry {
  public:
    explicit AutostartRunEntry(std::string folder = ConfigHome() + "/autostart")
        : m_folder(std::move(folder)) {}
    explicit AutostartRunEntry(const QString& folder)
        : AutostartRunEntry(QFile::encodeName(folder).toStdString()) {}
    std::string ModulePath() override;
    // False, writing nothing, for a path that is not UTF-8: a desktop entry cannot name it.
    bool Write(std::string_view name, std::string_view path) override;
    bool Delete(std::string_view name) override;

  private:
    std::string m_folder;
};

}  // namespace hvx::linux_platform
