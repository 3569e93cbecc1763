// orvane-rtu-sim: a remote terminal unit on the network, for the download's demo and tests.
// The first line of standard output is the port it listens on.

#include "SimOptions.h"
#include "SimServer.h"

#include <csignal>
#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    std::string error;
    const auto options = rtusim::parseSimOptions(argc - 1, argv + 1, error);
    if (!options) {
        std::fprintf(stderr, "orvane-rtu-sim: %s\n%s", error.c_str(), rtusim::kSimUsage);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    try {
        rtusim::SimServer server(*options);
        const int port = server.listen();
        std::printf("%d\n", port);
        std::fflush(stdout);
        server.run();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "orvane-rtu-sim: %s\n", e.what());
        return 1;
    }
}
