// The mixer device as a PulseAudio-compatible sound server (PulseAudio, or PipeWire's
// pipewire-pulse) sees it: the default sink gives the speakers line (its volume, and its mute),
// the application streams playing on it (sink inputs) give the wave line. Values are the
// server's own scale, 0 to 65536 (full volume), one value for all channels.
#pragma once

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/MixerDevice.h"
#include "platform/linux/PulseProtocol.h"

namespace hvx::linux_platform {

class PulseMixer : public IMixerDevice {
  public:
    PulseMixer();
    ~PulseMixer() override;
    PulseMixer(const PulseMixer&) = delete;
    PulseMixer& operator=(const PulseMixer&) = delete;

    // Connects to the session's sound server unless already connected; false when none
    // answers in time (never spawns one).
    bool Connect();
    // The last failed connection found a server that did not answer within the wait.
    bool Silent() const { return m_silent; }

    uint32_t GetNumDevs() override;
    bool Open(uint32_t deviceId) override;
    bool GetDevCaps() override { return m_open && Connect(); }
    bool Close() override;
    bool GetLineByComponentType(uint32_t componentType, uint32_t& lineId) override;
    bool GetLineControlByType(uint32_t lineId, uint32_t controlType,
                              MixerControlInfo& control) override;
    bool GetControlValue(uint32_t controlId, uint32_t& value) override;
    bool SetControlValue(uint32_t controlId, uint32_t value) override;

  private:
    void Disconnect();
    void Forget() { m_sinkKnown = m_streamsKnown = false; }
    // Sends the requests and waits for the answers; false when one was refused, the connection
    // broke or the wait ran out. A server that stops answering costs one bounded wait, then the
    // connection is dropped.
    bool Call(const std::vector<pulse::Client::Request>& requests,
              std::vector<std::vector<uint8_t>>* answers = nullptr);
    // The default sink, and the streams playing on it whose volume can be set, as last read;
    // read again once the server has reported a change, or after a change of ours.
    bool ReadSink(pulse::SinkInfo& sink);
    bool ReadStreams(pulse::SinkInfo& sink, std::vector<pulse::StreamInfo>& streams);

    pulse::Client m_client;
    bool m_open = false;
    bool m_silent = false;
    pulse::SinkInfo m_sink;
    std::vector<pulse::StreamInfo> m_streams;
    bool m_sinkKnown = false;
    bool m_streamsKnown = false;
    uint64_t m_reportsSeen = 0;  // changes the server had reported when last looked
    // After a failed connection, the next attempt waits a moment: a hung server must not cost
    // a full wait on every call.
    std::chrono::steady_clock::time_point m_retryAfter{};
};

// The sound server's mixer when a server answers, else the ALSA mixer of the default device.
// The server is looked for on a thread of its own from construction on, so that start-up goes
// on meanwhile; Take waits for the answer and gives the mixer.
class MixerChoice {
  public:
    MixerChoice();
    ~MixerChoice();
    MixerChoice(const MixerChoice&) = delete;
    MixerChoice& operator=(const MixerChoice&) = delete;

    std::unique_ptr<IMixerDevice> Take();

  private:
    std::unique_ptr<PulseMixer> m_pulse;
    bool m_answered = false;
    std::thread m_probe;
};

}  // namespace hvx::linux_platform
