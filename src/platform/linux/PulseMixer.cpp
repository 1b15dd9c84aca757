#include "platform/linux/PulseMixer.h"

#include <algorithm>

#include <pulse/operation.h>
#include <pulse/subscribe.h>

#include "platform/linux/AlsaMixer.h"
#include "platform/linux/MixerIds.h"
#include "resources/Resource.h"
#include "volume/StreamLevels.h"

namespace hvx::linux_platform {

namespace {

using Clock = std::chrono::steady_clock;

// Every call runs on the GUI thread: a server that does not answer may hold it this long.
constexpr auto kConnectWait = std::chrono::milliseconds(500);
constexpr auto kCallWait = std::chrono::milliseconds(500);
constexpr auto kRetryPause = std::chrono::milliseconds(1000);

// The server resolves this name itself, so a change of default sink is followed at once.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

void OnSuccess(pa_context*, int success, void* userdata) {
    if (!success) *static_cast<bool*>(userdata) = false;
}

}  // namespace

PulseMixer::PulseMixer() : m_loop(pa_mainloop_new()) {}

PulseMixer::~PulseMixer() {
    Disconnect();
    if (m_loop != nullptr) pa_mainloop_free(m_loop);
}

void PulseMixer::Disconnect() {
    Forget();
    if (m_context == nullptr) return;
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

bool PulseMixer::Connect() {
    if (m_context != nullptr) {
        // Take in what the server sent since the last call: the changes it reports, or the end
        // of a connection it closed (before sending anything over it).
        for (int i = 0; i < 64 && pa_mainloop_iterate(m_loop, 0, nullptr) > 0; ++i) {
        }
        if (pa_context_get_state(m_context) == PA_CONTEXT_READY) return true;
        Disconnect();
    }
    const auto start = Clock::now();
    if (m_loop == nullptr || start < m_retryAfter) return false;
    m_context = pa_context_new(pa_mainloop_get_api(m_loop), "HVX");
    // Never start a server: without one, the ALSA mixer is the device.
    bool ok = m_context != nullptr &&
              pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    const auto deadline = start + kConnectWait;
    m_silent = false;
    while (ok) {
        const pa_context_state_t state = pa_context_get_state(m_context);
        // Without the reports of changes, what this mixer keeps could go stale: no connection.
        if (state == PA_CONTEXT_READY && Subscribe()) return true;
        if (state == PA_CONTEXT_READY) break;
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        m_silent = PA_CONTEXT_IS_GOOD(state) && left.count() <= 0;
        ok = PA_CONTEXT_IS_GOOD(state) && !m_silent &&
             pa_mainloop_prepare(m_loop, int(left.count())) >= 0 && pa_mainloop_poll(m_loop) >= 0 &&
             pa_mainloop_dispatch(m_loop) >= 0;
    }
    Disconnect();
    m_retryAfter = Clock::now() + kRetryPause;
    return false;
}

bool PulseMixer::Wait(const std::vector<pa_operation*>& operations) {
    bool ok = m_context != nullptr;
    for (pa_operation* operation : operations) ok = ok && operation != nullptr;
    const auto running = [&] {
        return std::any_of(operations.begin(), operations.end(), [](pa_operation* operation) {
            return operation != nullptr &&
                   pa_operation_get_state(operation) == PA_OPERATION_RUNNING;
        });
    };
    const auto deadline = Clock::now() + kCallWait;
    bool timedOut = false;
    while (ok && running()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        timedOut = left.count() <= 0;
        ok = !timedOut && pa_context_get_state(m_context) == PA_CONTEXT_READY &&
             pa_mainloop_prepare(m_loop, int(left.count())) >= 0 && pa_mainloop_poll(m_loop) >= 0 &&
             pa_mainloop_dispatch(m_loop) >= 0;
    }
    for (pa_operation* operation : operations) {
        if (operation == nullptr) continue;
        if (pa_operation_get_state(operation) != PA_OPERATION_DONE) {
            ok = false;
            pa_operation_cancel(operation);
        }
        pa_operation_unref(operation);
    }
    if (!ok) {
        // A broken or silent connection is dropped; the next call connects again, after a
        // pause when the server did not answer at all.
        Disconnect();
        if (timedOut) m_retryAfter = Clock::now() + kRetryPause;
    }
    return ok;
}

bool PulseMixer::Subscribe() {
    pa_context_set_subscribe_callback(
        m_context,
        [](pa_context*, pa_subscription_event_type_t, uint32_t, void* userdata) {
            auto* self = static_cast<PulseMixer*>(userdata);
            ++self->m_reports;
            self->Forget();
        },
        this);
    bool accepted = true;
    const auto mask = pa_subscription_mask_t(
        PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SINK_INPUT | PA_SUBSCRIPTION_MASK_SERVER);
    return Wait({pa_context_subscribe(m_context, mask, OnSuccess, &accepted)}) && accepted;
}

void PulseMixer::OnSink(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    if (eol != 0 || info == nullptr) return;
    auto& out = *static_cast<Sink*>(userdata);
    out.index = info->index;
    out.volume = info->volume;
    out.muted = info->mute != 0;
    out.found = pa_cvolume_valid(&info->volume) != 0;
}

bool PulseMixer::ReadSink(Sink& sink) {
    if (!m_open || !Connect()) return false;
    if (!m_sinkKnown) {
        const uint64_t reports = m_reports;
        Sink fresh;
        if (!Wait({pa_context_get_sink_info_by_name(m_context, kDefaultSink, OnSink, &fresh)}) ||
            !fresh.found)
            return false;
        m_sink = fresh;
        // A change reported while the answer came in may be newer than the answer.
        m_sinkKnown = m_reports == reports;
    }
    sink = m_sink;
    return true;
}

bool PulseMixer::ReadStreams(Sink& sink, std::vector<Stream>& streams) {
    if (!m_open || !Connect()) return false;
    if (m_sinkKnown && m_streamsKnown) {
        sink = m_sink;
        streams = m_streams;
        return true;
    }
    struct Input {
        uint32_t sink;
        Stream stream;
    };
    std::vector<Input> inputs;
    Sink fresh;
    const uint64_t reports = m_reports;
    const auto onInput = [](pa_context*, const pa_sink_input_info* info, int eol, void* userdata) {
        if (eol != 0 || info == nullptr || !info->has_volume || !info->volume_writable ||
            !pa_cvolume_valid(&info->volume))
            return;
        static_cast<std::vector<Input>*>(userdata)->push_back(
            {info->sink, {info->index, info->volume}});
    };
    // Both questions go out at once: one round trip.
    if (!Wait({pa_context_get_sink_info_by_name(m_context, kDefaultSink, OnSink, &fresh),
               pa_context_get_sink_input_info_list(m_context, onInput, &inputs)}) ||
        !fresh.found)
        return false;
    m_sink = fresh;
    m_streams.clear();
    for (const Input& input : inputs)
        if (input.sink == fresh.index) m_streams.push_back(input.stream);
    m_sinkKnown = m_streamsKnown = m_reports == reports;
    sink = m_sink;
    streams = m_streams;
    return true;
}

// A server that is there but slow to answer (one started on demand as the session begins, or
// one that hangs) still is the device: the calls connect again later, each within its wait.
uint32_t PulseMixer::GetNumDevs() {
    return Connect() || m_silent ? 1 : 0;
}

bool PulseMixer::Open(uint32_t deviceId) {
    if (deviceId != 0) return false;
    m_open = Connect() || m_silent;
    return m_open;
}

bool PulseMixer::Close() {
    m_open = false;
    Disconnect();
    return true;
}

bool PulseMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    Sink sink;
    if (componentType == MIXER_LINE_DST_SPEAKERS) {
        if (!ReadSink(sink)) return false;
        lineId = kSpeakersLine;
        return true;
    }
    // No application playing on the default sink: no wave line.
    std::vector<Stream> streams;
    if (componentType == MIXER_LINE_SRC_WAVEOUT && ReadStreams(sink, streams) && !streams.empty()) {
        lineId = kWaveLine;
        return true;
    }
    return false;
}

bool PulseMixer::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                      MixerControlInfo& control) {
    if (!m_open || (lineId != kSpeakersLine && lineId != kWaveLine)) return false;
    if (controlType == MIXER_CONTROL_VOLUME) {
        control.controlId = lineId == kSpeakersLine ? kMasterVolume : kWaveVolume;
        control.minimum = PA_VOLUME_MUTED;
        control.maximum = PA_VOLUME_NORM;
        return true;
    }
    if (controlType == MIXER_CONTROL_MUTE && lineId == kSpeakersLine) {
        control.controlId = kMasterMute;
        control.minimum = 0;
        control.maximum = 1;
        return true;
    }
    return false;
}

bool PulseMixer::GetControlValue(uint32_t controlId, uint32_t& value) {
    Sink sink;
    switch (controlId) {
        case kMasterVolume:
            if (!ReadSink(sink)) return false;
            value = pa_cvolume_max(&sink.volume);
            return true;
        case kMasterMute:
            if (!ReadSink(sink)) return false;
            value = sink.muted ? 1 : 0;
            return true;
        case kWaveVolume: {
            std::vector<Stream> streams;
            if (!ReadStreams(sink, streams)) return false;
            std::vector<uint32_t> levels;
            for (const Stream& stream : streams) levels.push_back(pa_cvolume_max(&stream.volume));
            return LoudestLevel(levels, value);
        }
        default:
            return false;
    }
}

bool PulseMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    // Above the top of the scale the server would amplify: a value from a damaged setting must
    // not make the speakers louder than full volume.
    const pa_volume_t level = std::min<uint32_t>(value, PA_VOLUME_NORM);
    bool accepted = true;
    Sink sink;
    switch (controlId) {
        case kMasterVolume: {
            if (!ReadSink(sink)) return false;
            // The loudest channel gets the value; the balance between channels stays.
            pa_cvolume volume = sink.volume;
            pa_cvolume_scale(&volume, level);
            Forget();  // what is known no longer holds, whatever the outcome
            return Wait({pa_context_set_sink_volume_by_index(m_context, sink.index, &volume,
                                                             OnSuccess, &accepted)}) &&
                   accepted;
        }
        case kMasterMute:
            if (!m_open || !Connect()) return false;
            Forget();
            return Wait({pa_context_set_sink_mute_by_name(m_context, kDefaultSink, value != 0,
                                                          OnSuccess, &accepted)}) &&
                   accepted;
        case kWaveVolume: {
            std::vector<Stream> streams;
            if (!ReadStreams(sink, streams) || streams.empty()) return false;
            std::vector<uint32_t> levels;
            for (const Stream& stream : streams) levels.push_back(pa_cvolume_max(&stream.volume));
            const std::vector<uint32_t> scaled = ScaleToLoudest(levels, level);
            std::vector<pa_operation*> operations;
            Forget();
            for (size_t i = 0; i < streams.size(); ++i) {
                pa_cvolume volume = streams[i].volume;
                pa_cvolume_scale(&volume, scaled[i]);
                operations.push_back(pa_context_set_sink_input_volume(
                    m_context, streams[i].index, &volume, OnSuccess, &accepted));
            }
            return Wait(operations) && accepted;
        }
        default:
            return false;
    }
}

MixerChoice::MixerChoice()
    : m_pulse(std::make_unique<PulseMixer>()),
      m_probe([this] { m_answered = m_pulse->Connect(); }) {}

MixerChoice::~MixerChoice() {
    if (m_probe.joinable()) m_probe.join();
}

std::unique_ptr<IMixerDevice> MixerChoice::Take() {
    // After the join the connection belongs to this thread alone.
    if (m_probe.joinable()) m_probe.join();
    // A server that is there but did not answer in time is still the one to use: it may be
    // starting, and ALSA's default device would lead to it anyway.
    if (m_pulse && (m_answered || m_pulse->Silent())) return std::move(m_pulse);
    return std::make_unique<AlsaMixer>();
}

}  // namespace hvx::linux_platform
