#pragma once

// The simulated remote terminal unit: its application state and how it answers commands.
// No sockets here: the server hands each request in with the current time and sends what the
// device answers and, when due, the events the device posts.

#include "Frame.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rtusim {

// The application status values a status read returns.
enum class AppState : std::uint32_t {
    Running = 15,
    Stopped = 16, // an application is loaded and stopped
    Loading = 17, // an application is being received
    NoApplication = 19,
};

// Error codes the device answers a refused command with.
enum DeviceError : std::int32_t {
    kErrUnknownCommand = 1,
    kErrBusy = 2,           // refused on purpose (the simulator's --refuse option)
    kErrWrongState = 3,     // loading while running, starting without an application
    kErrBadApplication = 4, // not a whole compiled application
    kErrLoading = 5,        // a load is still being received
    kErrUnknownValue = 6,
};

// Event kinds and values the device posts.
constexpr std::uint32_t kEventProgress = 4;
constexpr std::uint32_t kEventAppState = 11;
constexpr std::uint32_t kEventAppReceived = 12;
constexpr std::uint32_t kStateStarted = 5;
constexpr std::uint32_t kStateStopRequested = 6;
constexpr std::uint32_t kStateStartRequested = 8;
constexpr std::uint32_t kStateStopped = 9;

struct DeviceOptions {
    AppState initial = AppState::Running;
    // Command name -> how many times it is refused before it is accepted.
    std::map<std::string, int> refusals;
    int settleMs = 0; // from an accepted stop or start to the new state
    int loadMs = 200; // from an accepted load to "application received"
};

class Device {
public:
    explicit Device(DeviceOptions options);

    // Answers one request received at nowMs; what the command sets off is scheduled from then.
    k5mw::Reply handle(const k5mw::Request &request, std::int64_t nowMs);
    // Applies the steps due by nowMs and returns the events they post, oldest first.
    std::vector<k5mw::Event> takeDue(std::int64_t nowMs);
    std::optional<std::int64_t> nextDue() const;

    AppState state() const { return m_state; }
    std::size_t applicationSize() const { return m_applicationSize; }

private:
    struct Step {
        std::optional<AppState> state;
        std::optional<k5mw::Event> event;
    };
    using Handler = std::int32_t (Device::*)(const k5mw::Request &, std::int64_t, std::string &);

    std::int32_t appStop(const k5mw::Request &, std::int64_t nowMs, std::string &);
    std::int32_t appStart(const k5mw::Request &, std::int64_t nowMs, std::string &);
    std::int32_t loadCode(const k5mw::Request &request, std::int64_t nowMs, std::string &);
    std::int32_t read(const k5mw::Request &request, std::int64_t, std::string &data);
    std::int32_t hello(const k5mw::Request &, std::int64_t, std::string &data);
    bool refuseOnce(const std::string &command);
    void schedule(std::int64_t dueMs, Step step);
    void post(std::int64_t dueMs, std::uint32_t kind, std::uint32_t value);

    DeviceOptions m_options;
    AppState m_state;
    std::size_t m_applicationSize = 0;
    std::multimap<std::int64_t, Step> m_steps; // equal times keep their order
};

} // namespace rtusim
