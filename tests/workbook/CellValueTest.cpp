#include "workbook/CellValue.h"
#include "common/Failure.h"

#include <QDate>
#include <QTime>
#include <QVariant>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

struct TextCase {
    const char *name;
    CellValue value;
    const char16_t *c;      // in the C locale
    const char16_t *german; // with the German decimal separator
};

const TextCase kTextCases[] = {
    {"empty", {}, u"", u""},
    {"text", CellValue::fromText(QStringLiteral(" a,b ")), u" a,b ", u" a,b "},
    {"error", CellValue::fromError(QStringLiteral("#N/A")), u"#N/A", u"#N/A"},
    {"true", CellValue::fromBool(true), u"True", u"True"},
    {"false", CellValue::fromBool(false), u"False", u"False"},
    {"zero", CellValue::fromNumber(0), u"0", u"0"},
    {"negative zero", CellValue::fromNumber(-0.0), u"0", u"0"},
    {"whole", CellValue::fromNumber(42), u"42", u"42"},
    {"negative whole", CellValue::fromNumber(-7), u"-7", u"-7"},
    {"large whole", CellValue::fromNumber(123456789012345), u"123456789012345", u"123456789012345"},
    {"whole beyond 15 digits", CellValue::fromNumber(1e15), u"1E15", u"1E15"},
    {"fraction", CellValue::fromNumber(0.5), u"0.5", u"0,5"},
    {"negative fraction", CellValue::fromNumber(-3.25), u"-3.25", u"-3,25"},
    {"sum with binary noise", CellValue::fromNumber(0.1 + 0.2), u"0.3", u"0,3"},
    {"third", CellValue::fromNumber(1.0 / 3), u"0.333333333333333", u"0,333333333333333"},
    {"15 significant digits", CellValue::fromNumber(1234567.891234567), u"1234567.89123457",
     u"1234567,89123457"},
    {"large", CellValue::fromNumber(1e20), u"1E20", u"1E20"},
    {"large with fraction", CellValue::fromNumber(1.5e20), u"1.5E20", u"1,5E20"},
    {"smallest fixed", CellValue::fromNumber(0.00001), u"0.00001", u"0,00001"},
    {"small", CellValue::fromNumber(0.0000015), u"1.5E-6", u"1,5E-6"},
    {"negative small", CellValue::fromNumber(-0.000001), u"-1E-6", u"-1E-6"},
    {"date", CellValue::fromDate(45000), u"15 Mar 2023", u"15.03.23"},
    {"date and time", CellValue::fromDate(45000.75), u"15 Mar 2023 18:00:00", u"15.03.23 18:00:00"},
    {"time rounding to midnight", CellValue::fromDate(45000.9999999999), u"16 Mar 2023",
     u"16.03.23"},
    {"time alone", CellValue::fromDate(0.5), u"30 Dec 1899 12:00:00", u"30.12.99 12:00:00"},
    {"date beyond the calendar", CellValue::fromDate(1e300), u"1E300", u"1E300"},
};

TEST(CellText, EachKindAsTheGeneratorReadsIt)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const TextCase &c : kTextCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cellText(c.value, QLocale::c()), QString::fromUtf16(c.c));
        EXPECT_EQ(cellText(c.value, german), QString::fromUtf16(c.german));
    }
}

TEST(CellText, NumbersThatAreNoValuesHaveANameInsteadOfDigits)
{
    EXPECT_EQ(generalNumberText(std::numeric_limits<double>::quiet_NaN(), QLocale::c()), u"NAN");
    EXPECT_EQ(generalNumberText(std::numeric_limits<double>::infinity(), QLocale::c()), u"INF");
    EXPECT_EQ(generalNumberText(-std::numeric_limits<double>::infinity(), QLocale::c()), u"-INF");
}

TEST(CellText, ADateKeepsItsWallClockTimeAcrossADaylightSavingChange)
{
    const QByteArray oldZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    // 2023-03-26 02:30: the hour that Berlin skips that night.
    const QString text = cellText(CellValue::fromDate(45011 + 2.5 / 24), QLocale::c());
    if (oldZone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldZone);
    tzset();
    EXPECT_EQ(text, u"26 Mar 2023 02:30:00");
}

TEST(CellBlock, IsIndexedFromOneByRowAndColumn)
{
    CellBlock block(2, 3);
    block.at(2, 3) = CellValue::fromNumber(6);
    block.at(1, 2) = CellValue::fromText(QStringLiteral("b"));
    EXPECT_EQ(block.rows(), 2);
    EXPECT_EQ(block.columns(), 3);
    EXPECT_EQ(block.text(2, 3), u"6");
    EXPECT_EQ(block.text(1, 2), u"b");
    EXPECT_EQ(block.at(2, 2).kind, CellKind::Empty);
    EXPECT_THROW(block.at(3, 1), std::out_of_range);
}

struct MacroCase {
    const char *name;
    QVariant result;
    std::optional<int> value; // none: throws
};

TEST(MacroResult, EmptyBooleanNumberAndNumericTextAreIntegers)
{
    const MacroCase cases[] = {
        {"no result", QVariant(), 0},
        {"null", QVariant::fromValue(nullptr), 0},
        {"true", QVariant(true), -1},
        {"false", QVariant(false), 0},
        {"int", QVariant(5), 5},
        {"negative int", QVariant(-12), -12},
        {"long long", QVariant(qlonglong(1) << 20), 1 << 20},
        {"double", QVariant(2.0), 2},
        {"double with fraction", QVariant(2.6), 3},
        {"numeric text", QVariant(QStringLiteral(" 12")), 12},
        {"hexadecimal text", QVariant(QStringLiteral("$1F")), 31},
        {"other text", QVariant(QStringLiteral("yes")), std::nullopt},
        {"empty text", QVariant(QString()), std::nullopt},
        {"double beyond int", QVariant(1e10), std::nullopt},
        {"not a number", QVariant(std::nan("")), std::nullopt},
        {"date", QVariant(QDate(2023, 3, 15)), std::nullopt},
    };
    for (const MacroCase &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.value)
            EXPECT_EQ(macroResultToInt(c.result), *c.value);
        else
            EXPECT_THROW(macroResultToInt(c.result), Failure);
    }
}

} // namespace
