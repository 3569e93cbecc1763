#include "workbook/WorkbookFile.h"

#include "common/Failure.h"

std::unique_ptr<WorkbookFile> openXlsFile(const QString &path)
{
    throw Failure(path + QStringLiteral(": .xls reading is not built yet"));
}
