#pragma once

#include <QByteArray>

// A compiled application as the device takes it: the "K5XTI 1" header, the given body and
// the closing checksum line. The checksum is zlib's CRC-32, made independently of the device's.
QByteArray compiledApplication(const QByteArray &body = QByteArrayLiteral("project \"Plant\"\n"));
// One of about the given size, filled with comment lines.
QByteArray compiledApplicationOfSize(qsizetype size);
