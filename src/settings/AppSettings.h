// The seventeen persistent settings and the registry store behind them.
#pragma once

#include <cstdint>

#include "platform/RegistryStore.h"

namespace hvx {

// Each field is a raw 32-bit value; the code that uses a field decides how to read it.
struct AppSettings {
    int32_t RunAtStartup = 0;
    int32_t Mode = 0;
    int32_t ShutdownByUsingShortcut = 0;
    int32_t SetPredefinedVolumeAtStartup = 0;
    int32_t PreMasterVolume = 0;
    int32_t PreWaveVolume = 0;
    int32_t DefaultMasterVolume = 0;
    int32_t DefaultWaveVolume = 0;
    int32_t VolumeStep = 0;
    int32_t ScheduledAction = 0;
    int32_t DialogBeforeAction = 0;
    int32_t ExactTime = 0;
    int32_t Action = 0;
    int32_t ActionType = 0;
    int32_t ActionDay = 0;
    int32_t DisableOnce = 0;
    // 0 (also when absent) shows the volume indicator on the volume hotkeys.
    int32_t HideVolumeIndicator = 0;

    bool operator==(const AppSettings&) const = default;
};

enum class RootKey { CurrentUser };

// One settings value, read or written through the string table's name for it.
class CRegistryValue {
  public:
    CRegistryValue(IRegistryStore& store, int valueNameId, int32_t value = 0)
        : ValueNameId(valueNameId), Value(value), m_store(store) {}
    virtual ~CRegistryValue() = default;

    // The stored value, or defaultValue when there is none of the right type.
    virtual int32_t Read(int32_t defaultValue);
    virtual bool Write();

    int ValueNameId;
    RootKey Root = RootKey::CurrentUser;
    int32_t Value;

  private:
    IRegistryStore& m_store;
};

bool ReadRegistryDword(IRegistryStore& store, int valueNameId, uint32_t& value);
bool WriteRegistryDword(IRegistryStore& store, int valueNameId, uint32_t value);

// Overwrites every field from the store; a missing or unreadable value gives 0.
void LoadSettings(AppSettings& settings, IRegistryStore& store);
// Writes every field and brings the run-at-log-on entry in line with RunAtStartup. A failed
// write neither stops the others nor changes the record.
void SaveSettings(const AppSettings& settings, IRegistryStore& store, IRunEntry& runEntry);
// Writes only the stored skip flag; the field is the caller's to set.
bool WriteDisableOnce(IRegistryStore& store, int32_t value);

}  // namespace hvx
