#include "platform/win32/EndpointWatcher.h"

#include <mmsystem.h>

namespace hvx::win32 {

bool EndpointWatcher::Start(HWND window) {
    m_window = window;
    // The mixer has put this thread in a single-threaded apartment already; this only counts.
    m_apartment = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                IID_PPV_ARGS(&m_enumerator))) ||
        FAILED(m_enumerator->RegisterEndpointNotificationCallback(this))) {
        m_enumerator.Reset();
        return false;
    }
    Follow();
    return true;
}

void EndpointWatcher::Follow() {
    Unwatch();
    if (!m_enumerator) return;
    Microsoft::WRL::ComPtr<IMMDevice> device;
    if (FAILED(m_enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device))) return;
    if (FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, &m_volume)))
        return;
    if (FAILED(m_volume->RegisterControlChangeNotify(this))) m_volume.Reset();
}

void EndpointWatcher::Unwatch() {
    if (m_volume) m_volume->UnregisterControlChangeNotify(this);
    m_volume.Reset();
}

void EndpointWatcher::Stop() {
    Unwatch();
    if (m_enumerator) m_enumerator->UnregisterEndpointNotificationCallback(this);
    m_enumerator.Reset();
    if (m_apartment) CoUninitialize();
    m_apartment = false;
}

HRESULT EndpointWatcher::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IMMNotificationClient))
        *object = static_cast<IMMNotificationClient*>(this);
    else if (iid == __uuidof(IAudioEndpointVolumeCallback))
        *object = static_cast<IAudioEndpointVolumeCallback*>(this);
    else
        return *object = nullptr, E_NOINTERFACE;
    return S_OK;
}

HRESULT EndpointWatcher::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) {
    // Registering with the new device from here could deadlock: the GUI thread does it.
    if (flow == eRender && role == eConsole) PostMessageW(m_window, MM_MIXM_LINE_CHANGE, 0, 0);
    return S_OK;
}

HRESULT EndpointWatcher::OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA) {
    PostMessageW(m_window, MM_MIXM_CONTROL_CHANGE, 0, 0);
    return S_OK;
}

}  // namespace hvx::win32
