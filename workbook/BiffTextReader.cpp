#include "workbook/BiffTextReader.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kHighByte = 0x01; // characters are 16-bit
constexpr std::uint8_t kPhonetic = 0x04; // a phonetic block follows the characters
constexpr std::uint8_t kRich = 0x08;     // formatting runs follow the characters
constexpr int kRunSize = 4;

} // namespace

BiffTextReader::BiffTextReader(BiffRecordReader &records, const BiffRecord &first, int skip,
                               bool continues)
    : m_records(records), m_first(first)
{
    const int start = std::min<int>(skip, first.size);
    m_segments.push_back({first.data + start, first.size - start});
    BiffRecord next;
    while (continues && records.peekId() == BiffId::Continue && records.next(next))
        m_segments.push_back({next.data, next.size});
    std::uint64_t after = 0;
    for (auto segment = m_segments.rbegin(); segment != m_segments.rend(); ++segment) {
        segment->after = after;
        after += std::uint64_t(segment->size);
    }
}

void BiffTextReader::failPastEnd() const
{
    m_records.fail(m_first, QStringLiteral("holds a string that runs past its end"));
}

bool BiffTextReader::ensureByte()
{
    while (m_offset >= m_segments[m_segment].size) {
        if (m_segment + 1 >= m_segments.size())
            return false;
        ++m_segment;
        m_offset = 0;
    }
    return true;
}

bool BiffTextReader::atEnd() const
{
    return bytesLeft() == 0;
}

std::uint64_t BiffTextReader::bytesLeft() const
{
    const Segment &here = m_segments[m_segment];
    return std::uint64_t(here.size - m_offset) + here.after;
}

std::uint8_t BiffTextReader::u8()
{
    if (!ensureByte())
        failPastEnd();
    return m_segments[m_segment].data[m_offset++];
}

std::uint16_t BiffTextReader::u16()
{
    const std::uint16_t low = u8();
    return std::uint16_t(low | (u8() << 8));
}

std::uint32_t BiffTextReader::u32()
{
    const std::uint32_t low = u16();
    return low | (std::uint32_t(u16()) << 16);
}

void BiffTextReader::skip(std::uint64_t count)
{
    while (count > 0) {
        if (!ensureByte())
            failPastEnd();
        const int here = m_segments[m_segment].size - m_offset;
        const int step = int(std::min<std::uint64_t>(count, std::uint64_t(here)));
        m_offset += step;
        count -= std::uint64_t(step);
    }
}

void BiffTextReader::readCharacters(QString &text, std::uint32_t count, bool wide)
{
    while (count > 0) {
        if (m_offset >= m_segments[m_segment].size) {
            // The characters go on in the next CONTINUE record, after its own option byte.
            if (m_segment + 1 >= m_segments.size())
                failPastEnd();
            ++m_segment;
            m_offset = 0;
            if (m_segments[m_segment].size == 0)
                continue;
            wide = (m_segments[m_segment].data[m_offset++] & kHighByte) != 0;
            continue;
        }
        const uchar *p = m_segments[m_segment].data + m_offset;
        const int here = m_segments[m_segment].size - m_offset;
        const std::uint32_t fit = std::uint32_t(wide ? here / 2 : here);
        const std::uint32_t take = std::min(count, fit);
        if (take == 0) // half a 16-bit character at the end of a record
            failPastEnd();
        if (wide) {
            for (std::uint32_t i = 0; i < take; ++i)
                text += QChar(biffU16(p + 2 * i));
        } else {
            text += QString::fromLatin1(reinterpret_cast<const char *>(p), qsizetype(take));
        }
        m_offset += int(wide ? take * 2 : take);
        count -= take;
    }
}

void BiffTextReader::readCharactersAcrossBoundaries(QString &text, std::uint32_t count, bool wide)
{
    for (std::uint32_t i = 0; i < count; ++i)
        text += wide ? QChar(u16()) : QChar(u8());
}

QString BiffTextReader::wholeString()
{
    const std::uint32_t count = u16();
    const std::uint8_t options = u8();
    const bool wide = (options & kHighByte) != 0;
    const std::uint64_t characterBytes = std::uint64_t(count) * (wide ? 2 : 1);
    const bool spansRecords = m_segment + 1 < m_segments.size();
    if (!spansRecords || (options & (kRich | kPhonetic)) || bytesLeft() != characterBytes) {
        return stringAfterCount(count, options);
    }
    QString text;
    text.reserve(qsizetype(count));
    readCharactersAcrossBoundaries(text, count, wide);
    return text;
}

QString BiffTextReader::string(int countBytes)
{
    const std::uint32_t count = countBytes == 1 ? u8() : u16();
    return stringAfterCount(count, u8());
}

QString BiffTextReader::stringAfterCount(std::uint32_t count, std::uint8_t options)
{
    const std::uint16_t runs = (options & kRich) ? u16() : 0;
    const std::uint32_t phonetic = (options & kPhonetic) ? u32() : 0;
    QString text;
    text.reserve(qsizetype(std::min<std::uint64_t>(count, bytesLeft())));
    readCharacters(text, count, (options & kHighByte) != 0);
    skip(std::uint64_t(runs) * kRunSize);
    skip(phonetic);
    return text;
}
