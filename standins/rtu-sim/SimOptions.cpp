#include "SimOptions.h"

#include <charconv>
#include <cstring>
#include <functional>

namespace rtusim {

const char *const kSimUsage =
    "usage: orvane-rtu-sim [--port N] [--bind ADDRESS] [--state running|stopped|none]\n"
    "                      [--refuse COMMAND=N]... [--delay MS] [--drop-after N]\n"
    "                      [--settle MS] [--load-time MS] [--frame-timeout MS] [--quiet]\n";

namespace {

// Decimal numbers only, within the bounds the option allows.
std::optional<int> number(const std::string &text, int low, int high)
{
    int value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

constexpr int kMaxMs = 600000;
constexpr int kMaxCount = 1000000;

using Setter = std::function<bool(SimOptions &, const std::string &)>;

bool setNumber(int &field, const std::string &text, int low, int high)
{
    const auto value = number(text, low, high);
    if (value)
        field = *value;
    return bool(value);
}

bool setState(SimOptions &options, const std::string &text)
{
    static const std::pair<const char *, AppState> kStates[] = {
        {"running", AppState::Running},
        {"stopped", AppState::Stopped},
        {"none", AppState::NoApplication},
    };
    for (const auto &[name, state] : kStates) {
        if (text == name) {
            options.device.initial = state;
            return true;
        }
    }
    return false;
}

bool setRefusal(SimOptions &options, const std::string &text)
{
    const auto equals = text.find('=');
    if (equals == 0 || equals == std::string::npos)
        return false;
    const auto count = number(text.substr(equals + 1), 0, kMaxCount);
    if (count)
        options.device.refusals[text.substr(0, equals)] = *count;
    return bool(count);
}

struct OptionRule {
    const char *name;
    Setter set;
};

const OptionRule kRules[] = {
    {"--port", [](SimOptions &o, const std::string &t) { return setNumber(o.port, t, 0, 65535); }},
    {"--bind", [](SimOptions &o, const std::string &t) { return o.bindAddress = t, !t.empty(); }},
    {"--state", setState},
    {"--refuse", setRefusal},
    {"--delay",
     [](SimOptions &o, const std::string &t) { return setNumber(o.delayMs, t, 0, kMaxMs); }},
    {"--drop-after",
     [](SimOptions &o, const std::string &t) { return setNumber(o.dropAfter, t, 0, kMaxCount); }},
    {"--settle", [](SimOptions &o,
                    const std::string &t) { return setNumber(o.device.settleMs, t, 0, kMaxMs); }},
    {"--load-time",
     [](SimOptions &o, const std::string &t) { return setNumber(o.device.loadMs, t, 0, kMaxMs); }},
    {"--frame-timeout",
     [](SimOptions &o, const std::string &t) { return setNumber(o.frameTimeoutMs, t, 1, kMaxMs); }},
};

} // namespace

std::optional<SimOptions> parseSimOptions(int argc, const char *const *argv, std::string &error)
{
    SimOptions options;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        const OptionRule *rule = nullptr;
        for (const OptionRule &candidate : kRules) {
            if (arg == candidate.name)
                rule = &candidate;
        }
        if (!rule) {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (!rule->set(options, value)) {
            error = "bad value for " + arg + ": " + value;
            return std::nullopt;
        }
    }
    return options;
}

} // namespace rtusim
