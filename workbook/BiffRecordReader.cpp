#include "workbook/BiffRecordReader.h"

#include "common/Failure.h"
#include "workbook/XlsMessages.h"

#include <cstring>

double biffDouble(const uchar *p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

BiffRecordReader::BiffRecordReader(const QByteArray &stream, qint64 start, const QString &path)
    : m_stream(stream), m_position(start), m_path(path)
{
    if (start < 0 || start > stream.size())
        throw Failure(
            XlsMessages::damaged(path, QStringLiteral("a sheet lies beyond the stream"), start));
}

bool BiffRecordReader::next(BiffRecord &record)
{
    const qint64 left = m_stream.size() - m_position;
    if (left == 0)
        return false;
    if (left < 4)
        throw Failure(XlsMessages::damaged(
            m_path, QStringLiteral("the stream ends inside a record"), m_position));
    const auto *header = reinterpret_cast<const uchar *>(m_stream.constData()) + m_position;
    record.id = biffU16(header);
    record.size = biffU16(header + 2);
    record.data = header + 4;
    record.offset = m_position;
    if (record.size > left - 4)
        throw Failure(XlsMessages::damaged(m_path,
                                           XlsMessages::recordName(record.id) +
                                               QStringLiteral(" runs past the end of the stream"),
                                           m_position));
    m_position += 4 + record.size;
    return true;
}

int BiffRecordReader::peekId() const
{
    if (m_stream.size() - m_position < 4)
        return -1;
    return biffU16(reinterpret_cast<const uchar *>(m_stream.constData()) + m_position);
}

void BiffRecordReader::fail(const BiffRecord &record, const QString &problem) const
{
    throw Failure(XlsMessages::damaged(m_path, XlsMessages::recordName(record.id) + u' ' + problem,
                                       record.offset));
}

void BiffRecordReader::requireSize(const BiffRecord &record, int size) const
{
    if (record.size < size)
        fail(record, QStringLiteral("is too short"));
}
