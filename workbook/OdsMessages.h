#pragma once

#include <QString>
#include <cstdint>

// The failures of the .ods reader, each naming the file and the problem.
namespace OdsMessages {

inline QString notFound(const QString &path)
{
    return path + QStringLiteral(": file not found");
}

inline QString notSpreadsheet(const QString &path, const QString &mimeType)
{
    return path + QStringLiteral(": not a spreadsheet (an OpenDocument file of type ") + mimeType +
           u')';
}

inline QString encrypted(const QString &path)
{
    return path + QStringLiteral(": the workbook is encrypted (saved with a password); "
                                 "save it without a password to read it");
}

inline QString contentMissing(const QString &path)
{
    return path + QStringLiteral(": no OpenDocument spreadsheet (part content.xml is missing)");
}

inline QString contentMalformed(const QString &path, const QString &problem, std::int64_t offset)
{
    return path + QStringLiteral(": part content.xml is malformed (%1 at byte %2)")
                      .arg(problem)
                      .arg(offset);
}

inline QString noSpreadsheet(const QString &path)
{
    return path +
           QStringLiteral(": no OpenDocument spreadsheet (content.xml holds no spreadsheet)");
}

inline QString noSheet(const QString &path)
{
    return path + QStringLiteral(": the workbook has no sheet");
}

inline QString tooManyCells(const QString &path, const QString &sheet, std::int64_t limit)
{
    return path + QStringLiteral(": sheet ") + sheet +
           QStringLiteral(" is too large (more than %1 cells in the workbook)").arg(limit);
}

inline QString tooManySpaces(const QString &path, std::int64_t limit)
{
    return path + QStringLiteral(": the workbook is too large (its texts ask for more than %1 "
                                 "spaces)")
                      .arg(limit);
}

inline QString tooMuchMarkup(const QString &path, std::int64_t limitBytes)
{
    return path + QStringLiteral(": the workbook is too large (content.xml would take more than "
                                 "%1 MB to read)")
                      .arg(limitBytes / (1024 * 1024));
}

inline QString tooManySheets(const QString &path, int limit)
{
    return path + QStringLiteral(": the workbook is too large (more than %1 sheets)").arg(limit);
}

} // namespace OdsMessages
