// The sound server's messages as the server lays them out, and a scripted server on a real
// socket: what HVX reads from a server is checked, never trusted.
#include <algorithm>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/linux/PulseProtocol.h"

namespace hvx::linux_platform::pulse {
namespace {

using Bytes = std::vector<uint8_t>;

void Add(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// One application stream as a server sends it for protocol version 20.
Bytes StreamEntry(uint32_t index, uint32_t sink, const Volume& volume, bool writable) {
    Bytes out = TagWriter().U32(index).String("Music").U32(kInvalidIndex).U32(7).U32(sink).Data();
    Add(out, {'a', 3, 2, 0, 0, 0xAC, 0x44, 'm', 2, 1, 2});  // s16le, 2 channels, 44100 Hz
    Add(out, TagWriter().Levels(volume).Data());
    Add(out, {'U', 0, 0, 0, 0, 0, 0, 0x10, 0, 'U', 0, 0, 0, 0, 0, 0, 0, 0});  // latencies
    Add(out, TagWriter()
                 .String(nullptr)
                 .String("protocol-native.c")
                 .Bool(false)
                 .Properties("media.name", "Music")
                 .Bool(false)
                 .Bool(true)
                 .Bool(writable)
                 .Data());
    return out;
}

TEST(PulseProtocol, StreamsAreReadAndEveryCutShortListIsRefused) {
    const Bytes first = StreamEntry(4, 1, {30000, 15000}, true);
    Bytes list = first;
    Add(list, StreamEntry(9, 2, {65536}, false));
    std::vector<StreamInfo> streams;
    TagReader reader(list);
    ASSERT_TRUE(ParseStreams(reader, streams));
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].index, 4u);
    EXPECT_EQ(streams[0].sink, 1u);
    EXPECT_EQ(streams[0].volume, (Volume{30000, 15000}));
    EXPECT_TRUE(streams[0].settable);
    EXPECT_EQ(streams[1].volume, Volume{65536});
    EXPECT_FALSE(streams[1].settable);
    for (size_t size = 1; size < list.size(); ++size) {
        TagReader cut(list.data(), size);
        EXPECT_EQ(ParseStreams(cut, streams), size == first.size()) << size;
    }
}

TEST(PulseProtocol, SkipsEveryKindOfValueAndRefusesDamagedOnes) {
    const struct {
        Bytes bytes;
        bool valid;
    } cases[] = {
        {{'t', 'a', 'b', 0, 'N', '1', '0', 'B', 7, 'V', 0, 1, 0, 0}, true},
        {{'R', 1, 2, 3, 4, 5, 6, 7, 8, 'r', 1, 2, 3, 4, 5, 6, 7, 8, 'T', 1, 2, 3, 4, 5, 6, 7, 8},
         true},
        {{'x', 0, 0, 0, 2, 9, 9, 'f', 'B', 1, 'P', 'N'}, true},
        {{'t', 'a', 'b'}, false},  // no end to the string
        {{'x', 0xFF, 0xFF, 0xFF, 0xFF, 1}, false},
        {{'m', 3, 1, 2}, false},
        {{'P', 't', 'k', 0, 'L', 0, 0, 0, 2, 'x', 0, 0, 0, 3, 'a', 'b', 'c', 'N'}, false},
        {{'P', 'L', 0, 0, 0, 1, 'N'}, false},  // a property without a name
        {{'f', 'L', 0, 0, 0, 1, 'P', 'N'}, false},
        {{'?'}, false},
    };
    for (const auto& test : cases) {
        TagReader reader(test.bytes);
        bool read = true;
        while (read && !reader.AtEnd()) read = reader.Skip();
        EXPECT_EQ(read, test.valid) << test.bytes.size();
    }
}

TEST(PulseProtocol, SinkIsReadFromItsFirstValues) {
    Bytes answer = TagWriter().U32(3).String("hvx_sink").String("Null Output").Data();
    Add(answer, {'a', 3, 2, 0, 0, 0xBB, 0x80, 'm', 2, 1, 2, 'L', 0, 0, 0, 5});
    Add(answer, TagWriter().Levels({20000, 40000}).Bool(true).U32(4).Data());  // and so on
    TagReader reader(answer);
    SinkInfo sink;
    ASSERT_TRUE(ParseSink(reader, sink));
    EXPECT_EQ(sink.index, 3u);
    EXPECT_EQ(sink.volume, (Volume{20000, 40000}));
    EXPECT_TRUE(sink.muted);
    Volume volume;
    uint32_t index = 0;
    EXPECT_FALSE(TagReader(Bytes{'v', 0}).Levels(volume));  // a volume of no channel
    EXPECT_FALSE(TagReader(TagWriter().String("sink").Data()).U32(index));
}

TEST(PulseProtocol, ScalingKeepsTheBalanceBetweenChannels) {
    EXPECT_EQ(Scaled({30000, 15000}, 50000), (Volume{50000, 25000}));
    EXPECT_EQ(Scaled({0, 0}, 1000), (Volume{1000, 1000}));
    EXPECT_EQ(Scaled({65536, 1}, 0), (Volume{0, 0}));
    EXPECT_EQ(Loudest({3, 9, 4}), 9u);
}

TEST(PulseProtocol, ServerPathsFollowTheEnvironment) {
    const struct {
        const char* server;
        const char* runtime;
        std::vector<std::string> paths;
    } cases[] = {
        {"{6f1c}unix:/run/a tcp:host /run/b", nullptr, {"/run/a", "/run/b"}},
        {"tcp:host", nullptr, {}},
        {nullptr, nullptr, {"/xdg/pulse/native", "/var/run/pulse/native"}},
        {nullptr, "/mine", {"/mine/native", "/var/run/pulse/native"}},
    };
    for (const auto& test : cases) {
        test.server ? setenv("PULSE_SERVER", test.server, 1) : unsetenv("PULSE_SERVER");
        test.runtime ? setenv("PULSE_RUNTIME_PATH", test.runtime, 1)
                     : unsetenv("PULSE_RUNTIME_PATH");
        setenv("XDG_RUNTIME_DIR", "/xdg", 1);
        EXPECT_EQ(ServerPaths(), test.paths);
    }
    unsetenv("PULSE_SERVER");
    unsetenv("PULSE_RUNTIME_PATH");
}

// A server on a real socket that answers as told: the client sends who it is, takes reports
// while it waits, passes over what is not for it, and drops a connection that breaks.
TEST(PulseProtocol, ClientAgainstAScriptedServer) {
    const std::string path = testing::TempDir() + "hvx-pulse-" + std::to_string(getpid());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    unlink(path.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    setenv("PULSE_SERVER", ("unix:" + path).c_str(), 1);

    uid_t sender = uid_t(-1);
    std::thread server([&] {
        const int fd = accept(listener, nullptr, nullptr);
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
        const auto send = [fd](uint32_t channel, const Bytes& payload, uint32_t size) {
            const TagWriter header = TagWriter().U32(size).U32(channel).U32(0).U32(0).U32(0);
            Bytes packet;  // the header's words without their type bytes
            for (size_t i = 0; i < header.Data().size(); ++i)
                if (i % 5 != 0) packet.push_back(header.Data()[i]);
            Add(packet, payload);
            ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
        };
        const auto control = [&](const TagWriter& message) {
            send(0xFFFFFFFF, message.Data(), uint32_t(message.Data().size()));
        };
        for (uint32_t tag = 0; tag < 4; ++tag) {
            uint8_t buffer[1024];
            alignas(cmsghdr) char ancillary[CMSG_SPACE(sizeof(ucred))];
            iovec part{buffer, sizeof buffer};
            msghdr in{};
            in.msg_iov = &part;
            in.msg_iovlen = 1;
            in.msg_control = ancillary;
            in.msg_controllen = sizeof ancillary;
            if (recvmsg(fd, &in, 0) <= 0) break;
            if (tag == 0 && CMSG_FIRSTHDR(&in) != nullptr)
                sender = reinterpret_cast<ucred*>(CMSG_DATA(CMSG_FIRSTHDR(&in)))->uid;
            if (tag == 3) {  // a report, sample data, an answer to nobody, then a refusal
                control(TagWriter().U32(kSubscribeEvent).U32(kInvalidIndex).U32(0).U32(1));
                send(0, {1, 2, 3}, 3);
                control(TagWriter().U32(kReply).U32(77));
                control(TagWriter().U32(kError).U32(tag).U32(5));
                send(0xFFFFFFFF, {}, 0x7FFFFFFF);  // a length no message has
            } else {
                control(TagWriter().U32(kReply).U32(tag).U32(Client::kVersion));
            }
        }
        close(fd);
    });

    Client client;
    ASSERT_TRUE(client.Open(Clock::now() + std::chrono::seconds(5)));
    EXPECT_EQ(sender, getuid());
    EXPECT_FALSE(
        client.Call({{kGetSinkInfo, {}}}, nullptr, Clock::now() + std::chrono::seconds(5)));
    EXPECT_TRUE(client.IsOpen());  // refused, not broken
    EXPECT_EQ(client.Reports(), 1u);
    server.join();
    EXPECT_FALSE(client.Poll());
    EXPECT_FALSE(client.IsOpen());
    close(listener);
    unlink(path.c_str());
    unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace hvx::linux_platform::pulse
