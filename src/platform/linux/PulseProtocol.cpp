#include "platform/linux/PulseProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace hvx::linux_platform::pulse {

namespace {

// The byte before each value, naming its type.
enum Tag : uint8_t {
    kString = 't',
    kNoString = 'N',
    kU32 = 'L',
    kU8 = 'B',
    kU64 = 'R',
    kS64 = 'r',
    kSampleSpec = 'a',
    kBytes = 'x',
    kTrue = '1',
    kFalse = '0',
    kTimeval = 'T',
    kMicroseconds = 'U',
    kChannelMap = 'm',
    kVolume = 'v',
    kProperties = 'P',
    kLevel = 'V',
    kFormat = 'f',
};

constexpr size_t kHeaderSize = 20;
constexpr uint32_t kControlChannel = 0xFFFFFFFF;
// Larger messages than any the server sends a client like this: a broken stream, not a message.
constexpr uint32_t kMaxMessage = 16 * 1024 * 1024;
constexpr size_t kCookieSize = 256;
constexpr uint32_t kSubscribeSinks = 0x0001, kSubscribeStreams = 0x0004, kSubscribeServer = 0x0080;

uint32_t ReadWord(const uint8_t* bytes) {
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

// The server's key, where the user has one: a server that cannot see who connects (one
// running as another user) asks for it. Zeros otherwise; a server of this user knows it by the
// credentials sent along.
std::vector<uint8_t> Cookie() {
    std::vector<std::string> paths;
    const char* home = std::getenv("HOME");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (const char* cookie = std::getenv("PULSE_COOKIE")) paths.emplace_back(cookie);
    if (config != nullptr && *config != 0) paths.push_back(std::string(config) + "/pulse/cookie");
    if (home != nullptr) {
        paths.push_back(std::string(home) + "/.config/pulse/cookie");
        paths.push_back(std::string(home) + "/.pulse-cookie");
    }
    std::vector<uint8_t> cookie(kCookieSize);
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const ssize_t got = ::read(fd, cookie.data(), kCookieSize);
        ::close(fd);
        if (got == ssize_t(kCookieSize)) return cookie;
    }
    std::fill(cookie.begin(), cookie.end(), 0);
    return cookie;
}

}  // namespace

void TagWriter::Word(uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) m_data.push_back(uint8_t(value >> shift));
}

TagWriter& TagWriter::U32(uint32_t value) {
    m_data.push_back(kU32);
    Word(value);
    return *this;
}

TagWriter& TagWriter::String(const char* value) {
    if (value == nullptr) {
        m_data.push_back(kNoString);
        return *this;
    }
    m_data.push_back(kString);
    m_data.insert(m_data.end(), value, value + std::strlen(value) + 1);
    return *this;
}

TagWriter& TagWriter::Append(const TagWriter& other) {
    m_data.insert(m_data.end(), other.m_data.begin(), other.m_data.end());
    return *this;
}

TagWriter& TagWriter::Bool(bool value) {
    m_data.push_back(value ? kTrue : kFalse);
    return *this;
}

TagWriter& TagWriter::Levels(const Volume& volume) {
    m_data.push_back(kVolume);
    m_data.push_back(uint8_t(volume.size()));
    for (uint32_t level : volume) Word(level);
    return *this;
}

TagWriter& TagWriter::Bytes(const void* data, uint32_t size) {
    m_data.push_back(kBytes);
    Word(size);
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_data.insert(m_data.end(), bytes, bytes + size);
    return *this;
}

TagWriter& TagWriter::Properties(const char* key, const char* value) {
    m_data.push_back(kProperties);
    String(key);
    const auto size = uint32_t(std::strlen(value) + 1);
    U32(size);
    Bytes(value, size);
    m_data.push_back(kNoString);
    return *this;
}

bool TagReader::Take(size_t size, const uint8_t*& bytes) {
    m_ok = m_ok && size <= m_size - m_at;
    if (!m_ok) return false;
    bytes = m_data + m_at;
    m_at += size;
    return true;
}

bool TagReader::Tag(uint8_t& tag) {
    const uint8_t* byte = nullptr;
    if (!Take(1, byte)) return false;
    tag = *byte;
    return true;
}

bool TagReader::Word(uint32_t& value) {
    const uint8_t* bytes = nullptr;
    if (!Take(4, bytes)) return false;
    value = ReadWord(bytes);
    return true;
}

bool TagReader::U32(uint32_t& value) {
    uint8_t tag = 0;
    m_ok = Tag(tag) && tag == kU32;
    return Word(value);
}

bool TagReader::Bool(bool& value) {
    uint8_t tag = 0;
    m_ok = Tag(tag) && (tag == kTrue || tag == kFalse);
    value = tag == kTrue;
    return m_ok;
}

bool TagReader::Levels(Volume& volume) {
    uint8_t tag = 0, channels = 0;
    m_ok = Tag(tag) && tag == kVolume && Tag(channels) && channels > 0 && channels <= kMaxChannels;
    volume.assign(m_ok ? channels : 0, 0);
    for (uint32_t& level : volume) Word(level);
    return m_ok;
}

bool TagReader::SkipString() {
    const uint8_t* bytes = nullptr;
    const void* end = m_ok ? std::memchr(m_data + m_at, 0, m_size - m_at) : nullptr;
    m_ok = end != nullptr &&
           Take(size_t(static_cast<const uint8_t*>(end) - (m_data + m_at)) + 1, bytes);
    return m_ok;
}

bool TagReader::SkipProperties() {
    // Pairs of a name and a value (its size, then as many bytes), up to a "no string".
    for (uint8_t tag = 0; Tag(tag) && tag != kNoString;) {
        uint32_t size = 0, bytes = 0;
        const uint8_t* data = nullptr;
        m_ok = tag == kString && SkipString() && U32(size) && Tag(tag) && tag == kBytes &&
               Word(bytes) && bytes == size && Take(bytes, data);
    }
    return m_ok;
}

bool TagReader::Skip(int count) {
    for (; count > 0 && m_ok; --count) {
        uint8_t tag = 0, size = 0;
        uint32_t length = 0;
        const uint8_t* bytes = nullptr;
        if (!Tag(tag)) return false;
        switch (tag) {
            case kString:
                SkipString();
                break;
            case kNoString:
            case kTrue:
            case kFalse:
                break;
            case kU8:
                Take(1, bytes);
                break;
            case kU32:
            case kLevel:
                Take(4, bytes);
                break;
            case kU64:
            case kS64:
            case kTimeval:
            case kMicroseconds:
                Take(8, bytes);
                break;
            case kSampleSpec:
                Take(6, bytes);
                break;
            case kBytes:
                m_ok = Word(length) && Take(length, bytes);
                break;
            case kChannelMap:
                m_ok = Tag(size) && Take(size, bytes);
                break;
            case kVolume:
                m_ok = Tag(size) && Take(size_t(size) * 4, bytes);
                break;
            case kProperties:
                SkipProperties();
                break;
            case kFormat:  // an encoding byte and a property list
                m_ok = Tag(tag) && tag == kU8 && Take(1, bytes) && Tag(tag) && tag == kProperties &&
                       SkipProperties();
                break;
            default:
                m_ok = false;
        }
    }
    return m_ok;
}

bool ParseSink(TagReader& reader, SinkInfo& sink) {
    // index, name, description, sample format, channel map, owner module, volume, mute; what
    // follows is of no use here.
    return reader.U32(sink.index) && reader.Skip(5) && reader.Levels(sink.volume) &&
           reader.Bool(sink.muted);
}

bool ParseStreams(TagReader& reader, std::vector<StreamInfo>& streams) {
    streams.clear();
    while (!reader.AtEnd()) {
        // index, name, owner module, client, sink, sample format, channel map, volume, two
        // latencies, resample method, driver, mute, properties, corked, has volume, volume
        // writable
        StreamInfo stream;
        bool hasVolume = false, writable = false;
        if (!reader.U32(stream.index) || !reader.Skip(3) || !reader.U32(stream.sink) ||
            !reader.Skip(2) || !reader.Levels(stream.volume) || !reader.Skip(7) ||
            !reader.Bool(hasVolume) || !reader.Bool(writable))
            return false;
        stream.settable = hasVolume && writable;
        streams.push_back(std::move(stream));
    }
    return true;
}

uint32_t Loudest(const Volume& volume) {
    return volume.empty() ? 0 : *std::max_element(volume.begin(), volume.end());
}

Volume Scaled(Volume volume, uint32_t level) {
    const uint64_t loudest = Loudest(volume);
    for (uint32_t& channel : volume)
        channel = loudest == 0 ? level : uint32_t(channel * uint64_t(level) / loudest);
    return volume;
}

std::vector<std::string> ServerPaths() {
    std::vector<std::string> paths;
    if (const char* servers = std::getenv("PULSE_SERVER"); servers != nullptr && *servers != 0) {
        // Servers to try, in order: "unix:PATH" or a bare path is a local socket, each maybe
        // after "{machine id}"; other kinds (over the network) are not for a volume control.
        const std::string list(servers);
        for (size_t start = 0, end = 0; start < list.size(); start = end + 1) {
            end = std::min(list.find_first_of(" \t\n", start), list.size());
            std::string server = list.substr(start, end - start);
            if (server.empty()) continue;
            if (server[0] == '{')
                server.erase(0, std::min(server.find('}'), server.size() - 1) + 1);
            if (server.rfind("unix:", 0) == 0) server.erase(0, 5);
            if (!server.empty() && server[0] == '/') paths.push_back(server);
        }
        return paths;
    }
    const char* runtime = std::getenv("PULSE_RUNTIME_PATH");
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != 0)
        paths.push_back(std::string(runtime) + "/native");
    else if (xdg != nullptr && *xdg != 0)
        paths.push_back(std::string(xdg) + "/pulse/native");
    paths.emplace_back("/var/run/pulse/native");
    return paths;
}

void Client::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_in.clear();
}

bool Client::WaitFor(short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        m_timedOut = left <= 0;
        if (m_timedOut) return false;
        pollfd entry{m_fd, events, 0};
        const int ready = ::poll(&entry, 1, int(left));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

bool Client::Open(Clock::time_point deadline) {
    Close();
    m_timedOut = false;
    for (const std::string& path : ServerPaths()) {
        sockaddr_un address{};
        if (path.size() >= sizeof address.sun_path) continue;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0) return false;
        if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            break;
        // Its queue full: a server that is there but does not take connections.
        m_timedOut = errno == EAGAIN;
        Close();
        if (m_timedOut) return false;
    }
    if (m_fd < 0) return false;
    const std::vector<uint8_t> cookie = Cookie();
    Request auth{kAuth, {}}, name{kSetClientName, {}}, subscribe{kSubscribe, {}};
    auth.arguments.U32(kVersion).Bytes(cookie.data(), kCookieSize);
    name.arguments.Properties("application.name", "HVX");
    subscribe.arguments.U32(kSubscribeSinks | kSubscribeStreams | kSubscribeServer);
    // Each after the answer to the one before: the server takes nothing before it knows who
    // is asking.
    if (Call({auth}, nullptr, deadline, true) && Call({name}, nullptr, deadline) &&
        Call({subscribe}, nullptr, deadline))
        return true;
    Close();
    return false;
}

bool Client::Send(const TagWriter& message, bool withCredentials, Clock::time_point deadline) {
    const std::vector<uint8_t>& payload = message.Data();
    std::vector<uint8_t> packet(kHeaderSize, 0);
    const uint32_t header[2] = {uint32_t(payload.size()), kControlChannel};
    for (int word = 0; word < 2; ++word)
        for (int i = 0; i < 4; ++i) packet[word * 4 + i] = uint8_t(header[word] >> (24 - 8 * i));
    packet.insert(packet.end(), payload.begin(), payload.end());
    for (size_t sent = 0; sent < packet.size();) {
        iovec part{packet.data() + sent, packet.size() - sent};
        msghdr out{};
        out.msg_iov = &part;
        out.msg_iovlen = 1;
        // Who is asking, vouched for by the kernel: how a server knows its own user.
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))] = {};
        if (withCredentials && sent == 0) {
            out.msg_control = control;
            out.msg_controllen = sizeof control;
            cmsghdr* credentials = CMSG_FIRSTHDR(&out);
            credentials->cmsg_level = SOL_SOCKET;
            credentials->cmsg_type = SCM_CREDENTIALS;
            credentials->cmsg_len = CMSG_LEN(sizeof(ucred));
            const ucred self{::getpid(), ::getuid(), ::getgid()};
            std::memcpy(CMSG_DATA(credentials), &self, sizeof self);
        }
        const ssize_t done = ::sendmsg(m_fd, &out, MSG_NOSIGNAL);
        if (done > 0) {
            sent += size_t(done);
        } else if (done < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!WaitFor(POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

Client::Got Client::Receive(std::vector<uint8_t>& message, bool wait, Clock::time_point deadline) {
    for (;;) {
        // Whole messages first; those on other channels (sample data) are not for this client.
        while (m_in.size() >= kHeaderSize) {
            const uint32_t length = ReadWord(m_in.data());
            if (length > kMaxMessage) return Got::kGone;
            if (m_in.size() < kHeaderSize + length) break;
            const bool control = ReadWord(m_in.data() + 4) == kControlChannel;
            const auto end = m_in.begin() + kHeaderSize + length;
            if (control) message.assign(m_in.begin() + kHeaderSize, end);
            m_in.erase(m_in.begin(), end);
            if (control) return Got::kMessage;
        }
        uint8_t buffer[4096];
        const ssize_t got = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (got > 0) {
            m_in.insert(m_in.end(), buffer, buffer + got);
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            return Got::kGone;  // closed by the server, or broken
        } else if (!wait) {
            return Got::kNothing;
        } else if (!WaitFor(POLLIN, deadline)) {
            return m_timedOut ? Got::kNothing : Got::kGone;
        }
    }
}

bool Client::Call(const std::vector<Request>& requests, std::vector<std::vector<uint8_t>>* answers,
                  Clock::time_point deadline, bool withCredentials) {
    if (m_fd < 0) return false;
    const uint32_t first = m_nextTag;
    bool sent = true;
    for (const Request& request : requests) {
        TagWriter message;
        message.U32(request.command).U32(m_nextTag++).Append(request.arguments);
        sent = sent && Send(message, withCredentials, deadline);
    }
    if (answers != nullptr) answers->assign(requests.size(), {});
    std::vector<bool> answered(requests.size(), false);
    bool accepted = sent;
    size_t waiting = sent ? requests.size() : 0;
    std::vector<uint8_t> message;
    while (waiting > 0 && Receive(message, true, deadline) == Got::kMessage) {
        TagReader reader(message);
        uint32_t command = 0, tag = 0;
        if (!reader.U32(command) || !reader.U32(tag)) continue;
        if (command == kSubscribeEvent) ++m_reports;
        const uint32_t slot = tag - first;
        if ((command != kReply && command != kError) || slot >= requests.size() || answered[slot])
            continue;
        answered[slot] = true;
        --waiting;
        accepted = accepted && command == kReply;
        if (answers != nullptr) (*answers)[slot].assign(message.begin() + 10, message.end());
    }
    // A refusal leaves the connection as it was; a broken or silent one is dropped.
    if (waiting > 0 || !sent) {
        Close();
        return false;
    }
    return accepted;
}

bool Client::Poll() {
    if (m_fd < 0) return false;
    std::vector<uint8_t> message;
    Got got;
    while ((got = Receive(message, false, {})) == Got::kMessage) {
        TagReader reader(message);
        uint32_t command = 0;
        if (reader.U32(command) && command == kSubscribeEvent) ++m_reports;
    }
    if (got == Got::kGone) Close();
    return m_fd >= 0;
}

}  // namespace hvx::linux_platform::pulse
