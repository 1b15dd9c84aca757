// The mixer device as a PulseAudio-compatible sound server (PulseAudio, or PipeWire's
// pipewire-pulse) sees it, through libpulse on Qt's (GLib's) event loop: the default sink gives
// the speakers line (its volume, and its mute), the application streams playing on it (sink
// inputs) give the wave line. Values are the server's own scale, 0 to 65536 (full volume), one
// value for all channels; a level set above full volume elsewhere reads as it is.
//
// Nothing here waits for the server: the levels are held as the server's change reports keep
// them, reads answer from what is held, and writes are sent without waiting for the answer,
// what is held taking the new levels at once.
#pragma once

#include <pulse/context.h>
#include <pulse/glib-mainloop.h>
#include <pulse/introspect.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/MixerDevice.h"

namespace hvx::linux_platform {

class AlsaMixer;

class PulseMixer : public IMixerDevice {
  public:
    PulseMixer();
    ~PulseMixer() override;
    PulseMixer(const PulseMixer&) = delete;
    PulseMixer& operator=(const PulseMixer&) = delete;

    // A server has taken our connection (it may still be coming up): it is the mixer.
    bool Present() const { return m_present; }
    // Called after the default sink's volume or mute, or the streams on it, changed.
    void SetChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    uint32_t GetNumDevs() override { return m_present ? 1 : 0; }
    bool Open(uint32_t deviceId) override { return deviceId == 0 && m_present; }
    bool GetDevCaps() override { return m_present; }
    bool Close() override { return true; }
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

  private:
    struct Sink {
        uint32_t index;
        pa_cvolume volume;
        bool muted;
    };
    struct Stream {
        uint32_t index, sink;
        pa_cvolume volume;
    };
    // One question at a time per kind: reports that arrive while it is out ask once more when
    // it is answered. An answer to a question asked before a write of ours is not taken (the
    // levels held are newer); it is asked again.
    struct Question {
        bool out = false, again = false;
        uint64_t writesWhenAsked = 0;
    };

    void Connect();
    void Drop();
    void RetryIn(pa_usec_t delay);
    bool Ask(Question& question);
    void Sent(Question& question, pa_operation* operation);
    bool Answered(Question& question);
    bool Sent(pa_operation* write);
    void AskSink();
    void AskStreams();
    void Changed();
    std::vector<Stream*> StreamsOnSink();

    static void OnState(pa_context* context, void* self);
    static void OnEvent(pa_context* context, pa_subscription_event_type_t type, uint32_t index,
                        void* self);
    static void OnSink(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void OnStream(pa_context* context, const pa_sink_input_info* info, int eol, void* self);

    pa_glib_mainloop* m_loop;
    pa_context* m_context = nullptr;
    pa_time_event* m_retry = nullptr;
    bool m_present = false;
    bool m_wasReady = false;
    std::function<void()> m_changed;

    std::optional<Sink> m_sink;     // the default sink, while there is one
    std::vector<Stream> m_streams;  // every stream whose volume can be set, on whichever sink
    uint64_t m_writes = 0;
    Question m_sinkQuestion, m_streamsQuestion;
    // What an answer brings, taken in once it is complete.
    std::optional<Sink> m_incomingSink;
    std::vector<Stream> m_incomingStreams;
};

// The mixer that answers now: the sound server's while one is there, else the ALSA mixer of the
// default device (its library loaded only then), else none. Asked afresh at every call, so a
// server that appears, goes or comes back is followed; nothing here waits.
// Made before the QApplication, whose event loop then runs libpulse's.
class MixerChoice : public IMixerDevice {
  public:
    MixerChoice();
    ~MixerChoice() override;

    void SetChangeHandler(std::function<void()> handler) {
        m_pulse.SetChangeHandler(std::move(handler));
    }

    uint32_t GetNumDevs() override { return Live() ? 1 : 0; }
    bool Open(uint32_t deviceId) override { return deviceId == 0 && Live(); }
    bool GetDevCaps() override { return Live() != nullptr; }
    bool Close() override;
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

  private:
    IMixerDevice* Live();

    PulseMixer m_pulse;
    std::unique_ptr<AlsaMixer> m_alsa;
};

}  // namespace hvx::linux_platform
