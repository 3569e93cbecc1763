#include "workbook/WorkbookFile.h"

#include "common/Failure.h"
#include "workbook/ZipArchive.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray kZipMagic("PK\x03\x04", 4);
const QByteArray kCompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

bool isOpenDocument(const QString &path)
{
    const ZipArchive zip(path);
    if (!zip.contains(QStringLiteral("mimetype")))
        return zip.contains(QStringLiteral("content.xml")) &&
               !zip.contains(QStringLiteral("[Content_Types].xml"));
    return zip.read(QStringLiteral("mimetype"), 4096)
        .trimmed()
        .startsWith("application/vnd.oasis.opendocument.spreadsheet");
}

} // namespace

std::unique_ptr<WorkbookFile> openWorkbookFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(path + QStringLiteral(": file not found"));
    if (!info.isFile())
        throw Failure(path + QStringLiteral(": not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(path + QStringLiteral(": cannot be read (") + file.errorString() + u')');
    const QByteArray head = file.read(8);
    file.close();
    if (head.startsWith(kZipMagic))
        return isOpenDocument(path) ? openOdsFile(path) : openXlsxFile(path);
    if (head.startsWith(kCompoundFileMagic))
        return openXlsFile(path);
    throw Failure(path + QStringLiteral(": not a workbook (neither .xlsx, .xlsm, .xls nor .ods)"));
}
