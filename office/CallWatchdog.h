#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Bounds the calls into LibreOffice: while armed, a call that outlasts its time makes the
// watchdog run its action (end our LibreOffice, or cut the connection to the engineer's),
// after which the blocked call returns with an error.
class CallWatchdog {
public:
    explicit CallWatchdog(std::function<void()> onExpiry);
    ~CallWatchdog();

    void arm(std::chrono::milliseconds limit);
    void disarm();
    // Whether the action ran since the last arm().
    bool expired() const;

private:
    void watch();

    std::function<void()> m_onExpiry;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_armed = false;
    bool m_expired = false;
    bool m_stopping = false;
    std::thread m_thread;
};

// Arms the watchdog for the scope of one call.
class ArmedCall {
public:
    ArmedCall(CallWatchdog &dog, std::chrono::milliseconds limit) : m_dog(dog) { dog.arm(limit); }
    ~ArmedCall() { m_dog.disarm(); }
    ArmedCall(const ArmedCall &) = delete;
    ArmedCall &operator=(const ArmedCall &) = delete;

private:
    CallWatchdog &m_dog;
};
