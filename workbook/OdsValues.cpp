#include "workbook/OdsValues.h"

#include <QDate>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

// Reads an unsigned decimal of `width` digits (any width when 0) at the front of `text`.
std::optional<int> takeDigits(std::string_view &text, std::size_t width = 0)
{
    std::size_t n = 0;
    while (n < text.size() && n < 9 && text[n] >= '0' && text[n] <= '9')
        ++n;
    if (n == 0 || (width != 0 && n != width))
        return std::nullopt;
    int value = 0;
    std::from_chars(text.data(), text.data() + n, value);
    text.remove_prefix(n);
    return value;
}

bool takeChar(std::string_view &text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

// A decimal with an optional fraction ("12", "30.25") at the front of `text`.
std::optional<double> takeDecimal(std::string_view &text)
{
    std::size_t n = 0;
    while (n < text.size() && ((text[n] >= '0' && text[n] <= '9') || text[n] == '.'))
        ++n;
    if (n == 0)
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + n, value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + n)
        return std::nullopt;
    text.remove_prefix(n);
    return value;
}

// "HH:MM:SS[.fff]" as seconds.
std::optional<double> takeClockTime(std::string_view &text)
{
    const auto hours = takeDigits(text, 2);
    if (!hours || !takeChar(text, ':'))
        return std::nullopt;
    const auto minutes = takeDigits(text, 2);
    if (!minutes || !takeChar(text, ':'))
        return std::nullopt;
    const auto seconds = takeDecimal(text);
    if (!seconds || *hours > 24 || *minutes > 59 || *seconds >= 61)
        return std::nullopt;
    return *hours * 3600.0 + *minutes * 60.0 + *seconds;
}

bool isTimeZone(std::string_view text)
{
    if (text.empty() || text == "Z")
        return true;
    if (text.front() != '+' && text.front() != '-')
        return false;
    text.remove_prefix(1);
    return takeDigits(text, 2) && takeChar(text, ':') && takeDigits(text, 2) && text.empty();
}

constexpr double kSecondsPerDay = 86400.0;

} // namespace

std::optional<double> odsNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+') // from_chars refuses the sign XML allows
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> odsDateSerial(std::string_view text)
{
    const bool negativeYear = takeChar(text, '-');
    const auto year = takeDigits(text);
    if (!year || !takeChar(text, '-'))
        return std::nullopt;
    const auto month = takeDigits(text, 2);
    if (!month || !takeChar(text, '-'))
        return std::nullopt;
    const auto day = takeDigits(text, 2);
    if (!day)
        return std::nullopt;
    const QDate date(negativeYear ? -*year : *year, *month, *day);
    if (!date.isValid())
        return std::nullopt;
    double seconds = 0;
    if (takeChar(text, 'T')) {
        const auto clock = takeClockTime(text);
        if (!clock)
            return std::nullopt;
        seconds = *clock;
    }
    if (!isTimeZone(text))
        return std::nullopt;
    const qint64 days = QDate(1899, 12, 30).daysTo(date);
    return double(days) + seconds / kSecondsPerDay;
}

std::optional<double> odsDurationDays(std::string_view text)
{
    const bool negative = takeChar(text, '-');
    if (!takeChar(text, 'P') || text.empty())
        return std::nullopt;
    // Days before the T; hours, minutes and seconds after it. Years and months have no fixed
    // length in days, and no spreadsheet writes them for a time of day.
    double seconds = 0;
    bool inTime = false;
    bool any = false;
    while (!text.empty()) {
        if (!inTime && takeChar(text, 'T')) {
            inTime = true;
            continue;
        }
        const auto amount = takeDecimal(text);
        if (!amount || text.empty())
            return std::nullopt;
        const char unit = text.front();
        text.remove_prefix(1);
        if (!inTime && unit == 'D')
            seconds += *amount * kSecondsPerDay;
        else if (inTime && unit == 'H')
            seconds += *amount * 3600.0;
        else if (inTime && unit == 'M')
            seconds += *amount * 60.0;
        else if (inTime && unit == 'S')
            seconds += *amount;
        else
            return std::nullopt;
        any = true;
    }
    if (!any || !std::isfinite(seconds))
        return std::nullopt;
    return (negative ? -seconds : seconds) / kSecondsPerDay;
}

std::optional<bool> odsBoolean(std::string_view text)
{
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    return std::nullopt;
}

std::optional<bool> odsBooleanFormula(std::string_view formula)
{
    // The namespace prefix of the formula language ("of:", "msoxl:") is the writer's.
    if (const std::size_t colon = formula.find(':');
        colon != std::string_view::npos &&
        formula.substr(0, colon).find('=') == std::string_view::npos)
        formula.remove_prefix(colon + 1);
    const auto equalsIgnoringCase = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::toupper(static_cast<unsigned char>(x)) == y;
               });
    };
    if (equalsIgnoringCase(formula, "=TRUE()"))
        return true;
    if (equalsIgnoringCase(formula, "=FALSE()"))
        return false;
    return std::nullopt;
}

std::int64_t odsRepeatCount(std::string_view text, std::int64_t limit)
{
    std::uint64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error == std::errc::result_out_of_range)
        return limit;
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || count == 0)
        return 1;
    return count > std::uint64_t(limit) ? limit : std::int64_t(count);
}
