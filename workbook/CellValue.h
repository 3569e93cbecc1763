#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

// What a workbook cell holds, as the spreadsheet hands it over.
enum class CellKind : std::uint8_t {
    Empty,
    Text,
    Number,
    Boolean, // number is 1 or 0
    Date,    // number is days since 1899-12-30, the fraction the time of day
    Error,   // text is the error value as shown, such as "#N/A"
};

struct CellValue {
    CellKind kind = CellKind::Empty;
    double number = 0;
    QString text;

    static CellValue fromText(const QString &t) { return {CellKind::Text, 0, t}; }
    static CellValue fromNumber(double n) { return {CellKind::Number, n, {}}; }
    static CellValue fromBool(bool b) { return {CellKind::Boolean, b ? 1.0 : 0.0, {}}; }
    static CellValue fromDate(double d) { return {CellKind::Date, d, {}}; }
    static CellValue fromError(const QString &t) { return {CellKind::Error, 0, t}; }
};

// A cell as text: empty gives "", text stays unchanged, a whole number gives its decimal
// digits, another number its general form with up to 15 significant digits and the
// locale's decimal separator, a boolean "True" or "False", a date the locale's short date
// followed by its long time when the time of day is not midnight.
QString cellText(const CellValue &value, const QLocale &locale = QLocale::system());

// A number in the general form with up to 15 significant digits ("0.1", "1E20", "1.5E-6").
QString generalNumberText(double value, const QLocale &locale = QLocale::system());

// A block of cells as the spreadsheet returns a range: indexed [row, column] from 1,
// relative to the block's top-left cell.
class CellBlock {
public:
    CellBlock() = default;
    CellBlock(int rows, int columns);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    const CellValue &at(int row, int column) const;
    CellValue &at(int row, int column);
    QString text(int row, int column, const QLocale &locale = QLocale::system()) const
    {
        return cellText(at(row, column), locale);
    }

private:
    int m_rows = 0;
    int m_columns = 0;
    std::vector<CellValue> m_cells;
};

// A macro result as an integer: empty counts as 0, a boolean as -1 or 0, a number or
// numeric text as its value; anything else throws Failure.
int macroResultToInt(const QVariant &result);
