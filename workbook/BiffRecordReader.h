#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Little-endian fields of the binary workbook format.
inline std::uint16_t biffU16(const uchar *p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t biffU32(const uchar *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

double biffDouble(const uchar *p);

// Record ids of the binary workbook format that the reader looks at.
namespace BiffId {
constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t DateMode = 0x0022;
constexpr std::uint16_t FilePass = 0x002F;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t WsBool = 0x0081;
constexpr std::uint16_t BoundSheet = 0x0085;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t MulBlank = 0x00BE;
constexpr std::uint16_t RString = 0x00D6;
constexpr std::uint16_t Xf = 0x00E0;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Blank = 0x0201;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Label = 0x0204;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t String = 0x0207;
constexpr std::uint16_t Row = 0x0208;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t Bof = 0x0809;
} // namespace BiffId

// One record: its id and its payload, which lies inside the stream the reader was given.
struct BiffRecord {
    std::uint16_t id = 0;
    std::uint16_t size = 0;
    const uchar *data = nullptr;
    qint64 offset = 0; // of the record's header in the stream
};

// Walks the records of a Workbook stream from a given byte. Every record is checked to lie
// inside the stream, so a payload can be read up to its size without further bounds.
class BiffRecordReader {
public:
    // `path` names the file in failures. The stream must outlive the reader.
    BiffRecordReader(const QByteArray &stream, qint64 start, const QString &path);

    // The next record, or false at the end of the stream. Throws Failure when a record's
    // header or payload runs past the end.
    bool next(BiffRecord &record);
    // The id of the record that next() would return, or -1 at the end of the stream.
    int peekId() const;
    qint64 position() const { return m_position; }

    // Throws Failure naming the file, `problem` and the record's place.
    [[noreturn]] void fail(const BiffRecord &record, const QString &problem) const;
    // Throws unless the record holds at least `size` bytes.
    void requireSize(const BiffRecord &record, int size) const;

private:
    const QByteArray &m_stream;
    qint64 m_position;
    QString m_path;
};
