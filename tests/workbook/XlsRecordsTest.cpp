#include "XlsTestFiles.h"

#include "workbook/WorkbookFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

// Hand-made Workbook streams, each holding exactly the records a case is about.
namespace {

using namespace XlsTestFiles;

constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kShrFmla = 0x04BC;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kWsBool = 0x0081;

class XlsRecords : public testing::Test {
protected:
    std::unique_ptr<WorkbookFile> open(const QByteArray &globals, const std::vector<Sheet> &sheets)
    {
        const QString path = m_dir.filePath(QStringLiteral("book%1.xls").arg(m_count++));
        writeXls(path, workbookStream(globals, sheets));
        return openWorkbookFile(path);
    }
    // One worksheet with these cell records and the given globals.
    const SheetData &sheetOf(const QByteArray &cells, const QByteArray &globals = {})
    {
        m_book = open(globals, {{QStringLiteral("S"), 0, 0x0010, 0, cells}});
        return m_book->sheet(0);
    }
    static QString text(const SheetData &sheet, int row, int column)
    {
        return cellText(sheet.cell(row, column), QLocale::c());
    }

    QTemporaryDir m_dir;
    int m_count = 0;
    std::unique_ptr<WorkbookFile> m_book;
};

// A formula record with the given 8-byte value field and a one-token formula.
QByteArray formula(int row, int column, const QByteArray &value, int xf = 0)
{
    return record(kFormula, cellHeader(row, column, xf) + value + u16(0) + u32(0) + u16(1) +
                                QByteArray(1, '\x17'));
}

// The value field of a formula whose result is no number.
QByteArray specialResult(int type, int value = 0)
{
    return QByteArray(1, char(type)) + QByteArray(1, '\0') + QByteArray(1, char(value)) +
           QByteArray(3, '\0') + u16(0xFFFF);
}

QByteArray utf16(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text)
        bytes += u16(c.unicode());
    return bytes;
}

TEST_F(XlsRecords, BoolErrGivesBooleansAndErrorTexts)
{
    struct Case {
        int value;
        bool error;
        const char *text;
    };
    const Case cases[] = {
        {1, false, "True"},      {0, false, "False"},     {0x00, true, "#NULL!"},
        {0x07, true, "#DIV/0!"}, {0x0F, true, "#VALUE!"}, {0x17, true, "#REF!"},
        {0x1D, true, "#NAME?"},  {0x24, true, "#NUM!"},   {0x2A, true, "#N/A"},
    };
    QByteArray cells;
    int row = 0;
    for (const Case &c : cases)
        cells += record(kBoolErr, cellHeader(row++, 0) + QByteArray(1, char(c.value)) +
                                      QByteArray(1, char(c.error ? 1 : 0)));
    const SheetData &sheet = sheetOf(cells);
    row = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const CellValue value = sheet.cell(row++, 1);
        EXPECT_EQ(value.kind, c.error ? CellKind::Error : CellKind::Boolean);
        EXPECT_EQ(cellText(value, QLocale::c()), QLatin1String(c.text));
    }
}

TEST_F(XlsRecords, RkNumbersInAllFourForms)
{
    struct Case {
        std::uint32_t rk;
        const char *text;
    };
    const Case cases[] = {
        {(42u << 2) | 2, "42"},                             // integer
        {std::uint32_t(-7 * 4) | 2, "-7"},                  // negative integer
        {(12345u << 2) | 3, "123.45"},                      // integer in hundredths
        {0x3FE00000u, "0.5"},                               // upper bits of a double
        {0x4073A000u | 1, "3.14"},                          // double in hundredths
        {std::uint32_t(-536870912) * 4u | 2, "-536870912"}, // smallest 30-bit integer
    };
    QByteArray cells;
    int row = 0;
    for (const Case &c : cases)
        cells += record(kRk, cellHeader(row++, 0) + u32(c.rk));
    // MULRK: row 20, columns C to E, each with its own format index.
    cells += record(kMulRk, u16(19) + u16(2) + u16(0) + u32((1u << 2) | 2) + u16(0) +
                                u32((2u << 2) | 2) + u16(0) + u32(0x3FE00000u) + u16(4));
    const SheetData &sheet = sheetOf(cells);
    row = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(text(sheet, row++, 1), QLatin1String(c.text));
    }
    EXPECT_EQ(text(sheet, 20, 2), QString());
    EXPECT_EQ(text(sheet, 20, 3), QStringLiteral("1"));
    EXPECT_EQ(text(sheet, 20, 4), QStringLiteral("2"));
    EXPECT_EQ(text(sheet, 20, 5), QStringLiteral("0.5"));
    EXPECT_EQ(text(sheet, 20, 6), QString());
}

TEST_F(XlsRecords, LabelRecordsIn8And16Bits)
{
    const QByteArray cells =
        record(kLabel, cellHeader(0, 0) + string(QStringLiteral("Grüße"), false)) +
        record(kLabel, cellHeader(0, 1) + string(QStringLiteral("Привет"), true)) +
        record(kLabel, cellHeader(0, 2) + string(QString(), false));
    const SheetData &sheet = sheetOf(cells);
    EXPECT_EQ(text(sheet, 1, 1), QStringLiteral("Grüße"));
    EXPECT_EQ(text(sheet, 1, 2), QStringLiteral("Привет"));
    EXPECT_EQ(sheet.cell(1, 3).kind, CellKind::Text);
}

// Four shared strings spread over an SST record and three CONTINUE records: the first goes
// on from 8-bit to 16-bit characters, the second from 16-bit to 8-bit, the third has
// formatting runs and a phonetic block that are cut by a record boundary, the fourth checks
// that everything before it was passed exactly.
TEST_F(XlsRecords, SharedStringsSwitchCharacterWidthAtEachContinue)
{
    const QByteArray sst = u32(4) + u32(4) + u16(13) + QByteArray(1, '\0') + "Hello ";
    const QByteArray continue1 = QByteArray(1, '\x01') + utf16(QStringLiteral("Wörld Ω")) + u16(4) +
                                 QByteArray(1, '\x01') + utf16(QStringLiteral("ΑΒ"));
    const QByteArray continue2 = QByteArray(1, '\0') + "cd" + u16(4) + QByteArray(1, '\x0C') +
                                 u16(2) + u32(6) + "Rich" + u16(0) + u16(1) + u16(2);
    const QByteArray continue3 =
        u16(0) + QByteArray(6, '\x7F') + u16(5) + QByteArray(1, '\0') + "after";
    const QByteArray globals = record(kSst, sst) + record(kContinue, continue1) +
                               record(kContinue, continue2) + record(kContinue, continue3);
    QByteArray cells;
    for (int i = 0; i < 4; ++i)
        cells += record(kLabelSst, cellHeader(i, 0) + u32(std::uint32_t(i)));
    const SheetData &sheet = sheetOf(cells, globals);
    EXPECT_EQ(text(sheet, 1, 1), QStringLiteral("Hello Wörld Ω"));
    EXPECT_EQ(text(sheet, 2, 1), QStringLiteral("ΑΒcd"));
    EXPECT_EQ(text(sheet, 3, 1), QStringLiteral("Rich"));
    EXPECT_EQ(text(sheet, 4, 1), QStringLiteral("after"));
}

TEST_F(XlsRecords, FormulaResultsOfEveryKind)
{
    const QByteArray cells =
        formula(0, 0, f64(2.5)) + formula(1, 0, specialResult(0)) +
        record(kShrFmla, QByteArray(10, '\0')) +
        record(kString, string(QStringLiteral("shared"), false)) +
        formula(2, 0, specialResult(1, 1)) + formula(3, 0, specialResult(2, 0x17)) +
        formula(4, 0, specialResult(3)) +
        // a text result whose STRING record is missing: the next cell's record comes first
        formula(5, 0, specialResult(0)) + record(kNumber, cellHeader(5, 1) + f64(7)) +
        record(kString, string(QStringLiteral("stray"), false)) +
        // a long text result split over a CONTINUE record, with its option byte
        formula(6, 0, specialResult(0)) + record(kString, u16(6) + QByteArray(1, '\0') + "abc") +
        record(kContinue, QByteArray(1, '\x01') + utf16(QStringLiteral("Δεf")));
    const SheetData &sheet = sheetOf(cells);
    EXPECT_EQ(text(sheet, 1, 1), QStringLiteral("2.5"));
    EXPECT_EQ(text(sheet, 2, 1), QStringLiteral("shared"));
    EXPECT_EQ(sheet.cell(3, 1).kind, CellKind::Boolean);
    EXPECT_EQ(text(sheet, 3, 1), QStringLiteral("True"));
    EXPECT_EQ(text(sheet, 4, 1), QStringLiteral("#REF!"));
    EXPECT_EQ(sheet.cell(5, 1).kind, CellKind::Text);
    EXPECT_EQ(text(sheet, 5, 1), QString());
    EXPECT_EQ(text(sheet, 6, 1), QString());
    EXPECT_EQ(text(sheet, 6, 2), QStringLiteral("7"));
    EXPECT_EQ(text(sheet, 7, 1), QStringLiteral("abcΔεf"));
}

// A formula's text result split over a CONTINUE record: with the option byte, as the format
// has it, or without it, as some writers do, even inside a 16-bit character.
TEST_F(XlsRecords, FormulaTextSplitOverContinueWithOrWithoutOptionByte)
{
    struct Case {
        const char *what;
        QByteArray first;
        QByteArray rest;
        QString text;
    };
    const Case cases[] = {
        {"8-bit, then 16-bit after an option byte", u16(4) + QByteArray(1, '\0') + "ab",
         QByteArray(1, '\x01') + utf16(QStringLiteral("ΓΔ")), QStringLiteral("abΓΔ")},
        {"8-bit, then 8-bit after an option byte", u16(4) + QByteArray(1, '\0') + "ab",
         QByteArray(1, '\0') + "cd", QStringLiteral("abcd")},
        {"8-bit, split without an option byte", u16(4) + QByteArray(1, '\0') + "ab", "cd",
         QStringLiteral("abcd")},
        {"16-bit, split inside a character", u16(2) + QByteArray(1, '\x01') + u16(0x03A9) + "\xA9",
         "\x03", QStringLiteral("ΩΩ")},
    };
    QByteArray cells;
    int row = 0;
    for (const Case &c : cases) {
        cells += formula(row, 0, specialResult(0)) + record(kString, c.first) +
                 record(kContinue, c.rest);
        ++row;
    }
    const SheetData &sheet = sheetOf(cells);
    row = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(text(sheet, row++, 1), c.text);
    }
}

TEST_F(XlsRecords, DatesByTheCellFormat)
{
    // XF 0 General, 1 the built-in date 14 (no FORMAT record), 2 a custom date and time,
    // 3 a custom number with a quoted "h", 4 the built-in "0.00".
    const QByteArray globals =
        record(kFormat, u16(164) + string(QStringLiteral("dd/mm/yyyy hh:mm"), false)) +
        record(kFormat, u16(165) + string(QStringLiteral("0.0 \"h\""), false)) +
        record(kXf, u16(0) + u16(0) + QByteArray(16, '\0')) +
        record(kXf, u16(0) + u16(14) + QByteArray(16, '\0')) +
        record(kXf, u16(0) + u16(164) + QByteArray(16, '\0')) +
        record(kXf, u16(0) + u16(165) + QByteArray(16, '\0')) +
        record(kXf, u16(0) + u16(2) + QByteArray(16, '\0'));
    struct Case {
        int xf;
        double serial;
        CellKind kind;
        double value;
    };
    const Case cases[] = {
        {0, 45366.5, CellKind::Number, 45366.5},
        {1, 45366.5, CellKind::Date, 45366.5},
        {2, 45366.5, CellKind::Date, 45366.5},
        {3, 45366.5, CellKind::Number, 45366.5},
        {4, 45366.5, CellKind::Number, 45366.5},
        {9, 45366.5, CellKind::Number, 45366.5},
        // the 1900 date system counts a 1900-02-29 that never was
        {1, 1, CellKind::Date, 2},
        {1, 59, CellKind::Date, 60},
        {1, 60, CellKind::Date, 61},
        {1, 61, CellKind::Date, 61},
        {2, 0.25, CellKind::Date, 0.25},
    };
    QByteArray cells;
    int row = 0;
    for (const Case &c : cases)
        cells += record(kNumber, cellHeader(row++, 0, c.xf) + f64(c.serial));
    cells += formula(row, 0, f64(45366), 1);
    const SheetData &sheet = sheetOf(cells, globals);
    row = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(row);
        const CellValue value = sheet.cell(row++, 1);
        EXPECT_EQ(value.kind, c.kind);
        EXPECT_DOUBLE_EQ(value.number, c.value);
    }
    EXPECT_EQ(sheet.cell(row, 1).kind, CellKind::Date);
}

TEST_F(XlsRecords, OnlyWorksheetsAreWorksheetsAndHiddenOnesCount)
{
    const QByteArray dialog = record(kWsBool, QByteArray(1, '\x11') + QByteArray(1, '\x04'));
    const QByteArray plain = record(kWsBool, QByteArray(1, '\x01') + QByteArray(1, '\x04')) +
                             record(kNumber, cellHeader(0, 0) + f64(5));
    const auto book = open({}, {
                                   {QStringLiteral("Dialog"), 0, 0x0010, 0, dialog},
                                   {QStringLiteral("Macro"), 1, 0x0040, 0, {}},
                                   {QStringLiteral("Chart"), 2, 0x0020, 0, {}},
                                   {QStringLiteral("Very hidden"), 0, 0x0010, 2, plain},
                                   {QStringLiteral("Plain"), 0, 0x0010, 0, plain},
                               });
    ASSERT_EQ(book->sheetCount(), 5);
    const bool worksheet[] = {false, false, false, true, true};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(book->isWorksheet(i), worksheet[i]);
    }
    EXPECT_EQ(book->sheetName(3), QStringLiteral("Very hidden"));
    EXPECT_EQ(cellText(book->sheet(3).cell(1, 1), QLocale::c()), QStringLiteral("5"));
}

} // namespace
