#include "ApplicationCheck.h"

#include <array>
#include <cstdint>

namespace rtusim {

namespace {

constexpr std::string_view kHeader = "K5XTI 1\n";
constexpr std::string_view kChecksumWord = "crc32 ";
constexpr std::size_t kHexDigits = 8;

constexpr std::array<std::uint32_t, 256> makeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// CRC-32 with zip's polynomial, as the compiler writes it.
std::uint32_t crc32(std::string_view bytes)
{
    static constexpr auto kTable = makeCrcTable();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = kTable[(crc ^ std::uint8_t(byte)) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Eight upper-case hexadecimal digits, or nothing.
bool readHex(std::string_view text, std::uint32_t &value)
{
    if (text.size() != kHexDigits)
        return false;
    value = 0;
    for (const char c : text) {
        const int digit = (c >= '0' && c <= '9')   ? c - '0'
                          : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                   : -1;
        if (digit < 0)
            return false;
        value = value << 4 | std::uint32_t(digit);
    }
    return true;
}

} // namespace

bool isWholeApplication(std::string_view bytes)
{
    if (bytes.substr(0, kHeader.size()) != kHeader || bytes.empty() || bytes.back() != '\n')
        return false;
    const std::string_view withoutEnd = bytes.substr(0, bytes.size() - 1);
    const std::size_t lineStart = withoutEnd.rfind('\n') + 1; // never 0: the header ends in LF
    const std::string_view last = withoutEnd.substr(lineStart);
    std::uint32_t expected = 0;
    return last.substr(0, kChecksumWord.size()) == kChecksumWord &&
           readHex(last.substr(kChecksumWord.size()), expected) &&
           crc32(bytes.substr(0, lineStart)) == expected;
}

} // namespace rtusim
