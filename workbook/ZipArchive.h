#pragma once

#include "common/Failure.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// A zip package opened for reading (the parts of .xlsx, .xlsm and .ods files), as the file
// was when opened. Every failure throws Failure naming the file and the problem.
class ZipArchive {
public:
    // No single part of a workbook comes near this; a part that inflates beyond it is a zip
    // bomb or damage, and reading it would exhaust memory.
    static constexpr qint64 kMaxPartBytes = 512ll * 1024 * 1024;
    // The archive is held in memory while open; no workbook file comes near this.
    static constexpr qint64 kMaxArchiveBytes = 1024ll * 1024 * 1024;

    // Strict refuses an archive whose local headers disagree with its central directory, as
    // no office program writes one; Lenient takes the central directory, as archives written
    // by streaming tools (sizes after the data) need.
    enum class Check { Strict, Lenient };

    explicit ZipArchive(const QString &path, Check check = Check::Strict);
    // An archive held in memory; `name` names it in messages.
    ZipArchive(const QString &name, const QByteArray &bytes, Check check);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    const QString &path() const { return m_path; }
    bool contains(const QString &name) const;
    // The names of the archive's entries, in directory order (folders end with "/").
    QStringList names() const;
    // The whole part, inflated; throws when it is missing, encrypted, damaged or too large.
    QByteArray read(const QString &name, qint64 maxBytes = kMaxPartBytes) const;

    // One part inflated a piece at a time, so that a large part is never held whole. It
    // refuses what read() refuses, with the same messages; a damaged or oversized part is
    // noticed only when its damage is reached.
    class PartStream {
    public:
        PartStream(const ZipArchive &zip, const QString &name, qint64 maxBytes = kMaxPartBytes);
        ~PartStream();
        PartStream(const PartStream &) = delete;
        PartStream &operator=(const PartStream &) = delete;

        // The size the archive's directory states, or -1 when it states none.
        qint64 statedSize() const { return m_sized ? m_limit : -1; }
        // Inflates up to `max` bytes into `into`; 0 only at the end of the part.
        qsizetype read(char *into, qsizetype max);

    private:
        Failure damaged(const QString &why) const;
        Failure tooLarge() const;

        const ZipArchive &m_zip;
        QString m_name;
        qint64 m_maxBytes;
        bool m_sized = false;
        qint64 m_limit = 0;  // the stated size, or the bound when none is stated
        qint64 m_filled = 0; // inflated so far
        bool m_ended = false;
        struct File;
        std::unique_ptr<File> m_file;
    };

private:
    void open(Check check);

    struct Handle;
    QString m_path;
    std::unique_ptr<Handle> m_zip;
};
