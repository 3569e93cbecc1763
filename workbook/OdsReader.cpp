#include "workbook/WorkbookFile.h"

#include "common/Failure.h"

std::unique_ptr<WorkbookFile> openOdsFile(const QString &path)
{
    throw Failure(path + QStringLiteral(": .ods reading is not built yet"));
}
