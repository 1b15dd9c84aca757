#include "platform/linux/PulseMixer.h"

#include <pulse/subscribe.h>
#include <pulse/timeval.h>
#include <pulse/volume.h>

#include <QtGlobal>
#include <algorithm>

#include "platform/linux/AlsaMixer.h"
#include "platform/linux/MixerIds.h"
#include "resources/Resource.h"
#include "volume/StreamLevels.h"

namespace hvx::linux_platform {

namespace {

constexpr pa_subscription_mask_t kReports = pa_subscription_mask_t(
    PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SINK_INPUT | PA_SUBSCRIPTION_MASK_SERVER);

// Above full volume the server amplifies: HVX never takes a level there, though it lowers one
// that was put there elsewhere from where it is.
uint32_t Capped(uint32_t value, uint32_t current) {
    return std::min(value, std::max<uint32_t>(PA_VOLUME_NORM, current));
}

}  // namespace

PulseMixer::PulseMixer() {
    // libpulse runs on GLib's main loop, which Qt's event dispatcher drives unless told not to.
    qunsetenv("QT_NO_GLIB");
    m_loop = pa_glib_mainloop_new(nullptr);
    Connect();
}

PulseMixer::~PulseMixer() {
    Drop();
    pa_glib_mainloop_free(m_loop);  // with the retry's timer
}

void PulseMixer::Connect() {
    // First an attempt that gives up at once: a server that takes the connection is the mixer
    // from now on, even while it is slow to answer. With none, the second waits for one to
    // appear on the session bus (PA_CONTEXT_NOFAIL); where it cannot (a server named by
    // PULSE_SERVER, no bus), it fails too and we look again in a second.
    for (const auto flags :
         {PA_CONTEXT_NOAUTOSPAWN, pa_context_flags_t(PA_CONTEXT_NOAUTOSPAWN | PA_CONTEXT_NOFAIL)}) {
        m_context = pa_context_new(pa_glib_mainloop_get_api(m_loop), "HVX");
        if (m_context != nullptr && pa_context_connect(m_context, nullptr, flags, nullptr) == 0 &&
            pa_context_get_state(m_context) != PA_CONTEXT_FAILED) {
            m_present = flags == PA_CONTEXT_NOAUTOSPAWN;
            pa_context_set_state_callback(m_context, OnState, this);
            return;
        }
        Drop();
    }
    RetryIn(PA_USEC_PER_SEC);
}

void PulseMixer::Drop() {
    if (m_context != nullptr) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    m_present = m_wasReady = false;
    m_sink.reset();
    m_streams.clear();
}

void PulseMixer::RetryIn(pa_usec_t delay) {
    pa_mainloop_api* api = pa_glib_mainloop_get_api(m_loop);
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), delay);
    if (m_retry != nullptr) {
        api->time_restart(m_retry, &when);
        return;
    }
    m_retry = api->time_new(
        api, &when,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            static_cast<PulseMixer*>(self)->Connect();
        },
        this);
}

void PulseMixer::OnState(pa_context* context, void* data) {
    auto& self = *static_cast<PulseMixer*>(data);
    switch (pa_context_get_state(context)) {
        case PA_CONTEXT_AUTHORIZING:  // a server took the connection
            self.m_present = true;
            break;
        case PA_CONTEXT_READY:
            self.m_wasReady = true;
            self.m_sinkQuestion = self.m_streamsQuestion = {};
            pa_context_set_subscribe_callback(context, OnEvent, data);
            if (pa_operation* subscribed =
                    pa_context_subscribe(context, kReports, nullptr, nullptr))
                pa_operation_unref(subscribed);
            self.AskSink();
            self.AskStreams();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED: {
            // A server that was in use is looked for again at once, so that one restarting is
            // taken as soon as it listens; one that never answered, in a second. One that took
            // the connection and then hung or refused it stays the mixer meanwhile: ALSA's
            // default device would lead to it too.
            const bool wasReady = self.m_wasReady, tookIt = self.m_present;
            self.Drop();
            self.m_present = tookIt && !wasReady;
            self.RetryIn(wasReady ? 0 : PA_USEC_PER_SEC);
            self.Changed();
            break;
        }
        default:
            break;
    }
}

void PulseMixer::OnEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* self) {
    // Every report is taken as it comes, and answered by reading the state again; a change of
    // another sink or of the server may be a new default sink.
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SINK_INPUT)
        static_cast<PulseMixer*>(self)->AskStreams();
    else
        static_cast<PulseMixer*>(self)->AskSink();
}

bool PulseMixer::Ask(Question& question) {
    if (m_context == nullptr || pa_context_get_state(m_context) != PA_CONTEXT_READY) return false;
    if (question.out) {
        question.again = true;
        return false;
    }
    question = {true, false, m_writes};
    return true;
}

void PulseMixer::Sent(Question& question, pa_operation* operation) {
    if (operation != nullptr)
        pa_operation_unref(operation);
    else
        question.out = false;
}

bool PulseMixer::Answered(Question& question) {
    question.out = false;
    const bool fresh = question.writesWhenAsked == m_writes;
    question.again = question.again || !fresh;
    return fresh;
}

bool PulseMixer::Sent(pa_operation* write) {
    ++m_writes;
    if (write == nullptr) return false;
    pa_operation_unref(write);
    return true;
}

void PulseMixer::AskSink() {
    if (!Ask(m_sinkQuestion)) return;
    m_incomingSink.reset();
    // The server resolves the name itself, so a new default sink is what is read.
    Sent(m_sinkQuestion,
         pa_context_get_sink_info_by_name(m_context, "@DEFAULT_SINK@", OnSink, this));
}

void PulseMixer::AskStreams() {
    if (!Ask(m_streamsQuestion)) return;
    m_incomingStreams.clear();
    Sent(m_streamsQuestion, pa_context_get_sink_input_info_list(m_context, OnStream, this));
}

void PulseMixer::OnSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto& self = *static_cast<PulseMixer*>(data);
    if (eol == 0 && info != nullptr) {
        self.m_incomingSink = Sink{info->index, info->volume, info->mute != 0};
        return;
    }
    // The end of the answer; without a default sink, an error.
    if (self.Answered(self.m_sinkQuestion)) {
        self.m_sink = self.m_incomingSink;
        self.Changed();
    }
    if (self.m_sinkQuestion.again) self.AskSink();
}

void PulseMixer::OnStream(pa_context*, const pa_sink_input_info* info, int eol, void* data) {
    auto& self = *static_cast<PulseMixer*>(data);
    if (eol == 0 && info != nullptr) {
        if (info->has_volume && info->volume_writable)
            self.m_incomingStreams.push_back({info->index, info->sink, info->volume});
        return;
    }
    if (self.Answered(self.m_streamsQuestion)) {
        self.m_streams = std::move(self.m_incomingStreams);
        self.Changed();
    }
    self.m_incomingStreams.clear();
    if (self.m_streamsQuestion.again) self.AskStreams();
}

void PulseMixer::Changed() {
    if (m_changed) m_changed();
}

std::vector<PulseMixer::Stream*> PulseMixer::StreamsOnSink() {
    std::vector<Stream*> streams;
    for (Stream& stream : m_streams)
        if (m_sink && stream.sink == m_sink->index) streams.push_back(&stream);
    return streams;
}

namespace {

template <typename Streams>
std::vector<uint32_t> Levels(const Streams& streams) {
    std::vector<uint32_t> levels;
    for (const auto* stream : streams) levels.push_back(pa_cvolume_max(&stream->volume));
    return levels;
}

}  // namespace

// The speakers line and its controls are there as soon as a server is, so that they can be
// chosen before its first answers come; their values are read once the sink is known.
bool PulseMixer::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    if (componentType == MIXER_LINE_DST_SPEAKERS && m_present) {
        lineId = kSpeakersLine;
        return true;
    }
    // No application playing on the default sink: no wave line.
    if (componentType == MIXER_LINE_SRC_WAVEOUT && !StreamsOnSink().empty()) {
        lineId = kWaveLine;
        return true;
    }
    return false;
}

bool PulseMixer::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                      MixerControlInfo& control) {
    if (!m_present || (lineId != kSpeakersLine && lineId != kWaveLine)) return false;
    if (controlType == MIXER_CONTROL_VOLUME) {
        control.controlId = lineId == kSpeakersLine ? kMasterVolume : kWaveVolume;
        control.minimum = 0;
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
    if (!m_sink) return false;
    switch (controlId) {
        case kMasterVolume:  // the loudest channel, as it is, above full volume too
            value = pa_cvolume_max(&m_sink->volume);
            return true;
        case kMasterMute:
            value = m_sink->muted ? 1 : 0;
            return true;
        case kWaveVolume:
            return LoudestLevel(Levels(StreamsOnSink()), value);
        default:
            return false;
    }
}

bool PulseMixer::SetControlValue(uint32_t controlId, uint32_t value) {
    if (!m_sink) return false;
    switch (controlId) {
        case kMasterVolume: {
            // The loudest channel gets the value; the balance between channels stays.
            pa_cvolume volume = m_sink->volume;
            pa_cvolume_scale(&volume, Capped(value, pa_cvolume_max(&volume)));
            if (!Sent(pa_context_set_sink_volume_by_index(m_context, m_sink->index, &volume,
                                                          nullptr, nullptr)))
                return false;
            m_sink->volume = volume;
            return true;
        }
        case kMasterMute:
            if (!Sent(pa_context_set_sink_mute_by_index(m_context, m_sink->index, value != 0,
                                                        nullptr, nullptr)))
                return false;
            m_sink->muted = value != 0;
            return true;
        case kWaveVolume: {
            const std::vector<Stream*> streams = StreamsOnSink();
            const std::vector<uint32_t> levels = Levels(streams);
            uint32_t loudest = 0;
            if (!LoudestLevel(levels, loudest)) return false;
            const std::vector<uint32_t> scaled = ScaleToLoudest(levels, Capped(value, loudest));
            bool sent = true;
            for (size_t i = 0; i < streams.size(); ++i) {
                pa_cvolume volume = streams[i]->volume;
                pa_cvolume_scale(&volume, scaled[i]);
                if (Sent(pa_context_set_sink_input_volume(m_context, streams[i]->index, &volume,
                                                          nullptr, nullptr)))
                    streams[i]->volume = volume;
                else
                    sent = false;
            }
            return sent;
        }
        default:
            return false;
    }
}

MixerChoice::MixerChoice() = default;

MixerChoice::~MixerChoice() = default;

IMixerDevice* MixerChoice::Live() {
    if (m_pulse.Present()) {
        if (m_alsa) m_alsa->Close();
        return &m_pulse;
    }
    if (!m_alsa) m_alsa = std::make_unique<AlsaMixer>();
    if (!m_alsa->GetDevCaps()) m_alsa->Open(0);
    return m_alsa->GetDevCaps() ? m_alsa.get() : nullptr;
}

bool MixerChoice::Close() {
    return !m_alsa || m_alsa->Close();
}

bool MixerChoice::GetLineByComponentType(uint32_t componentType, uint32_t& lineId) {
    IMixerDevice* live = Live();
    return live != nullptr && live->GetLineByComponentType(componentType, lineId);
}

bool MixerChoice::GetLineControlByType(uint32_t lineId, uint32_t controlType,
                                       MixerControlInfo& control) {
    IMixerDevice* live = Live();
    return live != nullptr && live->GetLineControlByType(lineId, controlType, control);
}

bool MixerChoice::GetControlValue(uint32_t controlId, uint32_t& value) {
    IMixerDevice* live = Live();
    return live != nullptr && live->GetControlValue(controlId, value);
}

bool MixerChoice::SetControlValue(uint32_t controlId, uint32_t value) {
    IMixerDevice* live = Live();
    return live != nullptr && live->SetControlValue(controlId, value);
}

}  // namespace hvx::linux_platform
