#include "volume/VolumeMixer.h"

#include "resources/Resource.h"

namespace hvx {

bool CVolumeMixer::Open() {
    DeviceCount = m_device.GetNumDevs();
    m_open = false;
    MasterMinimum = MasterMaximum = WaveMinimum = WaveMaximum = 0;
    VolumeControlId = MasterMuteId = 0;
    if (DeviceCount == 0) return true;
    if (!m_device.Open(0)) return false;
    m_open = true;
    return m_device.GetDevCaps();
}

bool CVolumeMixer::Close() {
    if (!m_open) return true;
    m_open = false;
    return m_device.Close();
}

bool CVolumeMixer::Select(uint32_t componentType, uint32_t controlType, MixerControlInfo& control) {
    if (!m_open) return false;
    uint32_t lineId = 0;
    if (!m_device.GetLineByComponentType(componentType, lineId)) return false;
    return m_device.GetLineControlByType(lineId, controlType, control);
}

bool CVolumeMixer::SelectMasterVolume() {
    MixerControlInfo control;
    if (!Select(MIXER_LINE_DST_SPEAKERS, MIXER_CONTROL_VOLUME, control)) return false;
    MasterMinimum = control.minimum;
    MasterMaximum = control.maximum;
    VolumeControlId = control.controlId;
    return true;
}

bool CVolumeMixer::SelectWaveVolume() {
    MixerControlInfo control;
    if (!Select(MIXER_LINE_SRC_WAVEOUT, MIXER_CONTROL_VOLUME, control)) return false;
    WaveMinimum = control.minimum;
    WaveMaximum = control.maximum;
    VolumeControlId = control.controlId;
    return true;
}

bool CVolumeMixer::SelectMasterMute() {
    MixerControlInfo control;
    if (!Select(MIXER_LINE_DST_SPEAKERS, MIXER_CONTROL_MUTE, control)) return false;
    MasterMuteId = control.controlId;
    return true;
}

bool CVolumeMixer::GetVolume(uint32_t& value) {
    return m_open && m_device.GetControlValue(VolumeControlId, value);
}

bool CVolumeMixer::SetVolume(uint32_t value) {
    return m_open && m_device.SetControlValue(VolumeControlId, value);
}

bool CVolumeMixer::GetMasterMute(uint32_t& value) {
    return m_open && m_device.GetControlValue(MasterMuteId, value);
}

bool CVolumeMixer::SetMasterMute(uint32_t value) {
    return m_open && m_device.SetControlValue(MasterMuteId, value);
}

}  // namespace hvx
