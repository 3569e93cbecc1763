#include "workbook/XlsxSheetReader.h"
#include "workbook/XlsxText.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

struct EscapeCase {
    const char16_t *text;
    const char16_t *decoded;
};

constexpr EscapeCase kEscapeCases[] = {
    {u"plain", u"plain"},    {u"a_x000D_b", u"a\rb"},        {u"_x0041__x0062_", u"Ab"},
    {u"_x00e9_", u"\u00e9"}, {u"_x005F_x0041_", u"_x0041_"}, // an escaped underscore ends the
                                                             // escape
    {u"_x12_", u"_x12_"},    {u"_x00G1_", u"_x00G1_"},       {u"_x0041", u"_x0041"},
    {u"__x0041_", u"_A"},    {u"x_x_x0009_", u"x_x\t"},      {u"", u""},
};

TEST(XlsxText, DecodesHexEscapesAsTheSpreadsheetDoes)
{
    for (const EscapeCase &c : kEscapeCases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(xlsx::decodeEscapes(text), QString::fromUtf16(c.decoded));
    }
}

struct RefCase {
    const char *ref;
    int row; // 0: refused
    int column;
};

constexpr RefCase kRefCases[] = {
    {"A1", 1, 1},        {"b7", 7, 2},       {"AA10", 10, 27}, {"XFD1048576", 1048576, 16384},
    {"XFE1", 0, 0},      {"A1048577", 0, 0}, {"A0", 0, 0},     {"1", 0, 0},
    {"A", 0, 0},         {"A1B", 0, 0},      {"", 0, 0},       {"A99999999999", 0, 0},
    {"ZZZZZZZZ1", 0, 0}, {"A-1", 0, 0},
};

TEST(XlsxCellReference, ReadsReferencesWithinTheSheetOnly)
{
    for (const RefCase &c : kRefCases) {
        SCOPED_TRACE(c.ref);
        const auto ref = xlsx::parseCellRef(c.ref);
        if (c.row == 0) {
            EXPECT_FALSE(ref.has_value());
            continue;
        }
        ASSERT_TRUE(ref.has_value());
        EXPECT_EQ(ref->row, c.row);
        EXPECT_EQ(ref->column, c.column);
    }
}

struct SerialCase {
    double serial;
    bool date1904;
    QDate date;
};

TEST(XlsxDateSerial, CountsFromTheRightDayInBothDateSystems)
{
    const SerialCase cases[] = {
        {1, false, QDate(1900, 1, 1)},     {59, false, QDate(1900, 2, 28)},
        {60, false, QDate(1900, 3, 1)}, // the 29 February 1900 that never was
        {61, false, QDate(1900, 3, 1)},    {45000, false, QDate(2023, 3, 15)},
        {0, true, QDate(1904, 1, 1)},      {60, true, QDate(1904, 3, 1)},
        {43538, true, QDate(2023, 3, 15)},
    };
    const QDate base(1899, 12, 30);
    for (const SerialCase &c : cases) {
        SCOPED_TRACE(c.serial);
        SCOPED_TRACE(c.date1904);
        EXPECT_EQ(base.addDays(qint64(xlsx::dateFromSerial(c.serial, c.date1904))), c.date);
    }
    EXPECT_DOUBLE_EQ(xlsx::dateFromSerial(59.75, false), 60.75); // the time of day stays
    EXPECT_DOUBLE_EQ(xlsx::dateFromSerial(0.25, false), 0.25);   // a time alone stays on day 0
}

} // namespace
