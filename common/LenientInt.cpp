#include "common/LenientInt.h"

#include <cstdint>
#include <limits>

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int v = -1;
    if (u >= '0' && u <= '9')
        v = u - '0';
    else if (u >= 'a' && u <= 'f')
        v = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        v = u - 'A' + 10;
    return v < base ? v : -1;
}

// Length of the hexadecimal prefix at the start of `text`, 0 when there is none.
qsizetype hexPrefixLength(QStringView text)
{
    if (text.startsWith(u'$') || text.startsWith(u'x') || text.startsWith(u'X'))
        return 1;
    if (text.startsWith(u"0x") || text.startsWith(u"0X"))
        return 2;
    return 0;
}

} // namespace

std::optional<int> tryReadInt(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    const qsizetype prefix = hexPrefixLength(text.mid(i));
    const int base = prefix > 0 ? 16 : 10;
    i += prefix;
    if (i >= text.size())
        return std::nullopt;
    // The magnitude may reach 2^31 for the most negative value; anything beyond is refused
    // as soon as it passes that bound, so a long run of digits cannot overflow.
    const std::int64_t limit = negative ? std::int64_t(1) << 31 : (std::int64_t(1) << 31) - 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digitValue(text[i], base);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

int readIntOr(QStringView text, int fallback)
{
    return tryReadInt(text).value_or(fallback);
}
