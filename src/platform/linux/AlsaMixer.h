// The mixer device as the ALSA simple mixer of the "default" device: "Master" gives the
// speakers line (volume, and the playback switch as the mute), "PCM" the wave line. ALSA is
// only the fallback where no sound server answers, so libasound is loaded then, not linked:
// without it (or a function of it) there is no device.
#pragma once

#include <alsa/asoundlib.h>

#include "platform/MixerDevice.h"

namespace hvx::linux_platform {

struct AlsaFunctions;

class AlsaMixer : public IMixerDevice {
  public:
    explicit AlsaMixer(const char* device = "default");
    ~AlsaMixer() override;
    AlsaMixer(const AlsaMixer&) = delete;
    AlsaMixer& operator=(const AlsaMixer&) = delete;

    uint32_t GetNumDevs() override;
    bool Open(uint32_t deviceId) override;
    bool GetDevCaps() override { return m_mixer != nullptr; }
    bool Close() override;
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

  private:
    snd_mixer_t* OpenMixer() const;
    // The element of a line as the mixer has it now.
    snd_mixer_elem_t* LineElement(uint32_t lineId) const;
    // Values are offered from 0 up when an element's range starts below 0.
    long Offset(snd_mixer_elem_t* element) const;

    const AlsaFunctions* m_alsa;  // null without libasound
    const char* m_device;
    snd_mixer_t* m_mixer = nullptr;
};

}  // namespace hvx::linux_platform
