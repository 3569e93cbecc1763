#pragma once

#include <QString>
#include <cstdint>

// The texts of the .xls reader's failures, each naming the file and the problem.
namespace XlsMessages {

inline QString encrypted(const QString &path)
{
    return path + QStringLiteral(": the workbook is encrypted (protected by a password to open); "
                                 "save it without that password to read it");
}

inline QString notAWorkbook(const QString &path)
{
    return path + QStringLiteral(": not a workbook (a compound file without a Workbook stream)");
}

inline QString damagedCompoundFile(const QString &path, const QString &detail)
{
    return path + QStringLiteral(": damaged compound file (") + detail + u')';
}

inline QString oldFormat(const QString &path)
{
    return path + QStringLiteral(": an Excel 5.0/95 or older workbook, which cannot be read; "
                                 "save it as an Excel 97-2003 or newer workbook");
}

// `problem` says what is wrong; `offset` is the byte of the Workbook stream where it is.
inline QString damaged(const QString &path, const QString &problem, qint64 offset)
{
    return path + QStringLiteral(": damaged workbook: ") + problem +
           QStringLiteral(" (at byte %1 of the Workbook stream)").arg(offset);
}

inline QString recordName(std::uint16_t id)
{
    return QStringLiteral("record 0x%1").arg(id, 4, 16, QLatin1Char('0'));
}

} // namespace XlsMessages
