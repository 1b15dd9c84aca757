#include "volume/VolumeMixer.h"

#include "resources/Resource.h"

namespace hvx {

bool CVolumeMixer::Open() {
    // Opening again must not leak the handle already held.
    if (m_open) m_device.Close();
    m_wanted = true;
    DeviceCount = m_device.GetNumDevs();
    m_open = false;
    m_volumeControlValid = m_muteControlValid = false;
    MasterMinimum = MasterMaximum = WaveMinimum = WaveMaximum = 0;
    VolumeControlId = MasterMuteId = 0;
    // No device at all is not an error: the volume features simply do nothing.
    if (DeviceCount == 0) return true;
    if (!m_device.Open(0)) return false;
    m_open = true;
    // Without the capabilities the device is still open and usable.
    return m_device.GetDevCaps();
}

bool CVolumeMixer::Close() {
    m_wanted = false;
    if (!m_open) return true;
    m_open = false;
    return m_device.Close();
}

bool CVolumeMixer::Reachable() {
    // Counting devices is cheap on every platform, so a key pressed with none costs little.
    if (!m_open && m_wanted && m_device.GetNumDevs() != 0) Open();
    return m_open;
}

bool CVolumeMixer::Select(uint32_t componentType, uint32_t controlType, MixerControlInfo& control) {
    uint32_t lineId = 0;
    if (!m_device.GetLineByComponentType(componentType, lineId)) return false;
    return m_device.GetLineControlByType(lineId, controlType, control);
}

bool CVolumeMixer::SelectMasterVolume() {
    if (!Reachable()) return false;
    MixerControlInfo control;
    m_volumeControlValid = Select(MIXER_LINE_DST_SPEAKERS, MIXER_CONTROL_VOLUME, control);
    if (!m_volumeControlValid) return false;
    MasterMinimum = control.minimum;
    MasterMaximum = control.maximum;
    VolumeControlId = control.controlId;
    return true;
}

bool CVolumeMixer::SelectWaveVolume() {
    if (!Reachable()) return false;
    MixerControlInfo control;
    m_volumeControlValid = Select(MIXER_LINE_SRC_WAVEOUT, MIXER_CONTROL_VOLUME, control);
    if (!m_volumeControlValid) return false;
    WaveMinimum = control.minimum;
    WaveMaximum = control.maximum;
    VolumeControlId = control.controlId;
    return true;
}

bool CVolumeMixer::SelectMasterMute() {
    if (!Reachable()) return false;
    MixerControlInfo control;
    m_muteControlValid = Select(MIXER_LINE_DST_SPEAKERS, MIXER_CONTROL_MUTE, control);
    if (!m_muteControlValid) return false;
    MasterMuteId = control.controlId;
    return true;
}

bool CVolumeMixer::GetVolume(uint32_t& value) {
    return m_open && m_volumeControlValid && m_device.GetControlValue(VolumeControlId, value);
}

bool CVolumeMixer::SetVolume(uint32_t value) {
    return m_open && m_volumeControlValid && m_device.SetControlValue(VolumeControlId, value);
}

bool CVolumeMixer::GetMasterMute(uint32_t& value) {
    return m_open && m_muteControlValid && m_device.GetControlValue(MasterMuteId, value);
}

bool CVolumeMixer::SetMasterMute(uint32_t value) {
    return m_open && m_muteControlValid && m_device.SetControlValue(MasterMuteId, value);
}

}  // namespace hvx
