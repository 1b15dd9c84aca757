// The mixer device on the Windows multimedia mixer (WINMM), always addressed through the open
// HMIXER.
#pragma once

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <functional>
#include <map>

#include "platform/MixerDevice.h"

namespace hvx::win32 {

class WinmmMixer : public hvx::IMixerDevice {
  public:
    // callbackWindow gives the window that receives the mixer's change notifications; it is
    // asked at Open, when the main window exists.
    explicit WinmmMixer(std::function<HWND()> callbackWindow);
    ~WinmmMixer() override;
    WinmmMixer(const WinmmMixer&) = delete;
    WinmmMixer& operator=(const WinmmMixer&) = delete;

    uint32_t GetNumDevs() override;
    bool Open(uint32_t deviceId) override;
    bool GetDevCaps() override;
    bool Close() override;
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              hvx::MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

    const MIXERCAPSA& DeviceCaps() const { return m_caps; }

  private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(m_handle); }
    // True when the control, as found, takes boolean details (a switch such as mute); volumes
    // take unsigned ones.
    bool IsBooleanControl(DWORD controlId) const;

    std::function<HWND()> m_callbackWindow;
    HMIXER m_handle = nullptr;
    MIXERCAPSA m_caps{};
    std::map<DWORD, DWORD> m_controlTypes;  // control id -> control type, as found
};

}  // namespace hvx::win32
