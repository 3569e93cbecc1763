#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

// The entry point every fuzz target defines: one input, never a crash, a hang or a leak.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

inline QByteArray fuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Readers that take a file get the input as one, in a folder of the process's own.
inline QString writeFuzzFile(const QByteArray &bytes, const QString &name)
{
    static const QString folder = [] {
        const QString path = QDir::temp().filePath(QStringLiteral("tessily-fuzz-%1").arg(getpid()));
        QDir().mkpath(path);
        return path;
    }();
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}
