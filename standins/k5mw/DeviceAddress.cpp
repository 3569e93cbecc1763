#include "DeviceAddress.h"

#include <charconv>

namespace k5mw {

namespace {

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<std::uint16_t> parsePort(const std::string &text)
{
    unsigned value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value == 0 || value > 65535)
        return std::nullopt;
    return std::uint16_t(value);
}

} // namespace

std::optional<DeviceAddress> parseDeviceAddress(const std::string &text)
{
    const std::string address = trimmed(text);
    DeviceAddress result;
    std::string rest;
    if (!address.empty() && address.front() == '[') {
        const auto close = address.find(']');
        if (close == std::string::npos)
            return std::nullopt;
        result.host = address.substr(1, close - 1);
        rest = address.substr(close + 1);
        if (!rest.empty() && rest.front() != ':')
            return std::nullopt;
    } else {
        const auto colon = address.find(':');
        result.host = address.substr(0, colon);
        if (colon != std::string::npos)
            rest = address.substr(colon);
    }
    if (result.host.empty() || result.host.find_first_of(" \t[]") != std::string::npos)
        return std::nullopt;
    if (!rest.empty()) {
        const auto port = parsePort(rest.substr(1));
        if (!port)
            return std::nullopt;
        result.port = *port;
    }
    return result;
}

} // namespace k5mw
