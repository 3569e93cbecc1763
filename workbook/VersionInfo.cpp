#include "workbook/VersionInfo.h"

#include "common/Failure.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "workbook/WorkbookComponent.h"

#include <QDomElement>

void ReadVersionInfo(const QDomElement &element, TVersionInfo &info)
{
    info.Version.clear();
    const auto sheet = tryReadInt(element.attribute(QStringLiteral("sheet")));
    const auto col = tryReadInt(element.attribute(QStringLiteral("col")));
    const auto row = tryReadInt(element.attribute(QStringLiteral("row")));
    info.Sheet = sheet.value_or(0);
    info.Col = col.value_or(0);
    info.Row = row.value_or(0);
    if (sheet && col && row)
        info.Version = element.attribute(QStringLiteral("version"));
}

bool CheckVersion(WorkbookComponent &excel, const TVersionInfo &info, RunLog &log)
{
    QString cell;
    try {
        cell = cellText(excel.Sheet(info.Sheet)->Cell(info.Row, info.Col));
    } catch (const Failure &) {
        return true; // no such sheet or cell: the check is off
    }
    if (cell == info.Version) {
        log.LogLine(QStringLiteral("XML and Excel sheet version : ") + cell);
        return true;
    }
    log.LogLine(QStringLiteral("Version mismatch between XML file and Excel Sheet"));
    log.LogLine(QStringLiteral("Not able to generated project."));
    log.LogLine(QStringLiteral("  XML file reports version    : ") + info.Version);
    log.LogLine(QStringLiteral("  Excel sheet reports version : ") + cell);
    return false;
}
