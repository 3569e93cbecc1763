#include "common/Failure.h"
#include "support/XlsxTestBook.h"
#include "support/ZipPackage.h"
#include "workbook/WorkbookFile.h"

#include <QDate>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDate kDayZero(1899, 12, 30);

class XlsxReaderTest : public ::testing::Test {
protected:
    QString filePath(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Writes the parts as a workbook and opens it.
    std::unique_ptr<WorkbookFile> openParts(const std::vector<PackagePart> &parts)
    {
        const QString path = filePath("hand.xlsx");
        writeZipPackage(path, parts);
        return openXlsxFile(path);
    }

    // The first sheet of a hand-made workbook with this sheet content.
    const SheetData &sheetOf(const QByteArray &sheetData)
    {
        m_book = openParts(minimalXlsxParts(sheetData));
        return m_book->sheet(0);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<WorkbookFile> m_book;
};

void expectText(const CellValue &value, const QString &text)
{
    EXPECT_EQ(value.kind, CellKind::Text);
    EXPECT_EQ(value.text, text);
}

void expectNumber(const CellValue &value, double number)
{
    EXPECT_EQ(value.kind, CellKind::Number);
    EXPECT_DOUBLE_EQ(value.number, number);
}

// Texts go to the shared strings normally, and inline into the sheet in constant-memory mode.
class XlsxValueKinds : public XlsxReaderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(XlsxValueKinds, ReadsEveryValueKindThatLibxlsxwriterWrites)
{
    XlsxTestBook book(filePath("kinds.xlsx"), GetParam());
    lxw_worksheet *sheet = book.addSheet("Values");
    worksheet_write_number(sheet, 0, 0, 42, nullptr);
    worksheet_write_number(sheet, 1, 0, -3.25, nullptr);
    worksheet_write_string(sheet, 2, 0, "Hello", nullptr);
    lxw_format *bold = workbook_add_format(book.workbook());
    format_set_bold(bold);
    lxw_rich_string_tuple first = {bold, const_cast<char *>("Bold")};
    lxw_rich_string_tuple second = {nullptr, const_cast<char *>(" and plain")};
    lxw_rich_string_tuple *runs[] = {&first, &second, nullptr};
    worksheet_write_rich_string(sheet, 3, 0, runs, nullptr);
    worksheet_write_boolean(sheet, 4, 0, 1, nullptr);
    worksheet_write_boolean(sheet, 5, 0, 0, nullptr);
    worksheet_write_formula_num(sheet, 6, 0, "=1+2", nullptr, 3);
    worksheet_write_formula_str(sheet, 7, 0, "=\"A\"&\"B\"", nullptr, "AB");
    worksheet_write_string(sheet, 8, 0, "<a & \"b\">", nullptr);
    worksheet_write_string(sheet, 9, 0, " ", nullptr);
    worksheet_write_string(sheet, 10, 0, "two\nlines \xc3\xa4\xe2\x82\xac", nullptr);
    worksheet_write_blank(sheet, 11, 0, bold);
    worksheet_write_string(sheet, 12, 0, "Hello", nullptr); // shared with A3
    worksheet_write_number(sheet, 13, 0, 1e-300, nullptr);
    const auto file = openXlsxFile(book.save());

    ASSERT_EQ(file->sheetCount(), 1);
    EXPECT_EQ(file->sheetName(0), u"Values");
    const SheetData &data = file->sheet(0);
    expectNumber(data.cell(1, 1), 42);
    expectNumber(data.cell(2, 1), -3.25);
    expectText(data.cell(3, 1), QStringLiteral("Hello"));
    expectText(data.cell(4, 1), QStringLiteral("Bold and plain"));
    EXPECT_EQ(data.cell(5, 1).kind, CellKind::Boolean);
    EXPECT_EQ(data.cell(5, 1).number, 1);
    EXPECT_EQ(data.cell(6, 1).kind, CellKind::Boolean);
    EXPECT_EQ(data.cell(6, 1).number, 0);
    expectNumber(data.cell(7, 1), 3);
    expectText(data.cell(8, 1), QStringLiteral("AB"));
    expectText(data.cell(9, 1), QStringLiteral("<a & \"b\">"));
    expectText(data.cell(10, 1), QStringLiteral(" "));
    expectText(data.cell(11, 1), QStringLiteral("two\nlines \u00e4\u20ac"));
    EXPECT_EQ(data.cell(12, 1).kind, CellKind::Empty);
    expectText(data.cell(13, 1), QStringLiteral("Hello"));
    expectNumber(data.cell(14, 1), 1e-300);
    EXPECT_EQ(data.cell(1, 2).kind, CellKind::Empty);
}

INSTANTIATE_TEST_SUITE_P(SharedAndInlineStrings, XlsxValueKinds, ::testing::Bool());

struct DateFormatCase {
    const char *name;
    const char *code; // custom format, or nullptr for the built-in id
    int builtInId;
    double serial;
    bool isDate;
    double days; // days since 1899-12-30 when a date
};

constexpr DateFormatCase kDateFormatCases[] = {
    {"built-in 14", nullptr, 14, 45000, true, 45000},
    {"built-in 22", nullptr, 22, 45000.5, true, 45000.5},
    {"built-in 45 (mm:ss)", nullptr, 45, 0.25, true, 0.25},
    {"built-in 47", nullptr, 47, 1.5, true, 2.5},
    {"locale built-in 31", nullptr, 31, 45000, true, 45000},
    {"locale built-in 57", nullptr, 57, 45000, true, 45000},
    {"built-in 2 (0.00)", nullptr, 2, 45000, false, 0},
    {"built-in 49 (@)", nullptr, 49, 45000, false, 0},
    {"yyyy-mm-dd", "yyyy-mm-dd", 0, 45000, true, 45000},
    {"[h]:mm:ss", "[h]:mm:ss", 0, 1.5, true, 2.5},
    {"locale and date", "[$-409]mmmm d, yyyy", 0, 45000, true, 45000},
    {"0.00", "0.00", 0, 45000, false, 0},
    {"[Red]#,##0", "[Red]#,##0", 0, 45000, false, 0},
    {"quoted d", "\"d\" 0", 0, 45000, false, 0},
    // the 1900 system's days before its 29 February 1900 lie one day later
    {"day 1", "yyyy-mm-dd", 0, 1, true, 2},
    {"day 59", "yyyy-mm-dd", 0, 59, true, 60},
    {"day 60", "yyyy-mm-dd", 0, 60, true, 61},
    {"day 61", "yyyy-mm-dd", 0, 61, true, 61},
};

TEST_F(XlsxReaderTest, NumbersAreDatesWhenTheirFormatShowsADate)
{
    XlsxTestBook book(filePath("dates.xlsx"));
    lxw_worksheet *sheet = book.addSheet();
    int row = 0;
    for (const DateFormatCase &c : kDateFormatCases) {
        lxw_format *format =
            c.code ? book.numberFormat(c.code) : book.builtInNumberFormat(c.builtInId);
        worksheet_write_number(sheet, lxw_row_t(row++), 0, c.serial, format);
    }
    lxw_datetime moment = {2024, 2, 29, 18, 30, 0};
    worksheet_write_datetime(sheet, lxw_row_t(row), 0, &moment,
                             book.numberFormat("dd.mm.yyyy hh:mm"));
    const auto file = openXlsxFile(book.save());
    const SheetData &data = file->sheet(0);

    row = 0;
    for (const DateFormatCase &c : kDateFormatCases) {
        SCOPED_TRACE(c.name);
        const CellValue value = data.cell(++row, 1);
        EXPECT_EQ(value.kind, c.isDate ? CellKind::Date : CellKind::Number);
        EXPECT_DOUBLE_EQ(value.number, c.isDate ? c.days : c.serial);
    }
    const CellValue moment2024 = data.cell(++row, 1);
    ASSERT_EQ(moment2024.kind, CellKind::Date);
    EXPECT_EQ(kDayZero.addDays(qint64(moment2024.number)), QDate(2024, 2, 29));
    EXPECT_NEAR(moment2024.number - std::floor(moment2024.number), 18.5 / 24, 1e-9);
}

TEST_F(XlsxReaderTest, EarlyDatesWrittenAsDatesReadAsTheSameDay)
{
    XlsxTestBook book(filePath("early.xlsx"));
    lxw_worksheet *sheet = book.addSheet();
    lxw_format *format = book.numberFormat("yyyy-mm-dd");
    const QDate days[] = {QDate(1900, 1, 1), QDate(1900, 1, 15), QDate(1900, 2, 28),
                          QDate(1900, 3, 1), QDate(1999, 12, 31)};
    int row = 0;
    for (const QDate &d : days) {
        lxw_datetime when = {d.year(), d.month(), d.day(), 0, 0, 0};
        worksheet_write_datetime(sheet, lxw_row_t(row++), 0, &when, format);
    }
    const auto file = openXlsxFile(book.save());
    row = 0;
    for (const QDate &d : days) {
        SCOPED_TRACE(d.toString(Qt::ISODate).toStdString());
        const CellValue value = file->sheet(0).cell(++row, 1);
        ASSERT_EQ(value.kind, CellKind::Date);
        EXPECT_EQ(kDayZero.addDays(qint64(value.number)), d);
    }
}

TEST_F(XlsxReaderTest, The1904DateSystemCountsFrom1904)
{
    XlsxTestBook book(filePath("1904.xlsx"));
    lxw_worksheet *sheet = book.addSheet();
    lxw_format *format = book.numberFormat("yyyy-mm-dd");
    worksheet_write_number(sheet, 0, 0, 0, format);
    worksheet_write_number(sheet, 1, 0, 60, format);
    worksheet_write_number(sheet, 2, 0, 43538.25, format);
    worksheet_write_number(sheet, 3, 0, 60, nullptr);
    const QString path = book.save();
    // libxlsxwriter writes the 1900 system only; the workbook part is switched by hand.
    std::vector<PackagePart> parts = readZipPackage(path);
    for (PackagePart &part : parts) {
        if (part.name == u"xl/workbook.xml") {
            ASSERT_TRUE(part.bytes.contains("<workbookPr"));
            part.bytes.replace("<workbookPr", "<workbookPr date1904=\"1\"");
        }
    }
    writeZipPackage(path, parts);
    const auto file = openXlsxFile(path);
    const SheetData &data = file->sheet(0);
    EXPECT_EQ(kDayZero.addDays(qint64(data.cell(1, 1).number)), QDate(1904, 1, 1));
    EXPECT_EQ(kDayZero.addDays(qint64(data.cell(2, 1).number)), QDate(1904, 3, 1));
    EXPECT_EQ(data.cell(3, 1).kind, CellKind::Date);
    EXPECT_DOUBLE_EQ(data.cell(3, 1).number, 45000.25);
    expectNumber(data.cell(4, 1), 60); // numbers that are no dates stay as they are
}

TEST_F(XlsxReaderTest, SheetsComeInTabOrderAndAChartSheetIsNoWorksheet)
{
    XlsxTestBook book(filePath("sheets.xlsx"));
    lxw_worksheet *first = book.addSheet("Alpha");
    worksheet_write_number(first, 0, 0, 1, nullptr);
    worksheet_write_number(first, 1, 0, 2, nullptr);
    book.addChartSheet("Chart", "=Alpha!$A$1:$A$2");
    lxw_worksheet *third = book.addSheet("Gamma \xc3\xbc");
    worksheet_write_string(third, 0, 0, "third", nullptr);
    const auto file = openXlsxFile(book.save());

    ASSERT_EQ(file->sheetCount(), 3);
    EXPECT_EQ(file->sheetName(0), u"Alpha");
    EXPECT_EQ(file->sheetName(1), u"Chart");
    EXPECT_EQ(file->sheetName(2), u"Gamma \u00fc");
    EXPECT_TRUE(file->isWorksheet(0));
    EXPECT_FALSE(file->isWorksheet(1));
    EXPECT_TRUE(file->isWorksheet(2));
    expectText(file->sheet(2).cell(1, 1), QStringLiteral("third"));
    expectNumber(file->sheet(0).cell(2, 1), 2);
    EXPECT_THROW(file->sheet(1), Failure);
    EXPECT_THROW(file->sheet(3), Failure);
    EXPECT_THROW(file->sheet(-1), Failure);
}

TEST_F(XlsxReaderTest, SparseCellsKeepTheirPlaces)
{
    XlsxTestBook book(filePath("sparse.xlsx"));
    lxw_worksheet *sheet = book.addSheet();
    worksheet_write_number(sheet, 0, 0, 1, nullptr);
    worksheet_write_string(sheet, 6, 3, "D7", nullptr);
    worksheet_write_number(sheet, 999, 25, 1000, nullptr);
    worksheet_write_string(sheet, 1048575, 16383, "last", nullptr);
    const auto file = openXlsxFile(book.save());
    const SheetData &data = file->sheet(0);

    EXPECT_EQ(data.cellCount(), 4u);
    expectNumber(data.cell(1, 1), 1);
    expectText(data.cell(7, 4), QStringLiteral("D7"));
    expectNumber(data.cell(1000, 26), 1000);
    expectText(data.cell(1048576, 16384), QStringLiteral("last"));
    EXPECT_EQ(data.cell(7, 3).kind, CellKind::Empty);
    EXPECT_EQ(data.cell(2, 1).kind, CellKind::Empty);
    EXPECT_EQ(data.lastRow(), 1048576);
}

struct CellXmlCase {
    const char *name;
    const char *xml; // one row of sheet data holding cell A1
    CellKind kind;
    const char16_t *text;
    double number;
};

const CellXmlCase kCellXmlCases[] = {
    {"error #N/A", R"(<c r="A1" t="e"><f>NA()</f><v>#N/A</v></c>)", CellKind::Error, u"#N/A", 0},
    {"error #DIV/0!", R"(<c r="A1" t="e"><v>#DIV/0!</v></c>)", CellKind::Error, u"#DIV/0!", 0},
    {"inline string", R"(<c r="A1" t="inlineStr"><is><t>inline</t></is></c>)", CellKind::Text,
     u"inline", 0},
    {"inline UTF-8",
     "<c r=\"A1\" t=\"inlineStr\"><is><t>\xC3\x9C"
     "ber_x</t></is></c>",
     CellKind::Text, u"\u00dcber_x", 0},
    {"inline empty", R"(<c r="A1" t="inlineStr"><is><t/></is></c>)", CellKind::Text, u"", 0},
    {"inline with a phonetic run",
     R"(<c r="A1" t="inlineStr"><is><t>kanji</t><rPh sb="0" eb="1"><t>KANA</t></rPh></is></c>)",
     CellKind::Text, u"kanji", 0},
    {"inline rich runs",
     R"(<c r="A1" t="inlineStr"><is><r><t>ab</t></r><r><rPr><b/></rPr><t>cd</t></r></is></c>)",
     CellKind::Text, u"abcd", 0},
    {"inline blank", R"(<c r="A1" t="inlineStr"><is><t xml:space="preserve"> </t></is></c>)",
     CellKind::Text, u" ", 0},
    {"entities", R"(<c r="A1" t="inlineStr"><is><t>a&amp;b&lt;&#x42;&#955;</t></is></c>)",
     CellKind::Text, u"a&b<B\u03bb", 0},
    {"hex escapes", R"(<c r="A1" t="inlineStr"><is><t>x_x000D_y_x005F_x0041_</t></is></c>)",
     CellKind::Text, u"x\ry_x0041_", 0},
    {"CDATA", R"(<c r="A1" t="inlineStr"><is><t><![CDATA[<raw>]]></t></is></c>)", CellKind::Text,
     u"<raw>", 0},
    {"formula text", R"(<c r="A1" t="str"><f>B1</f><v>text_x0009_</v></c>)", CellKind::Text,
     u"text\t", 0},
    {"formula number", R"(<c r="A1"><f>1+1</f><v>2</v></c>)", CellKind::Number, u"", 2},
    {"formula never calculated", R"(<c r="A1"><f>1+1</f></c>)", CellKind::Empty, u"", 0},
    {"formatted empty", R"(<c r="A1" s="0"/>)", CellKind::Empty, u"", 0},
    {"number type", R"(<c r="A1" t="n"><v>1.5E-3</v></c>)", CellKind::Number, u"", 0.0015},
    {"blanks around a number", R"(<c r="A1"><v> 7 </v></c>)", CellKind::Number, u"", 7},
    {"damaged number", R"(<c r="A1"><v>12abc</v></c>)", CellKind::Text, u"12abc", 0},
    {"boolean", R"(<c r="A1" t="b"><v>1</v></c>)", CellKind::Boolean, u"", 1},
    {"boolean false", R"(<c r="A1" t="b"><v>0</v></c>)", CellKind::Boolean, u"", 0},
    {"ISO date", R"(<c r="A1" t="d"><v>1900-03-01T12:00:00</v></c>)", CellKind::Date, u"", 61.5},
    {"ISO date damaged", R"(<c r="A1" t="d"><v>soon</v></c>)", CellKind::Text, u"soon", 0},
    {"shared index damaged", R"(<c r="A1" t="s"><v>x</v></c>)", CellKind::Empty, u"", 0},
};

TEST_F(XlsxReaderTest, ReadsEachCellTypeOfTheFormat)
{
    for (const CellXmlCase &c : kCellXmlCases) {
        SCOPED_TRACE(c.name);
        const CellValue value = sheetOf(QByteArray("<row r=\"1\">") + c.xml + "</row>").cell(1, 1);
        EXPECT_EQ(value.kind, c.kind);
        EXPECT_EQ(value.text, QString::fromUtf16(c.text));
        EXPECT_DOUBLE_EQ(value.number, c.number);
    }
}

TEST_F(XlsxReaderTest, RowsAndCellsWithoutReferenceFollowThePreviousOne)
{
    const SheetData &data =
        sheetOf(R"(<row><c><v>1</v></c><c><v>2</v></c></row>)"
                R"(<row r="5"><c r="C5"><v>3</v></c><c><v>4</v></c></row>)"
                R"(<row><c><v>5</v></c><c r="E6"><v>6</v></c><c><v>7</v></c></row>)");
    expectNumber(data.cell(1, 1), 1);
    expectNumber(data.cell(1, 2), 2);
    expectNumber(data.cell(5, 3), 3);
    expectNumber(data.cell(5, 4), 4);
    expectNumber(data.cell(6, 1), 5);
    expectNumber(data.cell(6, 5), 6);
    expectNumber(data.cell(6, 6), 7);
    EXPECT_EQ(data.cellCount(), 7u);
}

TEST_F(XlsxReaderTest, CellsBeyondTheSheetAreLeftOut)
{
    const SheetData &data = sheetOf(R"(<row r="1"><c r="XFD1"><v>1</v></c><c><v>2</v></c>)"
                                    R"(<c r="XFE1"><v>3</v></c><c r="A1"><v>4</v></c></row>)"
                                    R"(<row r="1048576"><c><v>5</v></c></row>)"
                                    R"(<row r="1048577"><c><v>6</v></c></row>)"
                                    R"(<row r="99999999999999999999"><c><v>7</v></c></row>)"
                                    R"(<row r="-3"><c><v>8</v></c></row>)"
                                    R"(<row r="2"><c r="A9999999"><v>9</v></c></row>)");
    EXPECT_EQ(data.cellCount(), 3u);
    expectNumber(data.cell(1, 16384), 1);
    expectNumber(data.cell(1, 1), 4);
    expectNumber(data.cell(1048576, 1), 5);
}

TEST_F(XlsxReaderTest, SharedStringsJoinRichRunsAndLeavePhoneticTextOut)
{
    std::vector<PackagePart> parts = minimalXlsxParts(
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
        R"(<c r="C1" t="s"><v>2</v></c><c r="D1" t="s"><v>3</v></c><c r="E1" t="s"><v>4</v></c></row>)");
    setPart(
        parts, QStringLiteral("xl/sharedStrings.xml"),
        R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<si><t>plain</t></si>)"
        R"(<si><r><t>ri</t></r><r><rPr><i/></rPr><t xml:space="preserve">ch </t></r>)"
        R"(<rPh sb="0" eb="1"><t>PHONETIC</t></rPh><phoneticPr fontId="1"/></si>)"
        R"(<si><t xml:space="preserve">  </t></si>)"
        R"(<si><t>_x00C4_&amp;</t></si></sst>)");
    const auto file = openParts(parts);
    const SheetData &data = file->sheet(0);
    expectText(data.cell(1, 1), QStringLiteral("plain"));
    expectText(data.cell(1, 2), QStringLiteral("rich "));
    expectText(data.cell(1, 3), QStringLiteral("  "));
    expectText(data.cell(1, 4), QStringLiteral("\u00c4&"));
    EXPECT_EQ(cellText(data.cell(1, 5)), QString()); // no such string
}

TEST_F(XlsxReaderTest, CustomFormatsOfTheStylesPartDecideDates)
{
    std::vector<PackagePart> parts = minimalXlsxParts(
        R"(<row r="1"><c r="A1" s="1"><v>45000</v></c><c r="B1" s="2"><v>45000</v></c>)"
        R"(<c r="C1" s="3"><v>45000</v></c><c r="D1" s="4"><v>45000</v></c>)"
        R"(<c r="E1" s="99"><v>45000</v></c></row>)",
        R"(<xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/><xf numFmtId="14"/>)"
        R"(<xf numFmtId="15"/>)",
        R"(<numFmt numFmtId="164" formatCode="dd/mm/yyyy"/><numFmt numFmtId="165" formatCode="0.00"/>)"
        R"(<numFmt numFmtId="15" formatCode="#,##0"/>)");
    const auto file = openParts(parts);
    const SheetData &data = file->sheet(0);
    EXPECT_EQ(data.cell(1, 1).kind, CellKind::Date);
    EXPECT_EQ(data.cell(1, 2).kind, CellKind::Number);
    EXPECT_EQ(data.cell(1, 3).kind, CellKind::Date);
    EXPECT_EQ(data.cell(1, 4).kind, CellKind::Number); // a built-in id the workbook redefined
    EXPECT_EQ(data.cell(1, 5).kind, CellKind::Number); // no such cell format
}

TEST_F(XlsxReaderTest, PackagesOfOtherWritersAreRead)
{
    // Prefixed namespaces, an absolute sheet target, a relative one with "..", the workbook
    // part elsewhere than usual, a dialog sheet and a macro sheet.
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<PackagePart> parts;
    parts.push_back(
        {QStringLiteral("_rels/.rels"),
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="a" Type=")" +
             rel +
             R"(/officeDocument" Target="/book/wb.xml"/>)"
             "</Relationships>"});
    parts.push_back(
        {QStringLiteral("book/wb.xml"),
         "<x:workbook xmlns:x=\"" + main + "\" xmlns:rr=\"" + rel +
             "\"><x:sheets>"
             R"(<x:sheet name="One" sheetId="1" rr:id="s1"/><x:sheet name="Dialog" sheetId="2" rr:id="s2"/>)"
             R"(<x:sheet name="Macros" sheetId="3" rr:id="s3"/><x:sheet name="Two" sheetId="4" rr:id="s4"/>)"
             R"(<x:sheet name="Lost" sheetId="5" rr:id="s9"/>)"
             "</x:sheets></x:workbook>"});
    parts.push_back(
        {QStringLiteral("book/_rels/wb.xml.rels"),
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="s1" Type=")" +
             rel +
             R"(/worksheet" Target="/book/sheets/one.xml"/>)"
             R"(<Relationship Id="s2" Type=")" +
             rel +
             R"(/dialogsheet" Target="sheets/dialog.xml"/>)"
             R"(<Relationship Id="s3" Type="http://schemas.microsoft.com/office/2006/relationships/xlMacrosheet" Target="sheets/macro.xml"/>)"
             R"(<Relationship Id="s4" Type=")" +
             rel +
             R"(/worksheet" Target="sheets/../other/./two.xml"/>)"
             "</Relationships>"});
    parts.push_back(
        {QStringLiteral("book/sheets/one.xml"),
         "<x:worksheet xmlns:x=\"" + main +
             "\"><x:sheetData><x:row r=\"2\">"
             R"(<x:c r="B2" t="inlineStr"><x:is><x:t>one</x:t></x:is></x:c></x:row></x:sheetData></x:worksheet>)"});
    parts.push_back({QStringLiteral("book/other/two.xml"),
                     "<worksheet xmlns=\"" + main +
                         "\"><sheetData><row><c><v>2</v></c></row></sheetData></worksheet>"});
    const auto file = openParts(parts);

    ASSERT_EQ(file->sheetCount(), 5);
    EXPECT_EQ(file->sheetName(3), u"Two");
    EXPECT_TRUE(file->isWorksheet(0));
    EXPECT_FALSE(file->isWorksheet(1));
    EXPECT_FALSE(file->isWorksheet(2));
    EXPECT_TRUE(file->isWorksheet(3));
    expectText(file->sheet(0).cell(2, 2), QStringLiteral("one"));
    expectNumber(file->sheet(3).cell(1, 1), 2);
    try {
        file->sheet(4);
        FAIL() << "a sheet without a part was read";
    } catch (const Failure &e) {
        EXPECT_TRUE(e.message().contains(u"hand.xlsx")) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(u"Lost")) << e.message().toStdString();
    }
}

TEST_F(XlsxReaderTest, ALargeSheetReadsTheSameInSlicesAndWhole)
{
    // Rows without references, texts that look like row ends, cells that follow the one
    // before: over far more bytes than one slice of rows.
    constexpr int kRows = 30000;
    QByteArray rows;
    for (int r = 1; r <= kRows; ++r) {
        rows += r % 7 == 0 ? QByteArray("<row>") : "<row r=\"" + QByteArray::number(r) + "\">";
        rows += "<c t=\"inlineStr\"><is><t>&lt;/row&gt; arrow> " + QByteArray::number(r) +
                "</t></is></c><c><v>" + QByteArray::number(r * 0.5) + "</v></c></row>";
    }
    QByteArray commented = rows;
    commented.insert(commented.indexOf("<row r=\"2\">"), "<!-- a comment -->");
    for (const QByteArray &content : {rows, commented}) {
        SCOPED_TRACE(content.contains("<!--") ? "whole" : "in slices");
        const SheetData &data = sheetOf(content);
        ASSERT_EQ(data.cellCount(), 2u * kRows);
        for (int r = 1; r <= kRows; r += 997) {
            expectText(data.cell(r, 1), QStringLiteral("</row> arrow> %1").arg(r));
            expectNumber(data.cell(r, 2), r * 0.5);
        }
        expectNumber(data.cell(kRows, 2), kRows * 0.5);
    }
}

TEST_F(XlsxReaderTest, EachSheetIsReadOnceAndKept)
{
    XlsxTestBook book(filePath("once.xlsx"));
    worksheet_write_number(book.addSheet(), 0, 0, 1, nullptr);
    const auto file = openXlsxFile(book.save());
    const SheetData *first = &file->sheet(0);
    EXPECT_EQ(first, &file->sheet(0));
}

} // namespace
