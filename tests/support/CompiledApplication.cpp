#include "support/CompiledApplication.h"

#include <zlib.h>

QByteArray compiledApplication(const QByteArray &body)
{
    const QByteArray text = QByteArrayLiteral("K5XTI 1\n") + body;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(text.constData()),
                            uInt(text.size()));
    return text + QByteArrayLiteral("crc32 ") +
           QByteArray::number(qulonglong(crc), 16).toUpper().rightJustified(8, '0') + '\n';
}

QByteArray compiledApplicationOfSize(qsizetype size)
{
    constexpr qsizetype kFrame = 8 + 15 + 1; // the header, the checksum and the last line end
    const QByteArray line = QByteArrayLiteral("; filler\n");
    QByteArray body;
    body.reserve(size);
    while (body.size() + line.size() + kFrame <= size)
        body += line;
    body += QByteArray(qMax<qsizetype>(0, size - kFrame - body.size()), ';') + '\n';
    return compiledApplication(body);
}
