#include "FakeDevice.h"
#include "K5mwFixture.h"

#include <arpa/inet.h>

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

std::string header(char m0, char m1, char version, char kind, std::uint32_t length)
{
    std::string out{m0, m1, version, kind};
    k5mw::appendLittleEndian32(out, length);
    return out;
}

int connectRaw(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// True when the peer closes the connection within the wait limit.
bool closedByPeer(int fd)
{
    const auto end = Clock::now() + kWaitLimit;
    char buffer[256];
    while (Clock::now() < end) {
        pollfd wanted{fd, POLLIN, 0};
        if (poll(&wanted, 1, 100) == 1 && recv(fd, buffer, sizeof buffer, 0) <= 0)
            return true;
    }
    return false;
}

// The reply timeout the library reads when a project is opened.
class ReplyTimeout {
public:
    explicit ReplyTimeout(const char *ms) { setenv("K5MW_REPLY_TIMEOUT_MS", ms, 1); }
    ~ReplyTimeout() { unsetenv("K5MW_REPLY_TIMEOUT_MS"); }
};

uint32_t openOn(uint32_t client, const std::string &address)
{
    return K5MW_OpenProject(client, "/tmp/", "K5NET5.DLL", address.c_str(), 1, 0);
}

// Answers the greeting, then runs the rest of the script.
FakeDevice::Script greeted(std::function<void(int, k5mw::FrameReader &)> rest)
{
    return [rest = std::move(rest)](int fd) {
        k5mw::FrameReader reader;
        if (const auto hello = readRequest(fd, reader)) {
            sendBytes(fd, answer(*hello, 0));
            rest(fd, reader);
        }
    };
}

} // namespace

TEST(RtuSimBadInput, DamagedFramesCutTheSenderOffAndTheDeviceServesOthers)
{
    RtuSimProcess device({QStringLiteral("--frame-timeout"), QStringLiteral("300")});
    ASSERT_NE(device.port(), 0) << device.error().toStdString();
    std::string request = k5mw::encodeRequest({1, "Read", "<AppStatus>"});
    struct Case {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        {"wrong magic", header('X', '5', 1, 1, 0)},
        {"wrong version", header('K', '5', 9, 1, 0)},
        {"unknown kind", header('K', '5', 1, 7, 0)},
        {"length beyond the limit", header('K', '5', 1, 1, 0xFFFFFFFFu)},
        {"a reply sent to the device", k5mw::encodeReply({1, 0, {}})},
        {"an event sent to the device", k5mw::encodeEvent({11, 5})},
        {"request without a command",
         k5mw::encodeFrame(k5mw::FrameKind::Request, std::string("\1\0\0\0\0", 5))},
        {"command longer than its frame",
         k5mw::encodeFrame(k5mw::FrameKind::Request, std::string("\1\0\0\0\x20Read", 9))},
        {"half a frame, then silence", request.substr(0, 11)},
        {"noise", std::string(4096, '\xA5')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int fd = connectRaw(device.port());
        ASSERT_GE(fd, 0);
        sendBytes(fd, c.bytes);
        EXPECT_TRUE(closedByPeer(fd));
        close(fd);
    }
    const uint32_t client = K5MW_Connect(nullptr, 0, 0, 0, "test");
    const uint32_t project = openOn(client, device.address().toStdString());
    EXPECT_NE(project, 0u);
    EXPECT_EQ(K5MW_Execute(client, project, "AppStop"), 0);
    K5MW_Disconnect(client);
    EXPECT_TRUE(device.running());
}

TEST(K5mwBadDevice, PeerThatIsNoDeviceGivesNoProject)
{
    const ReplyTimeout timeout("1000");
    struct Case {
        const char *name;
        FakeDevice::Script script;
    };
    const Case cases[] = {
        {"answers noise", [](int fd) { sendBytes(fd, std::string(64, 'x')); }},
        {"closes at once", [](int) {}},
        {"never answers",
         [](int fd) {
             k5mw::FrameReader reader;
             readRequest(fd, reader);
             std::this_thread::sleep_for(1500ms);
         }},
        {"refuses the greeting",
         [](int fd) {
             k5mw::FrameReader reader;
             if (const auto hello = readRequest(fd, reader))
                 sendBytes(fd, answer(*hello, 1));
         }},
    };
    const uint32_t client = K5MW_Connect(nullptr, 0, 0, 0, "test");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const FakeDevice device(c.script);
        const auto begin = Clock::now();
        EXPECT_EQ(openOn(client, device.address()), 0u);
        EXPECT_LT(Clock::now() - begin, 3s);
    }
    K5MW_Disconnect(client);
}

TEST(K5mwBadDevice, LateAnswerTimesTheCallOutAndIsNotTakenForTheNext)
{
    const ReplyTimeout timeout("1000");
    const FakeDevice device(greeted([](int fd, k5mw::FrameReader &reader) {
        // Answers 300 ms after the caller gave up, so the second request is answered well
        // within its own time.
        const auto first = readRequest(fd, reader);
        std::this_thread::sleep_for(1300ms);
        if (first)
            sendBytes(fd, answer(*first, 0));
        if (const auto second = readRequest(fd, reader))
            sendBytes(fd, answer(*second, K5MW_DEV_BUSY));
    }));
    const uint32_t client = K5MW_Connect(nullptr, 0, 0, 0, "test");
    const uint32_t project = openOn(client, device.address());
    ASSERT_NE(project, 0u);
    EXPECT_EQ(K5MW_Execute(client, project, "AppStop"), K5MW_ERR_TIMEOUT);
    EXPECT_EQ(K5MW_Execute(client, project, "AppStop"), K5MW_DEV_BUSY);
    K5MW_Disconnect(client);
}

TEST(K5mwBadDevice, DamagedAnswersNeverReachTheCaller)
{
    const ReplyTimeout timeout("1000");
    struct Case {
        const char *name;
        std::function<std::string(const k5mw::Request &)> reply;
        int32_t result;
    };
    const Case cases[] = {
        {"answer to another request",
         [](const k5mw::Request &r) {
             return k5mw::encodeReply({r.sequence + 1, 0, {}});
         },
         K5MW_ERR_TIMEOUT},
        {"value larger than the caller's buffer",
         [](const k5mw::Request &r) { return answer(r, 0, std::string(600, 'v')); },
         K5MW_ERR_TIMEOUT},
        {"damaged header", [](const k5mw::Request &) { return header('K', '5', 1, 9, 0); },
         K5MW_ERR_LINK},
        {"event of the wrong size, then the answer",
         [](const k5mw::Request &r) {
             return k5mw::encodeFrame(k5mw::FrameKind::Event, "abc") +
                    answer(r, 0, std::string("\x0F\0\0\0", 4));
         },
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EventRecorder events;
        const FakeDevice device(greeted([&](int fd, k5mw::FrameReader &reader) {
            if (const auto request = readRequest(fd, reader))
                sendBytes(fd, c.reply(*request));
            std::this_thread::sleep_for(1200ms);
        }));
        const K5mwEventSink sink = events.sink();
        const uint32_t client = K5MW_Connect(&sink, 0, 0, 0, "test");
        const uint32_t project = openOn(client, device.address());
        ASSERT_NE(project, 0u);
        unsigned char buffer[K5MW_VALUE_BUFFER] = {};
        uint32_t size = 0;
        EXPECT_EQ(K5MW_GetBinValue(client, project, "<AppStatus>", 0, buffer, &size, nullptr),
                  c.result);
        EXPECT_EQ(size, c.result == 0 ? 4u : 0u);
        EXPECT_TRUE(events.events().empty());
        K5MW_Disconnect(client);
    }
}
