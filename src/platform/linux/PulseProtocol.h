// The native protocol of PulseAudio-compatible sound servers (PulseAudio, or PipeWire's
// pipewire-pulse), as much of it as a volume control needs: the default sink's volume and mute,
// the application streams' volumes, and the server's reports of changes. Speaking it directly,
// rather than through libpulse, keeps libpulse's own dependencies (sound file codecs, libsystemd,
// libgcrypt: more memory than the rest of the mixer) out of a program resident all session.
//
// A message is a 20-byte header (length, channel, two offset words and flags, big-endian) and a
// run of values, each after a byte naming its type. A request is the command, a tag and its
// arguments; the answer carries the same tag.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hvx::linux_platform::pulse {

using Clock = std::chrono::steady_clock;

inline constexpr uint32_t kVolumeNorm = 0x10000;  // full volume; above it the server amplifies
inline constexpr uint32_t kInvalidIndex = 0xFFFFFFFF;
inline constexpr size_t kMaxChannels = 32;

enum Command : uint32_t {
    kError = 0,
    kReply = 2,
    kAuth = 8,
    kSetClientName = 9,
    kGetSinkInfo = 21,
    kGetSinkInputInfoList = 30,
    kSubscribe = 35,
    kSetSinkVolume = 36,
    kSetSinkInputVolume = 37,
    kSetSinkMute = 39,
    kSubscribeEvent = 66,
};

using Volume = std::vector<uint32_t>;  // a level for each channel

class TagWriter {
  public:
    TagWriter& U32(uint32_t value);
    TagWriter& String(const char* value);  // nullptr is "no name"
    TagWriter& Bool(bool value);
    TagWriter& Levels(const Volume& volume);
    TagWriter& Bytes(const void* data, uint32_t size);
    TagWriter& Properties(const char* key, const char* value);  // a list of one property
    TagWriter& Append(const TagWriter& other);
    const std::vector<uint8_t>& Data() const { return m_data; }

  private:
    void Word(uint32_t value);
    std::vector<uint8_t> m_data;
};

// Reads values in order. A value of another type than asked for, or one running past the end,
// fails that read and every later one: what a server sends is checked, never trusted.
class TagReader {
  public:
    TagReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit TagReader(const std::vector<uint8_t>& data) : TagReader(data.data(), data.size()) {}
    bool U32(uint32_t& value);
    bool Bool(bool& value);
    bool Levels(Volume& volume);
    bool Skip(int count = 1);  // values of any type
    bool AtEnd() const { return m_ok && m_at == m_size; }

  private:
    bool Tag(uint8_t& tag);
    bool Take(size_t size, const uint8_t*& bytes);
    bool Word(uint32_t& value);
    bool SkipString();
    bool SkipProperties();
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_ok = true;
};

struct SinkInfo {
    uint32_t index = kInvalidIndex;
    Volume volume;
    bool muted = false;
};
struct StreamInfo {
    uint32_t index = kInvalidIndex;
    uint32_t sink = kInvalidIndex;
    Volume volume;
    bool settable = false;  // has a volume, and one a client may set
};
// The answers to kGetSinkInfo and kGetSinkInputInfoList, in the layout of kVersion.
bool ParseSink(TagReader& reader, SinkInfo& sink);
bool ParseStreams(TagReader& reader, std::vector<StreamInfo>& streams);

uint32_t Loudest(const Volume& volume);
// The loudest channel brought to level, the others scaled with it (all silent: each at level).
Volume Scaled(Volume volume, uint32_t level);

// Where the session's server listens, in the order to try: the local sockets PULSE_SERVER
// names, else the user's runtime directory; then the system-wide server's socket.
std::vector<std::string> ServerPaths();

class Client {
  public:
    // The protocol version asked for; the server answers in its layout whatever its own.
    static constexpr uint32_t kVersion = 20;

    Client() = default;
    ~Client() { Close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Connects to the first server that takes the connection, introduces this program and asks
    // for reports of changes to sinks, streams and the default sink. False when none answered
    // by the deadline; TimedOut() then tells whether one took the connection but stayed silent.
    bool Open(Clock::time_point deadline);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    bool TimedOut() const { return m_timedOut; }
    // Sends the requests at once and waits for every answer (one round trip); answers[i] holds
    // what follows the tag in the answer to requests[i]. False when one was refused, or when
    // the connection broke or the deadline passed: the connection is then closed.
    struct Request {
        uint32_t command;
        TagWriter arguments;
    };
    bool Call(const std::vector<Request>& requests, std::vector<std::vector<uint8_t>>* answers,
              Clock::time_point deadline, bool withCredentials = false);
    // Takes in what the server sent meanwhile, without waiting; false when it has gone away.
    bool Poll();
    // How many changes the server has reported so far.
    uint64_t Reports() const { return m_reports; }

  private:
    bool Send(const TagWriter& message, bool withCredentials, Clock::time_point deadline);
    enum class Got { kMessage, kNothing, kGone };
    // The next message on the control channel, waiting until the deadline when wait is set.
    Got Receive(std::vector<uint8_t>& message, bool wait, Clock::time_point deadline);
    bool WaitFor(short events, Clock::time_point deadline);

    int m_fd = -1;
    uint32_t m_nextTag = 0;
    uint64_t m_reports = 0;
    bool m_timedOut = false;
    std::vector<uint8_t> m_in;
};

}  // namespace hvx::linux_platform::pulse
