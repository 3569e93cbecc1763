#include "Frame.h"

namespace k5mw {

namespace {

constexpr char kMagic0 = 'K';
constexpr char kMagic1 = '5';

bool knownKind(std::uint8_t kind)
{
    return kind >= std::uint8_t(FrameKind::Request) && kind <= std::uint8_t(FrameKind::Event);
}

} // namespace

std::uint32_t readLittleEndian32(const char *bytes)
{
    const auto *u = reinterpret_cast<const unsigned char *>(bytes);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}

void appendLittleEndian32(std::string &out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((value >> shift) & 0xFFu));
}

std::string encodeFrame(FrameKind kind, std::string_view payload)
{
    std::string out;
    out.reserve(kHeaderSize + payload.size());
    out.push_back(kMagic0);
    out.push_back(kMagic1);
    out.push_back(char(kVersion));
    out.push_back(char(kind));
    appendLittleEndian32(out, std::uint32_t(payload.size()));
    out.append(payload);
    return out;
}

std::string encodeRequest(const Request &request)
{
    std::string payload;
    appendLittleEndian32(payload, request.sequence);
    payload.push_back(char(request.command.size()));
    payload.append(request.command);
    payload.append(request.data);
    return encodeFrame(FrameKind::Request, payload);
}

std::string encodeReply(const Reply &reply)
{
    std::string payload;
    appendLittleEndian32(payload, reply.sequence);
    appendLittleEndian32(payload, std::uint32_t(reply.status));
    payload.append(reply.data);
    return encodeFrame(FrameKind::Reply, payload);
}

std::string encodeEvent(const Event &event)
{
    std::string payload;
    appendLittleEndian32(payload, event.kind);
    appendLittleEndian32(payload, event.value);
    return encodeFrame(FrameKind::Event, payload);
}

std::optional<Request> decodeRequest(std::string_view payload)
{
    if (payload.size() < 5)
        return std::nullopt;
    const std::size_t nameSize = std::uint8_t(payload[4]);
    if (nameSize == 0 || nameSize > kMaxCommandName || payload.size() < 5 + nameSize)
        return std::nullopt;
    Request request;
    request.sequence = readLittleEndian32(payload.data());
    request.command = std::string(payload.substr(5, nameSize));
    request.data = std::string(payload.substr(5 + nameSize));
    return request;
}

std::optional<Reply> decodeReply(std::string_view payload)
{
    if (payload.size() < 8 || payload.size() > 8 + kMaxValueSize)
        return std::nullopt;
    Reply reply;
    reply.sequence = readLittleEndian32(payload.data());
    reply.status = std::int32_t(readLittleEndian32(payload.data() + 4));
    reply.data = std::string(payload.substr(8));
    return reply;
}

std::optional<Event> decodeEvent(std::string_view payload)
{
    if (payload.size() != 8)
        return std::nullopt;
    return Event{readLittleEndian32(payload.data()), readLittleEndian32(payload.data() + 4)};
}

void FrameReader::feed(const char *bytes, std::size_t size)
{
    if (m_bad)
        return;
    // Frames already taken are dropped before the buffer grows, so it never holds more than
    // one frame and the bytes that arrived with it.
    if (m_used > 0) {
        m_buffer.erase(0, m_used);
        m_used = 0;
    }
    m_buffer.append(bytes, size);
}

FrameReader::Status FrameReader::next(Frame &frame)
{
    if (m_bad)
        return Status::Bad;
    const std::size_t available = m_buffer.size() - m_used;
    if (available < kHeaderSize)
        return Status::NeedMore;
    const char *header = m_buffer.data() + m_used;
    const std::uint32_t length = readLittleEndian32(header + 4);
    if (header[0] != kMagic0 || header[1] != kMagic1 || std::uint8_t(header[2]) != kVersion ||
        !knownKind(std::uint8_t(header[3])) || length > kMaxPayload) {
        m_bad = true;
        m_buffer.clear();
        m_used = 0;
        return Status::Bad;
    }
    if (available - kHeaderSize < length)
        return Status::NeedMore;
    frame.kind = FrameKind(std::uint8_t(header[3]));
    frame.payload.assign(header + kHeaderSize, length);
    m_used += kHeaderSize + length;
    return Status::Ready;
}

} // namespace k5mw
