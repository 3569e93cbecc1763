#pragma once

// The frames that the middleware and the device exchange over TCP. Every frame is an 8-byte
// header, "K5", the version, the kind, the payload length (32-bit little-endian), followed by
// the payload. Both ends check every field before they trust it: a peer that sends anything
// else is cut off, never followed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k5mw {

constexpr std::size_t kHeaderSize = 8;
constexpr std::uint8_t kVersion = 1;
// The largest application the device takes, and so the largest load request.
constexpr std::size_t kMaxApplicationSize = 8u * 1024u * 1024u;
// Room for the request's sequence number and command name besides the application.
constexpr std::size_t kMaxPayload = kMaxApplicationSize + 64u;
// Command names are short words ("AppStop", "LoadCode", "Read").
constexpr std::size_t kMaxCommandName = 32;
// A value read back never exceeds what the caller's receive buffer holds.
constexpr std::size_t kMaxValueSize = 512;

enum class FrameKind : std::uint8_t { Request = 1, Reply = 2, Event = 3 };

struct Frame {
    FrameKind kind = FrameKind::Request;
    std::string payload;
};

// Client to device: a command with its data (the application for "LoadCode", the value's
// name for "Read").
struct Request {
    std::uint32_t sequence = 0;
    std::string command;
    std::string data;
};

// Device to client: the answer to the request of the same sequence number; status 0 means
// accepted, data holds a value read.
struct Reply {
    std::uint32_t sequence = 0;
    std::int32_t status = 0;
    std::string data;
};

// Device to client, unasked: an event kind and its value.
struct Event {
    std::uint32_t kind = 0;
    std::uint32_t value = 0;
};

std::string encodeFrame(FrameKind kind, std::string_view payload);
std::string encodeRequest(const Request &request);
std::string encodeReply(const Reply &reply);
std::string encodeEvent(const Event &event);

// Payloads that do not have the layout of their kind give nothing.
std::optional<Request> decodeRequest(std::string_view payload);
std::optional<Reply> decodeReply(std::string_view payload);
std::optional<Event> decodeEvent(std::string_view payload);

std::uint32_t readLittleEndian32(const char *bytes);
void appendLittleEndian32(std::string &out, std::uint32_t value);

// Cuts a byte stream into frames. Bytes are fed as they arrive; a damaged header (wrong
// magic, version or kind, a length above kMaxPayload) makes the reader bad for good, since
// nothing after it can be trusted to start a frame.
class FrameReader {
public:
    enum class Status { NeedMore, Ready, Bad };

    void feed(const char *bytes, std::size_t size);
    // Takes the next whole frame out of the bytes fed so far.
    Status next(Frame &frame);
    // Bytes of a frame begun but not finished: a peer that stops mid-frame is timed out.
    bool inFrame() const { return m_used < m_buffer.size(); }
    bool bad() const { return m_bad; }

private:
    std::string m_buffer;
    std::size_t m_used = 0;
    bool m_bad = false;
};

} // namespace k5mw
