#include "workbook/WorkbookFile.h"

#include "common/Failure.h"

std::unique_ptr<WorkbookFile> openXlsxFile(const QString &path)
{
    throw Failure(path + QStringLiteral(": .xlsx reading is not built yet"));
}
