#pragma once

#include "Device.h"

#include <optional>
#include <string>

namespace rtusim {

struct SimOptions {
    DeviceOptions device;
    std::string bindAddress = "127.0.0.1";
    int port = 502;
    int delayMs = 0;           // every answer and event is sent this much later
    int dropAfter = 0;         // a connection is closed on receiving its Nth frame; 0 = never
    int frameTimeoutMs = 5000; // a frame begun and not finished in this time drops the peer
    bool quiet = false;
};

// Reads the command line (without the program name). On a mistake, gives nothing and sets
// error to a message naming the option.
std::optional<SimOptions> parseSimOptions(int argc, const char *const *argv, std::string &error);

extern const char *const kSimUsage;

} // namespace rtusim
