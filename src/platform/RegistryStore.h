// The per-user settings store and the run-at-log-on entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hvx {

// 32-bit values under keys of the current user's hive. Key paths use backslashes.
class IRegistryStore {
  public:
    virtual ~IRegistryStore() = default;
    // True, with value filled in, only when a 32-bit value of the right type was read.
    virtual bool ReadDword(std::string_view keyPath, std::string_view valueName,
                           uint32_t& value) = 0;
    // Creates missing keys along the path. True when the value was stored.
    virtual bool WriteDword(std::string_view keyPath, std::string_view valueName,
                            uint32_t value) = 0;
    // Bracket the writes of one whole record. A store that rewrites a file per write may keep
    // them until EndSave and store them together; the registry stores each write at once.
    virtual void BeginSave() {}
    virtual void EndSave() {}
};

// The entry that starts a program when the user logs on, and this program's own path.
class IRunEntry {
  public:
    virtual ~IRunEntry() = default;
    // The executable's full path, UTF-8, never cut.
    virtual std::string ModulePath() = 0;
    // Registers the executable at path under name, quoted as the platform needs.
    virtual bool Write(std::string_view name, std::string_view path) = 0;
    // False when there was nothing to delete or it could not be deleted.
    virtual bool Delete(std::string_view name) = 0;
};

}  // namespace hvx
