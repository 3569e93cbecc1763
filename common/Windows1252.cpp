#include "common/Windows1252.h"

#include <algorithm>
#include <array>

namespace {

// Unicode of the codes 0x80 to 0x9F; 0 where the code page defines no character.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char encodeOne(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] != 0 && kHighControlRange[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray toWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        bytes.append(encodeOne(c));
    }
    return bytes;
}

QString fromWindows1252(QByteArrayView bytes)
{
    // Outside 0x80 to 0x9F the code page is Latin-1: such text converts in one go.
    const bool latin1 = std::none_of(bytes.begin(), bytes.end(), [](char b) {
        const auto u = static_cast<unsigned char>(b);
        return u >= 0x80 && u < 0xA0;
    });
    if (latin1 && !bytes.isEmpty())
        return QString::fromLatin1(bytes);
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        const char16_t mapped = u >= 0x80 && u < 0xA0 ? kHighControlRange[u - 0x80] : 0;
        text.append(QChar(mapped != 0 ? mapped : char16_t(u)));
    }
    return text;
}
