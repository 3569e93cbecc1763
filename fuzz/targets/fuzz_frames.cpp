// The middleware's and the device's framing over any byte stream, in both directions: the
// stream is fed in pieces of varying size, every whole frame is decoded as what it claims
// to be (a request reaches the device, a reply or an event the middleware), and what decodes
// must encode back to the same payload.
#include "FuzzInput.h"

#include "Frame.h"

#include <cstdlib>

namespace {

template <typename Message, typename Decode, typename Encode>
void roundTrip(const std::string &payload, Decode decode, Encode encode)
{
    const std::optional<Message> message = decode(payload);
    if (!message)
        return;
    const std::string frame = encode(*message);
    k5mw::FrameReader again;
    again.feed(frame.data(), frame.size());
    k5mw::Frame back;
    if (again.next(back) != k5mw::FrameReader::Status::Ready || back.payload != payload)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 64;
    k5mw::FrameReader reader;
    for (std::size_t at = 1; at < size && !reader.bad(); at += piece) {
        reader.feed(reinterpret_cast<const char *>(data) + at, std::min(piece, size - at));
        k5mw::Frame frame;
        for (int frames = 0;
             frames < 1000 && reader.next(frame) == k5mw::FrameReader::Status::Ready; ++frames) {
            switch (frame.kind) {
            case k5mw::FrameKind::Request:
                roundTrip<k5mw::Request>(frame.payload, k5mw::decodeRequest, k5mw::encodeRequest);
                break;
            case k5mw::FrameKind::Reply:
                roundTrip<k5mw::Reply>(frame.payload, k5mw::decodeReply, k5mw::encodeReply);
                break;
            case k5mw::FrameKind::Event:
                roundTrip<k5mw::Event>(frame.payload, k5mw::decodeEvent, k5mw::encodeEvent);
                break;
            }
        }
    }
    return 0;
}
