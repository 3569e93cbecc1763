#include "common/Failure.h"
#include "workbook/FileWorkbooks.h"
#include "workbook/WorkbookFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStringList>

namespace {

using testing::HasSubstr;

QString fixture(const char *name)
{
    return QStringLiteral(TESSILY_FIXTURES "/xls/") + QLatin1String(name);
}

// The long texts of the values workbook, as make_fixtures.py writes them.
QString longLatin()
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QString::asprintf("Line %04d of a long text that spans several records. ", i);
    return text;
}

QString longGreek()
{
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QString::asprintf("Γραμμή %03d ελληνικού κειμένου. ", i);
    return text;
}

QString mixed()
{
    return QStringLiteral("Ab").repeated(3000) + QStringLiteral("Ωμέγα");
}

struct CellCase {
    int row;
    int column;
    QString text;
};

void expectCells(const SheetData &sheet, const std::vector<CellCase> &cases)
{
    for (const CellCase &c : cases) {
        SCOPED_TRACE(QStringLiteral("row %1 column %2").arg(c.row).arg(c.column).toStdString());
        EXPECT_EQ(cellText(sheet.cell(c.row, c.column), QLocale::c()), c.text);
    }
}

const std::vector<CellCase> &textCells()
{
    static const std::vector<CellCase> cells = {
        {1, 1, QStringLiteral("Plain text")},
        {2, 1, QStringLiteral("Latin-1: àéîõü ß ÆØÅ")},
        {3, 1, QStringLiteral("Ελληνικά κείμενο")},
        {4, 1, QStringLiteral("日本語のテキスト")},
        {5, 1, longLatin()},
        {6, 1, longGreek()},
        {7, 1, QStringLiteral("Rich bold text")},
        {8, 1, QStringLiteral("  padded  ")},
        {9, 1, mixed()},
        {10, 1, QStringLiteral("Plain text")},
        {11, 1, QString()},
        {1, 2, QString()},
    };
    return cells;
}

const std::vector<CellCase> &numberCells()
{
    static const std::vector<CellCase> cells = {
        {1, 1, QStringLiteral("42")},
        {1, 2, QStringLiteral("1")},
        {1, 3, QStringLiteral("2")},
        {1, 4, QStringLiteral("3")},
        {1, 5, QStringLiteral("4")},
        {2, 1, QStringLiteral("-7")},
        {3, 1, QStringLiteral("0.5")},
        {4, 1, QStringLiteral("3.14159265358979")},
        {5, 1, QStringLiteral("1234.56")},
        {6, 1, QStringLiteral("1E20")},
        {7, 1, QStringLiteral("123456789012")},
        {8, 1, QStringLiteral("0.1")},
        {9, 1, QStringLiteral("-0.000123")},
        {10, 1, QStringLiteral("True")},
        {11, 1, QStringLiteral("False")},
        {12, 1, QStringLiteral("2.5")},
        {12, 2, QStringLiteral("0.25")},
        {12, 3, QStringLiteral("12")},
        {100, 26, QStringLiteral("sparse Z100")},
        {1000, 4, QStringLiteral("1000")},
        {99, 26, QString()},
        {100, 25, QString()},
        {1000, 3, QString()},
        {1001, 4, QString()},
    };
    return cells;
}

struct DateCase {
    int row;
    CellKind kind;
    double value; // days since 1899-12-30 for dates
};

void expectDates(const SheetData &sheet, const std::vector<DateCase> &cases)
{
    for (const DateCase &c : cases) {
        SCOPED_TRACE(c.row);
        const CellValue value = sheet.cell(c.row, 1);
        EXPECT_EQ(value.kind, c.kind);
        EXPECT_NEAR(value.number, c.value, 1e-9);
    }
}

constexpr double kHalfPastTwo = (14 * 60 + 30) / 1440.0;

class XlsValues : public testing::TestWithParam<const char *> {};

TEST_P(XlsValues, ListsEverySheetInTabOrderWithHiddenOnesAsWorksheets)
{
    const auto book = openWorkbookFile(fixture(GetParam()));
    const QStringList names = {QStringLiteral("Texts"), QStringLiteral("Numbers"),
                               QStringLiteral("Dates"), QStringLiteral("Hidden"),
                               QStringLiteral("Last sheet")};
    ASSERT_EQ(book->sheetCount(), names.size());
    for (int i = 0; i < book->sheetCount(); ++i) {
        EXPECT_EQ(book->sheetName(i), names[i]);
        EXPECT_TRUE(book->isWorksheet(i));
    }
    expectCells(book->sheet(3), {{1, 1, QStringLiteral("in a hidden sheet")}});
    expectCells(book->sheet(4), {{1, 2, QStringLiteral("B1 of the last sheet")}, {1, 1, {}}});
}

TEST_P(XlsValues, ReadsSharedTextsAcrossContinueRecordsIn8And16Bits)
{
    const auto book = openWorkbookFile(fixture(GetParam()));
    expectCells(book->sheet(0), textCells());
}

TEST_P(XlsValues, ReadsNumbersBooleansAndSparseCells)
{
    const auto book = openWorkbookFile(fixture(GetParam()));
    const SheetData &sheet = book->sheet(1);
    expectCells(sheet, numberCells());
    EXPECT_EQ(sheet.cell(10, 1).kind, CellKind::Boolean);
    EXPECT_EQ(sheet.cell(1, 1).kind, CellKind::Number);
    EXPECT_EQ(sheet.lastRow(), 1000);
}

TEST_P(XlsValues, ReadsFormulaNumberAndErrorResults)
{
    const auto book = openWorkbookFile(fixture(GetParam()));
    expectCells(book->sheet(1), {
                                    {2, 2, QStringLiteral("84")},
                                    {5, 2, QStringLiteral("#DIV/0!")},
                                    {6, 2, QStringLiteral("#N/A")},
                                    {9, 2, QStringLiteral("#VALUE!")},
                                });
    EXPECT_EQ(book->sheet(1).cell(5, 2).kind, CellKind::Error);
}

TEST_P(XlsValues, LoadsEachSheetOnce)
{
    const auto book = openWorkbookFile(fixture(GetParam()));
    const SheetData *first = &book->sheet(2);
    EXPECT_EQ(&book->sheet(2), first);
}

INSTANTIATE_TEST_SUITE_P(Writers, XlsValues,
                         testing::Values("values-gnumeric.xls", "values-libreoffice.xls"));

TEST(XlsReader, ReadsFormulaTextBooleanAndErrorResultsWithTheirTypes)
{
    const auto book = openWorkbookFile(fixture("values-gnumeric.xls"));
    const SheetData &sheet = book->sheet(1);
    expectCells(sheet, {
                           {3, 2, QStringLiteral("abcdef")},
                           {4, 2, QStringLiteral("True")},
                           {7, 2, QStringLiteral("#NUM!")},
                           {8, 2, QString(300, u'x')},
                           {10, 2, QStringLiteral("False")},
                           {11, 2, QString(5000, QChar(0x03A9))},
                       });
    EXPECT_EQ(sheet.cell(4, 2).kind, CellKind::Boolean);
    EXPECT_EQ(sheet.cell(3, 2).kind, CellKind::Text);
}

TEST(XlsReader, ReadsDatesByBuiltInAndCustomFormats)
{
    // Gnumeric writes the spreadsheet's serials: 1 is 1900-01-01, 60 the day that never was.
    const auto gnumeric = openWorkbookFile(fixture("values-gnumeric.xls"));
    expectDates(gnumeric->sheet(2), {
                                        {1, CellKind::Date, 45366},
                                        {2, CellKind::Date, 45366 + kHalfPastTwo},
                                        {3, CellKind::Date, kHalfPastTwo},
                                        {4, CellKind::Date, 2},
                                        {5, CellKind::Date, 60},
                                        {6, CellKind::Date, 61},
                                        {7, CellKind::Date, 36525},
                                        {8, CellKind::Number, 3.5},
                                        {9, CellKind::Date, 36527},
                                    });
    EXPECT_EQ(cellText(gnumeric->sheet(2).cell(1, 1), QLocale::c()),
              QLocale::c().toString(QDate(2024, 3, 15), QLocale::ShortFormat));
    EXPECT_EQ(cellText(gnumeric->sheet(2).cell(4, 1), QLocale::c()),
              QLocale::c().toString(QDate(1900, 1, 1), QLocale::ShortFormat));
    // LibreOffice writes its own day counts, which before March 1900 mean one day later.
    const auto libreOffice = openWorkbookFile(fixture("values-libreoffice.xls"));
    expectDates(libreOffice->sheet(2), {
                                           {1, CellKind::Date, 45366},
                                           {3, CellKind::Date, kHalfPastTwo},
                                           {4, CellKind::Date, 3},
                                           {6, CellKind::Date, 61},
                                           {7, CellKind::Date, 36525},
                                           {8, CellKind::Number, 3.5},
                                       });
}

TEST(XlsReader, ReadsThe1904DateSystem)
{
    const auto book = openWorkbookFile(fixture("dates1904-libreoffice.xls"));
    expectDates(book->sheet(0), {
                                    {1, CellKind::Date, 45366},
                                    {2, CellKind::Date, 1462},
                                    {3, CellKind::Date, 1463.5},
                                    {4, CellKind::Number, 1000},
                                });
}

TEST(XlsReader, TellsChartSheetsFromWorksheets)
{
    const auto book = openWorkbookFile(fixture("chartsheet-gnumeric.xls"));
    ASSERT_EQ(book->sheetCount(), 3);
    EXPECT_EQ(book->sheetName(1), QStringLiteral("Chart"));
    EXPECT_TRUE(book->isWorksheet(0));
    EXPECT_FALSE(book->isWorksheet(1));
    EXPECT_TRUE(book->isWorksheet(2));
    expectCells(book->sheet(2),
                {{1, 1, QStringLiteral("after the chart")}, {2, 1, QStringLiteral("True")}});
    try {
        book->sheet(1);
        ADD_FAILURE() << "a chart sheet gave cells";
    } catch (const Failure &e) {
        EXPECT_THAT(e.message().toStdString(), HasSubstr("is no worksheet"));
    }
}

TEST(XlsReader, SkipsAChartNestedInAWorksheet)
{
    const auto book = openWorkbookFile(fixture("chart-embedded-libreoffice.xls"));
    ASSERT_EQ(book->sheetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(book->isWorksheet(i));
    expectCells(book->sheet(0), {{1, 1, QStringLiteral("label")}, {5, 2, QStringLiteral("40")}});
    expectCells(book->sheet(2),
                {{1, 1, QStringLiteral("after the chart")}, {2, 1, QStringLiteral("True")}});
}

TEST(XlsReader, OpensThroughTheWorkbookComponent)
{
    FileWorkbooks books;
    books.Open(fixture("values-gnumeric.xls"));
    EXPECT_EQ(books.ActiveWorkbookName(), QStringLiteral("values-gnumeric.xls"));
    const auto numbers = books.Sheet(2);
    EXPECT_EQ(numbers->Name(), QStringLiteral("Numbers"));
    EXPECT_EQ(cellText(numbers->Cell(3, 2), QLocale::c()), QStringLiteral("abcdef"));
    const CellBlock block = numbers->Range(QStringLiteral("A1"), QStringLiteral("B2"));
    EXPECT_EQ(block.text(1, 1, QLocale::c()), QStringLiteral("42"));
    EXPECT_EQ(block.text(1, 2, QLocale::c()), QStringLiteral("1"));
    EXPECT_EQ(block.text(2, 1, QLocale::c()), QStringLiteral("-7"));
    EXPECT_EQ(block.text(2, 2, QLocale::c()), QStringLiteral("84"));
    EXPECT_EQ(books.Sheet(5)->Name(), QStringLiteral("Last sheet"));
    EXPECT_THROW(books.Sheet(6), Failure);
    EXPECT_THROW(books.Sheet(0), Failure);
}

TEST(XlsReader, WorkbookComponentRefusesAChartSheetAsWorksheet)
{
    FileWorkbooks books;
    books.Open(fixture("chartsheet-gnumeric.xls"));
    EXPECT_EQ(books.Sheet(1)->Name(), QStringLiteral("Data"));
    try {
        books.Sheet(2);
        ADD_FAILURE() << "a chart sheet was taken as a worksheet";
    } catch (const Failure &e) {
        EXPECT_THAT(e.message().toStdString(), HasSubstr("chartsheet-gnumeric.xls"));
        EXPECT_THAT(e.message().toStdString(), HasSubstr("no worksheet"));
    }
    EXPECT_EQ(cellText(books.Sheet(3)->Cell(1, 1), QLocale::c()),
              QStringLiteral("after the chart"));
    EXPECT_THROW(books.Sheet(4), Failure);
}

} // namespace
