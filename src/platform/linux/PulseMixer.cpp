#include "platform/linux/PulseMixer.h"

#include <algorithm>

#include "platform/linux/AlsaMixer.h"
#include "platform/linux/MixerIds.h"
#include "resources/Resource.h"
#include "volume/StreamLevels.h"

namespace hvx::linux_platform {

namespace {

using pulse::Clock;
using pulse::TagReader;
using Request = pulse::Client::Request;

// Every call runs on the GUI thread: a server that does not answer may hold it this long.
constexpr auto kConnectWait = std::chrono::milliseconds(500);
constexpr auto kCallWait = std::chrono::milliseconds(500);
constexpr auto kRetryPause = std::chrono::milliseconds(1000);

// The server resolves this name itself, so a change of default sink is followed at once.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

Request SinkQuestion() {
    Request request{pulse::kGetSinkInfo, {}};
    request.arguments.U32(pulse::kInvalidIndex).String(kDefaultSink);
    return request;
}

std::vector<uint32_t> Levels(const std::vector<pulse::StreamInfo>& streams) {
    std::vector<uint32_t> levels;
    for (const pulse::StreamInfo& stream : streams) levels.push_back(pulse::Loudest(stream.volume));
    return levels;
}

}  // namespace

PulseMixer::PulseMixer() = default;

PulseMixer::~PulseMixer() = default;

void PulseMixer::Disconnect() {
    Forget();
    m_client.Close();
}

bool PulseMixer::Connect() {
    // Take in what the server sent since the last call: the changes it reports, or the end of
    // a connection it closed.
    if (m_client.Poll()) {
        if (m_client.Reports() != m_reportsSeen) Forget();
        m_reportsSeen = m_client.Reports();
        return true;
    }
    Forget();
    const auto start = Clock::now();
    if (start < m_retryAfter) return false;
    m_silent = false;
    if (m_client.Open(start + kConnectWait)) {
        m_reportsSeen = m_client.Reports();
        return true;
    }
    m_silent = m_client.TimedOut();
    m_retryAfter = Clock::now() + kRetryPause;
    return false;
}

bool PulseMixer::Call(const std::vector<Request>& requests,
                      std::vector<std::vector<uint8_t>>* answers) {
    const bool done = m_client.Call(requests, answers, Clock::now() + kCallWait);
    if (!m_client.IsOpen()) {
        // A broken or silent connection is dropped; the next call connects again, after a
        // pause when the server did not answer at all.
        Forget();
        if (m_client.TimedOut()) m_retryAfter = Clock::now() + kRetryPause;
    }
    return done;
}

bool PulseMixer::ReadSink(pulse::SinkInfo& sink) {
    if (!m_open || !Connect()) return false;
    if (!m_sinkKnown) {
        std::vector<std::vector<uint8_t>> answers;
        pulse::SinkInfo fresh;
        if (!Call({SinkQuestion()}, &answers)) return false;
        TagReader reader(answers[0]);
        if (!pulse::ParseSink(reader, fresh)) return false;
        m_sink = fresh;
        m_sinkKnown = true;  // until the server reports a change
    }
    sink = m_sink;
    return true;
}

bool PulseMixer::ReadStreams(pulse::SinkInfo& sink, std::vector<pulse::StreamInfo>& streams) {
    if (!m_open || !Connect()) return false;
    if (!m_sinkKnown || !m_streamsKnown) {
        std::vector<std::vector<uint8_t>> answers;
        pulse::SinkInfo fresh;
        std::vector<pulse::StreamInfo> inputs;
        // Both questions go out at once: one round trip.
        if (!Call({SinkQuestion(), Request{pulse::kGetSinkInputInfoList, {}}}, &answers))
            return false;
        TagReader sinkReader(answers[0]), streamReader(answers[1]);
        if (!pulse::ParseSink(sinkReader, fresh) || !pulse::ParseStreams(streamReader, inputs))
            return false;
        m_sink = fresh;
        m_streams.clear();
        for (pulse::StreamInfo& input : inputs)
            if (input.sink == fresh.index && input.settable) m_streams.push_back(std::move(input));
        m_sinkKnown = m_streamsKnown = true;
    }
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
    pulse::SinkInfo sink;
    if (componentType == MIXER_LINE_DST_SPEAKERS) {
        if (!ReadSink(sink)) return false;
        lineId = kSpeakersLine;
        return true;
    }
    // No application playing on the default sink: no wave line.
    std::vector<pulse::StreamInfo> streams;
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
        control.minimum = 0;
        control.maximum = pulse::kVolumeNorm;
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
    pulse::SinkInfo sink;
    switch (controlId) {
        case kMasterVolume:
            if (!ReadSink(sink)) return false;
            value = pulse::Loudest(sink.volume);
            return true;
        case kMasterMute:
            if (!ReadSink(sink)) return false;
            value = sink.muted ? 1 : 0;
            return true;
        case kWaveVolume: {
            std::vector<pulse::StreamInfo> streams;
            if (!ReadStreams(sink, streams)) return false;
            return LoudestLevel(Levels(streams), value);
        }
        default:
            return false;
    }
}

bool PulseMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    // Above the top of the scale the server would amplify: a value from a damaged setting must
    // not make the speakers louder than full volume.
    const uint32_t level = std::min(value, pulse::kVolumeNorm);
    pulse::SinkInfo sink;
    switch (controlId) {
        case kMasterVolume: {
            if (!ReadSink(sink)) return false;
            // The loudest channel gets the value; the balance between channels stays.
            Request request{pulse::kSetSinkVolume, {}};
            request.arguments.U32(sink.index)
                .String(nullptr)
                .Levels(pulse::Scaled(sink.volume, level));
            Forget();  // what is known no longer holds, whatever the outcome
            return Call({request});
        }
        case kMasterMute: {
            if (!m_open || !Connect()) return false;
            Request request{pulse::kSetSinkMute, {}};
            request.arguments.U32(pulse::kInvalidIndex).String(kDefaultSink).Bool(value != 0);
            Forget();
            return Call({request});
        }
        case kWaveVolume: {
            std::vector<pulse::StreamInfo> streams;
            if (!ReadStreams(sink, streams) || streams.empty()) return false;
            const std::vector<uint32_t> scaled = ScaleToLoudest(Levels(streams), level);
            std::vector<Request> requests;
            for (size_t i = 0; i < streams.size(); ++i) {
                requests.push_back({pulse::kSetSinkInputVolume, {}});
                requests.back()
                    .arguments.U32(streams[i].index)
                    .Levels(pulse::Scaled(streams[i].volume, scaled[i]));
            }
            Forget();
            return Call(requests);
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
