#pragma once

#include "DeviceAddress.h"
#include "Frame.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace k5mw {

// One TCP connection to a device. A reader thread of its own takes the device's frames:
// answers go to the request waiting for them, events to the handler, called on that thread.
class DeviceLink {
public:
    using EventHandler = std::function<void(std::uint32_t kind, std::uint32_t value)>;

    // Connects and greets the device; gives nothing when no device answers within timeoutMs.
    static std::unique_ptr<DeviceLink> open(const DeviceAddress &address, EventHandler onEvent,
                                            int timeoutMs);
    ~DeviceLink();
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;

    // Sends one command and waits for its answer: the device's status, or K5MW_ERR_LINK /
    // K5MW_ERR_TIMEOUT. value receives the answer's data.
    std::int32_t request(const std::string &command, const std::string &data,
                         std::string *value = nullptr);
    // Ends the connection: waiting requests return, and once this returns no event is
    // delivered any more.
    void shutdown();

private:
    DeviceLink(int fd, EventHandler onEvent, int timeoutMs);
    void readLoop();
    void dispatch(const Frame &frame);
    void markBroken();

    int m_fd;
    EventHandler m_onEvent;
    int m_timeoutMs;
    std::mutex m_requestMutex; // one request on the wire at a time
    std::mutex m_mutex;        // guards what follows
    std::condition_variable m_answered;
    std::uint32_t m_sequence = 0;
    std::optional<Reply> m_reply;
    bool m_broken = false;
    bool m_shutDown = false;
    std::thread m_reader;
};

} // namespace k5mw
