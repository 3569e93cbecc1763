#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace k5mw {

constexpr std::uint16_t kDefaultPort = 502;

struct DeviceAddress {
    std::string host;
    std::uint16_t port = kDefaultPort;
};

// "host", "host:port", "[v6 address]" or "[v6 address]:port", blanks around ignored. Gives
// nothing for an empty host or a port that is not a number from 1 to 65535.
std::optional<DeviceAddress> parseDeviceAddress(const std::string &text);

} // namespace k5mw
