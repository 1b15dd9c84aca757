#include "platform/win32/WinmmMixer.h"

#include <utility>

namespace hvx::win32 {

WinmmMixer::WinmmMixer(std::function<HWND()> callbackWindow)
    : m_callbackWindow(std::move(callbackWindow)) {}

WinmmMixer::~WinmmMixer() {
    Close();
}

uint32_t WinmmMixer::GetNumDevs() {
    return mixerGetNumDevs();
}

bool WinmmMixer::Open(uint32_t deviceId) {
    Close();
    HWND window = m_callbackWindow ? m_callbackWindow() : nullptr;
    HMIXER handle = nullptr;
    const MMRESULT result = mixerOpen(&handle, deviceId, reinterpret_cast<DWORD_PTR>(window), 0,
                                      window ? CALLBACK_WINDOW : CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) return false;
    m_handle = handle;
    return true;
}

bool WinmmMixer::GetDevCaps() {
    if (!m_handle) return false;
    m_caps = MIXERCAPSA{};
    // An open handle stands in for the device id.
    return mixerGetDevCapsA(reinterpret_cast<UINT_PTR>(m_handle), &m_caps, sizeof m_caps) ==
           MMSYSERR_NOERROR;
}

bool WinmmMixer::Close() {
    if (!m_handle) return true;
    const MMRESULT result = mixerClose(m_handle);
    m_handle = nullptr;
    m_controlTypes.clear();
    return result == MMSYSERR_NOERROR;
}

bool WinmmMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    if (!m_handle) return false;
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = componentType;
    if (mixerGetLineInfoA(Object(), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    lineId = line.dwLineID;
    return true;
}

bool WinmmMixer::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                      hvx::MixerControlInfo& control) {
    if (!m_handle) return false;
    MIXERCONTROLA found{};
    found.cbStruct = sizeof found;
    MIXERLINECONTROLSA query{};
    query.cbStruct = sizeof query;
    query.dwLineID = lineId;
    query.dwControlType = controlType;
    query.cControls = 1;
    query.cbmxctrl = sizeof found;
    query.pamxctrl = &found;
    if (mixerGetLineControlsA(Object(), &query,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    control.controlId = found.dwControlID;
    control.minimum = found.Bounds.dwMinimum;
    control.maximum = found.Bounds.dwMaximum;
    m_controlTypes[found.dwControlID] = found.dwControlType;
    return true;
}

bool WinmmMixer::IsBooleanControl(DWORD controlId) const {
    const auto it = m_controlTypes.find(controlId);
    return it != m_controlTypes.end() &&
           (it->second & MIXERCONTROL_CT_UNITS_MASK) == MIXERCONTROL_CT_UNITS_BOOLEAN;
}

bool WinmmMixer::GetControlValue(uint32_t controlId, uint32_t& value) {
    if (!m_handle) return false;
    // One channel: the platform reads the control as uniform, one value for all channels.
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    MMRESULT result;
    if (IsBooleanControl(controlId)) {
        MIXERCONTROLDETAILS_BOOLEAN item{};
        details.cbDetails = sizeof item;
        details.paDetails = &item;
        result = mixerGetControlDetailsA(Object(), &details,
                                         MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        if (result == MMSYSERR_NOERROR) value = static_cast<uint32_t>(item.fValue);
    } else {
        MIXERCONTROLDETAILS_UNSIGNED item{};
        details.cbDetails = sizeof item;
        details.paDetails = &item;
        result = mixerGetControlDetailsA(Object(), &details,
                                         MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        if (result == MMSYSERR_NOERROR) value = item.dwValue;
    }
    return result == MMSYSERR_NOERROR;
}

bool WinmmMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    if (!m_handle) return false;
    // One channel: every channel of the control takes this value.
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = 1;
    details.cMultipleItems = 0;
    MIXERCONTROLDETAILS_BOOLEAN boolean{};
    MIXERCONTROLDETAILS_UNSIGNED number{};
    if (IsBooleanControl(controlId)) {
        boolean.fValue = static_cast<LONG>(value);
        details.cbDetails = sizeof boolean;
        details.paDetails = &boolean;
    } else {
        number.dwValue = value;
        details.cbDetails = sizeof number;
        details.paDetails = &number;
    }
    return mixerSetControlDetails(Object(), &details,
                                  MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

}  // namespace hvx::win32
