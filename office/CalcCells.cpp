#include "office/CalcCells.h"

#include "office/UnoText.h"

#include <QHash>
#include <algorithm>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/NumberFormat.hpp>

using namespace css;

namespace {

// Rows read by one getDataArray call: large enough that a signal sheet takes a few calls,
// small enough that one answer stays a few megabytes.
constexpr int kRowsPerCall = 4096;

// The last used row and column of the sheet, from 1; cells beyond are empty.
std::pair<int, int> usedEnd(const uno::Reference<sheet::XSpreadsheet> &sheet)
{
    const uno::Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
    uno::Reference<sheet::XUsedAreaCursor>(cursor, uno::UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    const table::CellRangeAddress end =
        uno::Reference<sheet::XCellRangeAddressable>(cursor, uno::UNO_QUERY_THROW)
            ->getRangeAddress();
    return {end.EndRow + 1, end.EndColumn + 1};
}

CellKind kindOfFormat(const uno::Reference<util::XNumberFormats> &formats, sal_Int32 key,
                      QHash<sal_Int32, CellKind> &known)
{
    if (const auto it = known.constFind(key); it != known.cend())
        return *it;
    sal_Int16 type = 0;
    try {
        formats->getByKey(key)->getPropertyValue("Type") >>= type;
    } catch (const uno::Exception &) {
        // an unknown key is the general format
    }
    CellKind kind = CellKind::Number;
    if (type & util::NumberFormat::LOGICAL)
        kind = CellKind::Boolean;
    else if (type & (util::NumberFormat::DATE | util::NumberFormat::TIME))
        kind = CellKind::Date;
    known.insert(key, kind);
    return kind;
}

struct Block {
    int top; // from 0, as Calc counts
    int left;
    int rows;
    int columns;
    std::vector<CellValue> &cells; // of the whole request
    int requestTop;
    int requestLeft;
    int requestColumns;

    bool contains(int row, int column) const
    {
        return row >= top && row < top + rows && column >= left && column < left + columns;
    }
    CellValue &at(int row, int column) // sheet positions from 0
    {
        return cells[std::size_t(row - requestTop) * std::size_t(requestColumns) +
                     std::size_t(column - requestLeft)];
    }
};

void readValues(const uno::Reference<table::XCellRange> &range, Block &b)
{
    const uno::Sequence<uno::Sequence<uno::Any>> data =
        uno::Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->getDataArray();
    for (int r = 0; r < data.getLength() && r < b.rows; ++r) {
        const uno::Sequence<uno::Any> &row = data[r];
        for (int c = 0; c < row.getLength() && c < b.columns; ++c) {
            CellValue &cell = b.at(b.top + r, b.left + c);
            double number = 0;
            OUString text;
            if (row[c] >>= number)
                cell = CellValue::fromNumber(number);
            else if ((row[c] >>= text) && !text.isEmpty())
                cell = CellValue::fromText(fromUno(text));
        }
    }
}

template <typename Visit>
void forEachCell(const uno::Sequence<table::CellRangeAddress> &addresses, Visit visit)
{
    for (const table::CellRangeAddress &a : addresses)
        for (sal_Int32 r = a.StartRow; r <= a.EndRow; ++r)
            for (sal_Int32 c = a.StartColumn; c <= a.EndColumn; ++c)
                visit(int(r), int(c));
}

// Numbers whose format is a date, a time or logical become dates and booleans.
void applyFormats(const uno::Reference<table::XCellRange> &range,
                  const uno::Reference<util::XNumberFormats> &formats, Block &b)
{
    QHash<sal_Int32, CellKind> known;
    const uno::Reference<container::XIndexAccess> groups =
        uno::Reference<sheet::XUniqueCellFormatRangesSupplier>(range, uno::UNO_QUERY_THROW)
            ->getUniqueCellFormatRanges();
    for (sal_Int32 i = 0; i < groups->getCount(); ++i) {
        const uno::Reference<beans::XPropertySet> group(groups->getByIndex(i),
                                                        uno::UNO_QUERY_THROW);
        sal_Int32 key = 0;
        group->getPropertyValue("NumberFormat") >>= key;
        const CellKind kind = kindOfFormat(formats, key, known);
        if (kind == CellKind::Number)
            continue;
        const auto addresses = uno::Reference<sheet::XSheetCellRanges>(group, uno::UNO_QUERY_THROW)
                                   ->getRangeAddresses();
        forEachCell(addresses, [&](int r, int c) {
            if (!b.contains(r, c))
                return;
            CellValue &cell = b.at(r, c);
            if (cell.kind == CellKind::Number)
                cell.kind = kind;
        });
    }
}

// Formulas whose result is an error give the error as Calc shows it ("#N/A", "Err:502").
void applyErrors(const uno::Reference<table::XCellRange> &range,
                 const uno::Reference<sheet::XSpreadsheet> &sheet, Block &b)
{
    const auto errors = uno::Reference<sheet::XCellRangesQuery>(range, uno::UNO_QUERY_THROW)
                            ->queryFormulaCells(sheet::FormulaResult::ERROR);
    forEachCell(errors->getRangeAddresses(), [&](int r, int c) {
        if (!b.contains(r, c))
            return;
        const uno::Reference<text::XTextRange> shown(sheet->getCellByPosition(c, r),
                                                     uno::UNO_QUERY_THROW);
        b.at(r, c) = CellValue::fromError(fromUno(shown->getString()));
    });
}

} // namespace

std::vector<CellValue> readCalcCells(const uno::Reference<sheet::XSpreadsheet> &sheet,
                                     const uno::Reference<util::XNumberFormats> &formats, int top,
                                     int left, int rows, int columns)
{
    std::vector<CellValue> cells(std::size_t(rows) * std::size_t(columns));
    const auto [lastRow, lastColumn] = usedEnd(sheet);
    const int endRow = std::min(top + rows - 1, lastRow);
    const int endColumn = std::min(left + columns - 1, lastColumn);
    if (endRow < top || endColumn < left)
        return cells;
    for (int first = top; first <= endRow; first += kRowsPerCall) {
        const int last = std::min(endRow, first + kRowsPerCall - 1);
        Block b{first - 1, left - 1, last - first + 1, endColumn - left + 1,
                cells,     top - 1,  left - 1,         columns};
        const uno::Reference<table::XCellRange> range =
            sheet->getCellRangeByPosition(left - 1, first - 1, endColumn - 1, last - 1);
        readValues(range, b);
        applyFormats(range, formats, b);
        applyErrors(range, sheet, b);
    }
    return cells;
}
