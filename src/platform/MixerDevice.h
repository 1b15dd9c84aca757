// The sound mixer: lines found by component type, controls by type, 32-bit values by control id.
#pragma once

#include <cstdint>

namespace hvx {

struct MixerControlInfo {
    uint32_t controlId = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
};

class IMixerDevice {
  public:
    virtual ~IMixerDevice() = default;

    virtual uint32_t GetNumDevs() = 0;
    // Opens the device with change notifications going to the main window.
    virtual bool Open(uint32_t deviceId) = 0;
    // Reads the open device's capabilities; the program keeps none of them.
    virtual bool GetDevCaps() = 0;
    virtual bool Close() = 0;

    // The first line of this component type.
    virtual bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) = 0;
    // The first control of this type on the line.
    virtual bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                      MixerControlInfo& control) = 0;
    // One value standing for every channel of the control.
    virtual bool GetControlValue(uint32_t controlId, uint32_t& value) = 0;
    virtual bool SetControlValue(uint32_t controlId, uint32_t value) = 0;
};

}  // namespace hvx
