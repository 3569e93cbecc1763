#pragma once

#include "workbook/BiffRecordReader.h"

#include <QString>
#include <cstdint>
#include <vector>

// Reads the strings of one record together with the CONTINUE records that follow it, as one
// run of bytes. A string's characters may go on in the next CONTINUE record, which then
// starts with a new option byte saying whether they are 8-bit or 16-bit; everything else
// (counts, formatting runs, phonetic blocks) simply goes on across the boundary.
class BiffTextReader {
public:
    // The payload of `first` from byte `skip` on; with `continues`, the payloads of the
    // CONTINUE records right after it, which the record reader then has passed.
    BiffTextReader(BiffRecordReader &records, const BiffRecord &first, int skip, bool continues);

    bool atEnd() const;
    std::uint64_t bytesLeft() const;

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void skip(std::uint64_t count);

    // A string with a count of characters of `countBytes` (1 or 2) bytes, an option byte and,
    // as the options say, formatting runs and a phonetic block, which are skipped.
    QString string(int countBytes);
    // The one string that fills the record and its CONTINUE records, as in the STRING record
    // of a formula's text result. Some writers split such a string at the record boundary
    // without the option byte, even in the middle of a 16-bit character; when the bytes left
    // are exactly the characters' bytes, that is what happened and the boundaries are ignored.
    QString wholeString();

private:
    struct Segment {
        const uchar *data;
        int size;
        std::uint64_t after = 0; // bytes in the segments after this one
    };

    [[noreturn]] void failPastEnd() const;
    // Moves to the next segment when the current one is used up; false at the very end.
    bool ensureByte();
    void readCharacters(QString &text, std::uint32_t count, bool wide);
    QString stringAfterCount(std::uint32_t count, std::uint8_t options);
    void readCharactersAcrossBoundaries(QString &text, std::uint32_t count, bool wide);

    const BiffRecordReader &m_records;
    BiffRecord m_first;
    std::vector<Segment> m_segments;
    std::size_t m_segment = 0;
    int m_offset = 0; // in the current segment
};
