// A mixer with no device: the program runs, and the volume features do nothing.
#pragma once

#include "platform/MixerDevice.h"

namespace hvx::win32 {

class NoMixerDevice final : public IMixerDevice {
  public:
    uint32_t GetNumDevs() override { return 0; }
    bool Open(uint32_t /*deviceId*/) override { return false; }
    bool GetDevCaps() override { return false; }
    bool Close() override { return false; }
    bool GetLineByComponentType(uint32_t /*componentType*/, uint32_t& /*lineId*/) override {
        return false;
    }
    bool GetLineControlByType(uint32_t /*lineId*/, uint32_t /*controlType*/,
                              MixerControlInfo& /*control*/) override {
        return false;
    }
    bool GetControlValue(uint32_t /*controlId*/, uint32_t& /*value*/) override { return false; }
    bool SetControlValue(uint32_t /*controlId*/, uint32_t /*value*/) override { return false; }
};

}  // namespace hvx::win32
