#pragma once

#include "Device.h"
#include "SimOptions.h"

#include <cstdint>
#include <list>
#include <string>

namespace rtusim {

// Serves the device to any number of connections on one thread: every socket is
// non-blocking and one poll() waits for input, room to write, or the next due answer.
class SimServer {
public:
    explicit SimServer(SimOptions options);
    ~SimServer();
    SimServer(const SimServer &) = delete;
    SimServer &operator=(const SimServer &) = delete;

    // Binds and listens; returns the port (the one the system chose for port 0). Throws
    // std::runtime_error naming the address and the system's reason.
    int listen();
    // Serves until the process is ended.
    [[noreturn]] void run();

private:
    struct Pending {
        std::int64_t dueMs;
        std::string bytes;
    };
    struct Connection {
        int fd = -1;
        k5mw::FrameReader reader;
        int framesReceived = 0;
        std::int64_t frameStartedMs = -1; // when the unfinished frame began
        std::list<Pending> pending;       // in due order, ties in sending order
        std::string outgoing;             // due bytes not yet taken by the socket
        bool closing = false;
    };

    void accept(std::int64_t nowMs);
    void receive(Connection &connection, std::int64_t nowMs);
    void answer(Connection &connection, const k5mw::Frame &frame, std::int64_t nowMs);
    void queue(Connection &connection, std::int64_t dueMs, std::string bytes);
    void flush(Connection &connection, std::int64_t nowMs);
    void broadcastDueEvents(std::int64_t nowMs);
    int pollTimeout(std::int64_t nowMs) const;
    void log(const std::string &text) const;

    SimOptions m_options;
    Device m_device;
    int m_listenFd = -1;
    std::list<Connection> m_connections;
};

} // namespace rtusim
