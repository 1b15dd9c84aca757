// Master volume, wave volume and master mute of the first mixer device.
#pragma once

#include <cstdint>

#include "platform/MixerDevice.h"

namespace hvx {

// Both lines share one current volume control: select a line right before reading or writing
// its volume. Bounds are kept per line and reset only by Open.
//
// A selection that fails leaves no control current: the next GetVolume/SetVolume fails
// without reaching the device, instead of acting on whichever line was selected before (on a
// device without a wave line, "wave down" would otherwise drive the master volume). The mute
// control follows the same rule.
//
// A device that is not there at Open (HDMI audio with the monitor asleep, a headset that
// connects after log-on) is looked for again at each selection until one opens, so the volume
// commands act on it as soon as it appears; after Close nothing is opened again.
class CVolumeMixer {
  public:
    explicit CVolumeMixer(IMixerDevice& device) : m_device(device) {}

    bool Open();
    bool Close();
    bool IsOpen() const { return m_open; }

    bool SelectMasterVolume();
    bool SelectWaveVolume();
    bool SelectMasterMute();

    bool GetVolume(uint32_t& value);
    bool SetVolume(uint32_t value);
    bool GetMasterMute(uint32_t& value);
    bool SetMasterMute(uint32_t value);

    uint32_t DeviceCount = 0;
    uint32_t MasterMinimum = 0;
    uint32_t MasterMaximum = 0;
    uint32_t WaveMinimum = 0;
    uint32_t WaveMaximum = 0;
    uint32_t VolumeControlId = 0;
    uint32_t MasterMuteId = 0;

  private:
    // Open, or opened now if the device has appeared since Open found none.
    bool Reachable();
    bool Select(uint32_t componentType, uint32_t controlType, MixerControlInfo& control);

    IMixerDevice& m_device;
    bool m_open = false;
    bool m_wanted = false;              // between Open and Close: open a device that appears
    bool m_volumeControlValid = false;  // VolumeControlId came from the last selection
    bool m_muteControlValid = false;    // MasterMuteId came from the last mute selection
};

}  // namespace hvx
