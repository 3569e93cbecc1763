#include "standins/k5mw/DeviceAddress.h"
#include "standins/k5mw/Frame.h"

#include <gtest/gtest.h>

using k5mw::FrameReader;

TEST(K5mwFrame, FramesFedByteByByteComeOutWholeAndInOrder)
{
    const std::string stream = k5mw::encodeRequest({7, "LoadCode", std::string(300, '\0')}) +
                               k5mw::encodeEvent({12, 0}) +
                               k5mw::encodeReply({7, -5, "\x13\0\0\0"});
    FrameReader reader;
    std::vector<k5mw::Frame> frames;
    k5mw::Frame frame;
    for (char byte : stream) {
        reader.feed(&byte, 1);
        while (reader.next(frame) == FrameReader::Status::Ready)
            frames.push_back(frame);
    }
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_FALSE(reader.inFrame());
    const auto request = k5mw::decodeRequest(frames[0].payload);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->sequence, 7u);
    EXPECT_EQ(request->command, "LoadCode");
    EXPECT_EQ(request->data, std::string(300, '\0'));
    const auto event = k5mw::decodeEvent(frames[1].payload);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->kind, 12u);
    const auto reply = k5mw::decodeReply(frames[2].payload);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, -5);
    EXPECT_EQ(reply->data, "\x13");
}

TEST(K5mwFrame, DamagedHeaderMakesTheReaderBadForGood)
{
    FrameReader reader;
    const std::string bad = "K5\x01\x04" + std::string(4, '\0');
    reader.feed(bad.data(), bad.size());
    k5mw::Frame frame;
    EXPECT_EQ(reader.next(frame), FrameReader::Status::Bad);
    const std::string good = k5mw::encodeEvent({1, 2});
    reader.feed(good.data(), good.size());
    EXPECT_EQ(reader.next(frame), FrameReader::Status::Bad);
}

TEST(K5mwFrame, LargestPayloadIsTakenAndOneByteMoreRefused)
{
    struct Case {
        std::uint32_t length;
        FrameReader::Status status;
    };
    const Case cases[] = {
        {std::uint32_t(k5mw::kMaxPayload), FrameReader::Status::NeedMore},
        {std::uint32_t(k5mw::kMaxPayload + 1), FrameReader::Status::Bad},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        std::string header = "K5\x01\x01";
        k5mw::appendLittleEndian32(header, c.length);
        FrameReader reader;
        reader.feed(header.data(), header.size());
        k5mw::Frame frame;
        EXPECT_EQ(reader.next(frame), c.status);
    }
}

TEST(K5mwFrame, PayloadsOfTheWrongLayoutAreRefused)
{
    EXPECT_FALSE(k5mw::decodeRequest(std::string("\1\0\0\0", 4)));
    EXPECT_FALSE(k5mw::decodeRequest(std::string("\1\0\0\0\0", 5)));
    EXPECT_FALSE(k5mw::decodeRequest(std::string("\1\0\0\0\x05Read", 9)));
    EXPECT_FALSE(k5mw::decodeRequest(std::string("\1\0\0\0\x21", 5) + std::string(33, 'A')));
    EXPECT_FALSE(k5mw::decodeReply(std::string(7, '\0')));
    EXPECT_FALSE(k5mw::decodeReply(std::string(8 + 513, '\0')));
    EXPECT_TRUE(k5mw::decodeReply(std::string(8 + 512, '\0')));
    EXPECT_FALSE(k5mw::decodeEvent(std::string(7, '\0')));
    EXPECT_FALSE(k5mw::decodeEvent(std::string(9, '\0')));
}

TEST(K5mwAddress, HostWithOrWithoutPort)
{
    struct Case {
        const char *text;
        std::optional<std::pair<std::string, int>> expected;
    };
    const Case cases[] = {
        {"192.168.1.10", std::pair{std::string("192.168.1.10"), 502}},
        {"rtu7:5020", std::pair{std::string("rtu7"), 5020}},
        {" 10.0.0.1:1 ", std::pair{std::string("10.0.0.1"), 1}},
        {"[::1]", std::pair{std::string("::1"), 502}},
        {"[fe80::2]:65535", std::pair{std::string("fe80::2"), 65535}},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {":502", std::nullopt},
        {"host:", std::nullopt},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:-1", std::nullopt},
        {"host:12ab", std::nullopt},
        {"::1", std::nullopt},
        {"[::1", std::nullopt},
        {"[::1]x", std::nullopt},
        {"[]:502", std::nullopt},
        {"two words", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const auto address = k5mw::parseDeviceAddress(c.text);
        ASSERT_EQ(address.has_value(), c.expected.has_value());
        if (address) {
            EXPECT_EQ(address->host, c.expected->first);
            EXPECT_EQ(address->port, c.expected->second);
        }
    }
}
