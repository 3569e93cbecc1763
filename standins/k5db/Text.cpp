#include "Text.h"

#include "StoreError.h"
#include "interfaces/K5dbApi.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace k5db {

namespace {

// Unicode of the codes 0x80 to 0x9F; the five codes Windows-1252 leaves undefined map to the
// control characters of the same number, as Windows does.
constexpr std::array<char32_t, 32> kHighRange = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178,
};

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char ansiOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighRange.size(); ++i) {
        if (kHighRange[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at text[i], advancing i; a malformed byte reads as U+FFFD.
char32_t nextCodePoint(std::string_view text, std::size_t &i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra > text.size())
        return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (b & 0x3F);
        ++i;
    }
    return c;
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::string_view callerText(const char *text, std::size_t limit)
{
    if (!text)
        throw StoreError(K5DB_ERR_ARGUMENT, "null text");
    const std::size_t size = strnlen(text, limit + 1);
    if (size > limit)
        throw StoreError(K5DB_ERR_ARGUMENT, "text too long");
    return std::string_view(text, size);
}

std::string utf8FromAnsi(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (const char byte : ansi) {
        const auto b = static_cast<unsigned char>(byte);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighRange[b - 0x80] : char32_t{b});
    }
    return out;
}

void appendAnsiFromUtf8(std::string &out, std::string_view utf8)
{
    // ASCII, what names and most texts are, is the same in both
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(utf8);
        return;
    }
    out.reserve(out.size() + utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
        out += ansiOf(nextCodePoint(utf8, i));
}

std::string ansiFromUtf8(std::string_view utf8)
{
    std::string out;
    appendAnsiFromUtf8(out, utf8);
    return out;
}

bool isIdentifier(std::string_view name)
{
    if (name.empty() || name.size() > kMaxNameBytes)
        return false;
    if (!isAsciiLetter(name.front()) && name.front() != '_')
        return false;
    for (const char c : name) {
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '_')
            return false;
    }
    return true;
}

bool isFolderName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxNameBytes || name == "." || name == "..")
        return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '/' || c == 0x7F)
            return false;
    }
    return true;
}

std::string foldName(std::string_view name)
{
    std::string folded(name);
    for (char &c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

} // namespace k5db
