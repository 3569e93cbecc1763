#include "workbook/CellAddress.h"

#include "common/Failure.h"
#include "workbook/SheetData.h"

#include <algorithm>

namespace {

// A Range larger than this would take gigabytes as values; no caller needs it.
constexpr qint64 kMaxRangeCells = 16 * 1024 * 1024;

} // namespace

std::optional<CellAddress> parseA1(QStringView text)
{
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$')
        ++i;
    int column = 0;
    const qsizetype lettersStart = i;
    for (; i < text.size() && text[i].isLetter() && text[i].unicode() < 128; ++i) {
        column = column * 26 + (text[i].toUpper().unicode() - 'A' + 1);
        if (column > kMaxSheetColumns)
            return std::nullopt;
    }
    if (i == lettersStart)
        return std::nullopt;
    if (i < text.size() && text[i] == u'$')
        ++i;
    int row = 0;
    const qsizetype digitsStart = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        row = row * 10 + (text[i].unicode() - '0');
        if (row > kMaxSheetRows)
            return std::nullopt;
    }
    if (i == digitsStart || i != text.size() || row < 1)
        return std::nullopt;
    return CellAddress{row, column};
}

QString columnName(int column)
{
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

CellRange cellRange(const QString &first, const QString &last, const QString &where)
{
    const QString range =
        (where.isEmpty() ? QStringLiteral("Range ") : where + QStringLiteral(": range ")) + first +
        u':' + last;
    const auto a = parseA1(first);
    const auto b = parseA1(last);
    if (!a || !b)
        throw Failure(range + QStringLiteral(" is no cell range of the sheet"));
    CellRange r;
    r.top = std::min(a->row, b->row);
    r.left = std::min(a->column, b->column);
    r.rows = std::max(a->row, b->row) - r.top + 1;
    r.columns = std::max(a->column, b->column) - r.left + 1;
    if (qint64(r.rows) * r.columns > kMaxRangeCells)
        throw Failure(range + QStringLiteral(" holds too many cells"));
    return r;
}
