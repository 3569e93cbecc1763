#include "workbook/BiffValues.h"

#include <cstring>

namespace {

struct ErrorCode {
    std::uint8_t code;
    const char *text;
};

constexpr ErrorCode kErrorCodes[] = {
    {0x00, "#NULL!"}, {0x07, "#DIV/0!"}, {0x0F, "#VALUE!"}, {0x17, "#REF!"},
    {0x1D, "#NAME?"}, {0x24, "#NUM!"},   {0x2A, "#N/A"},
};

// Days from 1899-12-30 to 1904-01-01.
constexpr double kDays1904 = 1462;

} // namespace

double biffRkValue(std::uint32_t rk)
{
    const bool hundredths = (rk & 0x1) != 0;
    double value;
    if (rk & 0x2) {
        value = double(std::int32_t(rk) >> 2); // signed 30-bit integer
    } else {
        // The upper 30 bits of a double whose lower 34 bits are zero.
        const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return hundredths ? value / 100 : value;
}

QString biffErrorText(std::uint8_t code)
{
    for (const ErrorCode &e : kErrorCodes) {
        if (e.code == code)
            return QString::fromLatin1(e.text);
    }
    return QStringLiteral("#N/A");
}

double biffDateDays(double serial, bool dateSystem1904)
{
    if (dateSystem1904)
        return serial + kDays1904;
    return serial >= 1 && serial < 61 ? serial + 1 : serial;
}
