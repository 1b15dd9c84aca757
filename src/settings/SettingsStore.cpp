#include <array>
#include <span>
#include <string>

#include "resources/Resource.h"
#include "resources/Strings.h"
#include "settings/AppSettings.h"

namespace hvx {

namespace {

struct FieldEntry {
    int nameId;
    int32_t AppSettings::*field;
};

// Load and save order; RunAtStartup comes first so the run entry follows it at once.
constexpr std::array<FieldEntry, 17> kFields{{
    {IDS_REG_RUN_AT_STARTUP, &AppSettings::RunAtStartup},
    {IDS_REG_SET_PREDEFINED_VOLUME_AT_STARTUP, &AppSettings::SetPredefinedVolumeAtStartup},
    {IDS_REG_MODE, &AppSettings::Mode},
    {IDS_REG_SHUTDOWN_BY_USING_SHORTCUT, &AppSettings::ShutdownByUsingShortcut},
    {IDS_REG_PRE_MASTER_VOLUME, &AppSettings::PreMasterVolume},
    {IDS_REG_PRE_WAVE_VOLUME, &AppSettings::PreWaveVolume},
    {IDS_REG_DEFAULT_MASTER_VOLUME, &AppSettings::DefaultMasterVolume},
    {IDS_REG_DEFAULT_WAVE_VOLUME, &AppSettings::DefaultWaveVolume},
    {IDS_REG_VOLUME_STEP, &AppSettings::VolumeStep},
    {IDS_REG_SCHEDULED_ACTION, &AppSettings::ScheduledAction},
    {IDS_REG_DIALOG_BEFORE_ACTION, &AppSettings::DialogBeforeAction},
    {IDS_REG_EXACT_TIME, &AppSettings::ExactTime},
    {IDS_REG_ACTION, &AppSettings::Action},
    {IDS_REG_ACTION_TYPE, &AppSettings::ActionType},
    {IDS_REG_ACTION_DAY, &AppSettings::ActionDay},
    {IDS_REG_DISABLE_ONCE, &AppSettings::DisableOnce},
    {IDS_REG_HIDE_VOLUME_INDICATOR, &AppSettings::HideVolumeIndicator},
}};

// A value name with a backslash names a subkey of the settings key and a value in it.
struct ValueLocation {
    std::string key;
    std::string name;
};

ValueLocation Locate(int valueNameId) {
    ValueLocation where{std::string(LoadString(IDS_REGISTRY_KEY)),
                        std::string(LoadString(valueNameId))};
    const auto slash = where.name.rfind('\\');
    if (slash != std::string::npos) {
        if (where.key.empty() || where.key.back() != '\\') where.key += '\\';
        where.key += where.name.substr(0, slash);
        where.name.erase(0, slash + 1);
    }
    return where;
}

}  // namespace

bool ReadRegistryDword(IRegistryStore& store, int valueNameId, uint32_t& value) {
    const ValueLocation where = Locate(valueNameId);
    return store.ReadDword(where.key, where.name, value);
}

bool WriteRegistryDword(IRegistryStore& store, int valueNameId, uint32_t value) {
    const ValueLocation where = Locate(valueNameId);
    return store.WriteDword(where.key, where.name, value);
}

int32_t CRegistryValue::Read(int32_t defaultValue) {
    uint32_t stored = 0;
    Value = ReadRegistryDword(m_store, ValueNameId, stored) ? static_cast<int32_t>(stored)
                                                            : defaultValue;
    return Value;
}

bool CRegistryValue::Write() {
    return WriteRegistryDword(m_store, ValueNameId, static_cast<uint32_t>(Value));
}

void LoadSettings(AppSettings& settings, IRegistryStore& store) {
    for (const FieldEntry& f : kFields) {
        CRegistryValue value(store, f.nameId);
        settings.*f.field = value.Read(0);
    }
}

void SaveSettings(const AppSettings& settings, IRegistryStore& store, IRunEntry& runEntry) {
    const auto write = [&](const FieldEntry& f) {
        CRegistryValue(store, f.nameId, settings.*f.field).Write();
    };
    store.BeginSave();
    write(kFields.front());
    if (settings.RunAtStartup != 0)
        runEntry.Write(RUN_ENTRY_NAME, runEntry.ModulePath());
    else
        runEntry.Delete(RUN_ENTRY_NAME);
    for (const FieldEntry& f : std::span(kFields).subspan(1)) write(f);
    store.EndSave();
}

bool WriteDisableOnce(IRegistryStore& store, int32_t value) {
    CRegistryValue disableOnce(store, IDS_REG_DISABLE_ONCE, value);
    disableOnce.Write();
    return true;
}

}  // namespace hvx
