// Tells the main window when the default playback device's volume or mute changes, whichever
// program changed it (MM_MIXM_CONTROL_CHANGE), and when another device becomes the default
// (MM_MIXM_LINE_CHANGE), as the WINMM mixer's notifications did. Core Audio calls it on threads
// of its own; it only posts, and all else runs on the GUI thread.
#pragma once

// clang-format off
#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>
#include <wrl/client.h>
// clang-format on

namespace hvx::win32 {

class EndpointWatcher final : public IMMNotificationClient, public IAudioEndpointVolumeCallback {
  public:
    EndpointWatcher() = default;
    ~EndpointWatcher() { Stop(); }
    EndpointWatcher(const EndpointWatcher&) = delete;
    EndpointWatcher& operator=(const EndpointWatcher&) = delete;

    // Starts watching for window; false when the system has no device enumerator.
    bool Start(HWND window);
    // Watches the device that is the default now (after MM_MIXM_LINE_CHANGE).
    void Follow();
    // No call comes after this returns.
    void Stop();

    // IUnknown: the object lives as long as its owner, not by count.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IMMNotificationClient
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role,
                                                     LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
        return S_OK;
    }

    // IAudioEndpointVolumeCallback
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override;

  private:
    void Unwatch();

    HWND m_window = nullptr;
    bool m_apartment = false;  // entered here, so left here
    Microsoft::WRL::ComPtr<IMMDeviceEnumerator> m_enumerator;
    Microsoft::WRL::ComPtr<IAudioEndpointVolume> m_volume;  // the default device's, watched
};

}  // namespace hvx::win32
