#include "Device.h"

#include "ApplicationCheck.h"

#include <array>
#include <utility>

namespace rtusim {

using k5mw::Event;
using k5mw::Reply;
using k5mw::Request;

namespace {

// Progress posted while an application is received, in percent.
constexpr std::array<std::uint32_t, 5> kProgressSteps{0, 25, 50, 75, 100};

} // namespace

Device::Device(DeviceOptions options) : m_options(std::move(options)), m_state(m_options.initial)
{
    if (m_state != AppState::NoApplication)
        m_applicationSize = 1;
}

Reply Device::handle(const Request &request, std::int64_t nowMs)
{
    struct Command {
        const char *name;
        Handler handler;
    };
    static constexpr Command kCommands[] = {
        {"AppStop", &Device::appStop},   {"AppStart", &Device::appStart},
        {"LoadCode", &Device::loadCode}, {"Read", &Device::read},
        {"Hello", &Device::hello},
    };
    Reply reply;
    reply.sequence = request.sequence;
    reply.status = kErrUnknownCommand;
    for (const Command &command : kCommands) {
        if (request.command != command.name)
            continue;
        reply.status = refuseOnce(request.command)
                           ? std::int32_t(kErrBusy)
                           : (this->*command.handler)(request, nowMs, reply.data);
        break;
    }
    if (reply.status != 0)
        reply.data.clear();
    return reply;
}

bool Device::refuseOnce(const std::string &command)
{
    const auto it = m_options.refusals.find(command);
    if (it == m_options.refusals.end() || it->second <= 0)
        return false;
    --it->second;
    return true;
}

std::int32_t Device::appStop(const Request &, std::int64_t nowMs, std::string &)
{
    switch (m_state) {
    case AppState::Loading:
        return kErrLoading;
    case AppState::Running:
        post(nowMs, kEventAppState, kStateStopRequested);
        schedule(nowMs + m_options.settleMs,
                 {AppState::Stopped, Event{kEventAppState, kStateStopped}});
        return 0;
    case AppState::Stopped:
    case AppState::NoApplication:
        post(nowMs, kEventAppState, kStateStopped);
        return 0;
    }
    return kErrWrongState;
}

std::int32_t Device::appStart(const Request &, std::int64_t nowMs, std::string &)
{
    switch (m_state) {
    case AppState::Loading:
        return kErrLoading;
    case AppState::NoApplication:
        return kErrWrongState;
    case AppState::Running:
        post(nowMs, kEventAppState, kStateStarted);
        return 0;
    case AppState::Stopped:
        post(nowMs, kEventAppState, kStateStartRequested);
        schedule(nowMs + m_options.settleMs,
                 {AppState::Running, Event{kEventAppState, kStateStarted}});
        return 0;
    }
    return kErrWrongState;
}

std::int32_t Device::loadCode(const Request &request, std::int64_t nowMs, std::string &)
{
    if (m_state == AppState::Loading)
        return kErrLoading;
    if (m_state == AppState::Running)
        return kErrWrongState;
    if (request.data.size() > k5mw::kMaxApplicationSize || !isWholeApplication(request.data))
        return kErrBadApplication;
    m_state = AppState::Loading;
    m_applicationSize = request.data.size();
    const std::int64_t stepMs = m_options.loadMs / std::int64_t(kProgressSteps.size() - 1);
    for (std::size_t i = 0; i < kProgressSteps.size(); ++i)
        post(nowMs + std::int64_t(i) * stepMs, kEventProgress, kProgressSteps[i]);
    schedule(nowMs + m_options.loadMs, {AppState::Stopped, Event{kEventAppReceived, 0}});
    return 0;
}

std::int32_t Device::read(const Request &request, std::int64_t, std::string &data)
{
    if (request.data != "<AppStatus>")
        return kErrUnknownValue;
    data.clear();
    k5mw::appendLittleEndian32(data, std::uint32_t(m_state));
    return 0;
}

std::int32_t Device::hello(const Request &, std::int64_t, std::string &data)
{
    data = "orvane-rtu-sim";
    return 0;
}

void Device::schedule(std::int64_t dueMs, Step step)
{
    m_steps.emplace(dueMs, std::move(step));
}

void Device::post(std::int64_t dueMs, std::uint32_t kind, std::uint32_t value)
{
    schedule(dueMs, {std::nullopt, Event{kind, value}});
}

std::vector<Event> Device::takeDue(std::int64_t nowMs)
{
    std::vector<Event> events;
    while (!m_steps.empty() && m_steps.begin()->first <= nowMs) {
        const Step step = m_steps.begin()->second;
        m_steps.erase(m_steps.begin());
        if (step.state)
            m_state = *step.state;
        if (step.event)
            events.push_back(*step.event);
    }
    return events;
}

std::optional<std::int64_t> Device::nextDue() const
{
    if (m_steps.empty())
        return std::nullopt;
    return m_steps.begin()->first;
}

} // namespace rtusim
