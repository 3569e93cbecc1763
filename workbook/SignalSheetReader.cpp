#include "workbook/SignalSheetReader.h"

#include "common/CommaText.h"
#include "common/Failure.h"
#include "common/RunLog.h"
#include "workbook/CellAddress.h"
#include "workbook/WorkbookComponent.h"

namespace {

constexpr int kBlockRows = 500;
// Reading stops after this many consecutive rows without a signal type.
constexpr int kMaxEmptyTypeRows = 50;

struct ScanState {
    bool endSeen = false;
    int emptyTypes = 0;
    bool goesOn() const { return !endSeen && emptyTypes < kMaxEmptyTypeRows; }
};

QString placeholderLine(int columns)
{
    return joinCommaText(QStringList(columns > 0 ? columns : 0, QString()));
}

} // namespace

void ReadSignalSheet(WorkbookComponent &excel, const SignalSheetLayout &layout,
                     const SignalValueCheck &check, QStringList &lines, RunLog &log)
{
    const auto sheet = excel.Sheet(layout.SignalTypeSheet);
    const QString sheetName = sheet->Name();
    const int columns = layout.SignalTypeRightMostCol;
    for (int i = 0; i < layout.SignalTypeRow; ++i)
        lines.append(placeholderLine(columns));

    const int typeColumn = layout.SignalTypeColon + 1;
    // Looked up once: the system locale is built anew on every call, and a large sheet has
    // hundreds of thousands of cells.
    const QLocale locale = QLocale::system();
    ScanState state;
    for (int block = 0; state.goesOn(); ++block) {
        const int firstRow = layout.SignalTypeRow + kBlockRows * block;
        const CellBlock cells =
            sheet->Range(QStringLiteral("A%1").arg(firstRow),
                         columnName(columns) + QString::number(firstRow + kBlockRows));
        if (typeColumn < 1 || typeColumn > cells.columns())
            throw Failure(
                QStringLiteral("Signal type column %1 lies outside the columns read (1..%2)")
                    .arg(typeColumn)
                    .arg(cells.columns()));
        for (int r = 1; r <= kBlockRows && r <= cells.rows() && state.goesOn(); ++r) {
            const QString type = cells.text(r, typeColumn, locale);
            if (type.toUpper() == u"END")
                state.endSeen = true;
            state.emptyTypes = type.isEmpty() ? state.emptyTypes + 1 : 0;
            QStringList fields;
            fields.reserve(columns);
            for (int c = 1; c <= columns; ++c) {
                QString value = c == typeColumn ? type : cells.text(r, c, locale);
                QString message;
                if (check && !check(c, value, message)) {
                    const int sheetRow = firstRow + r - 1;
                    log.LogLine(QString::asprintf(
                        "Value (%s) in '%s' sheet, row(%d) col(%s) is not accepted",
                        qUtf8Printable(cells.text(r, c, locale)), qUtf8Printable(sheetName),
                        sheetRow, qUtf8Printable(columnName(c))));
                    log.LogLine(message);
                    log.LogLine(QStringLiteral("Using default value (%1)").arg(value));
                }
                fields.append(value);
            }
            lines.append(joinCommaText(fields));
        }
    }
}
