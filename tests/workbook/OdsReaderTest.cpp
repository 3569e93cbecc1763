#include "workbook/OdsReader.h"

#include "common/Failure.h"
#include "support/OdsTestFile.h"
#include "workbook/FileWorkbooks.h"
#include "workbook/GeneratorOptions.h"
#include "workbook/Worksheet.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace {

class OdsReaderTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Reads a workbook whose content.xml holds `tables`.
    std::unique_ptr<WorkbookFile> read(const QByteArray &tables, const OdsLimits &limits = {})
    {
        const QString file = writeOdsFile(path(QStringLiteral("book.ods")), tables);
        return openOdsFile(file, limits);
    }

    // Reads a workbook of one sheet whose rows are `rows`.
    const SheetData &readRows(const QByteArray &rows)
    {
        m_book = read("<table:table table:name=\"Sheet1\">" + rows + "</table:table>");
        return m_book->sheet(0);
    }

    // The message of the Failure that opening `file` throws; empty when it opens.
    static QString failureOf(const QString &file, const OdsLimits &limits = {})
    {
        try {
            openOdsFile(file, limits);
        } catch (const Failure &f) {
            return f.message();
        }
        return {};
    }

    QTemporaryDir m_dir;
    std::unique_ptr<WorkbookFile> m_book;
};

QByteArray row(const QByteArray &cells, int repeated = 1)
{
    const QByteArray repeat =
        repeated > 1 ? " table:number-rows-repeated=\"" + QByteArray::number(repeated) + '"' : "";
    return "<table:table-row" + repeat + '>' + cells + "</table:table-row>";
}

void expectCell(const SheetData &sheet, int r, int c, const CellValue &expected)
{
    SCOPED_TRACE(QStringLiteral("cell (%1,%2)").arg(r).arg(c).toStdString());
    const CellValue value = sheet.cell(r, c);
    EXPECT_EQ(value.kind, expected.kind);
    EXPECT_DOUBLE_EQ(value.number, expected.number);
    EXPECT_EQ(value.text.toStdString(), expected.text.toStdString());
}

const QByteArray kEmptyTail = "<table:table-cell table:number-columns-repeated=\"16383\"/>";

TEST_F(OdsReaderTest, ReadsEveryValueKind)
{
    struct Case {
        const char *cell;
        CellValue value;
    };
    const Case cases[] = {
        {"<table:table-cell office:value-type=\"float\" office:value=\"42\"><text:p>42</text:p>"
         "</table:table-cell>",
         CellValue::fromNumber(42)},
        {"<table:table-cell office:value-type=\"float\" office:value=\"-1.25E-3\"/>",
         CellValue::fromNumber(-1.25e-3)},
        {"<table:table-cell office:value-type=\"percentage\" office:value=\"0.25\">"
         "<text:p>25%</text:p></table:table-cell>",
         CellValue::fromNumber(0.25)},
        {"<table:table-cell office:value-type=\"currency\" office:currency=\"EUR\""
         " office:value=\"12.5\"><text:p>12,50 €</text:p></table:table-cell>",
         CellValue::fromNumber(12.5)},
        {"<table:table-cell office:value-type=\"date\" office:date-value=\"2024-03-05\">"
         "<text:p>05.03.24</text:p></table:table-cell>",
         CellValue::fromDate(45356)},
        {"<table:table-cell office:value-type=\"date\""
         " office:date-value=\"2024-03-05T18:00:00\"/>",
         CellValue::fromDate(45356.75)},
        {"<table:table-cell office:value-type=\"time\" office:time-value=\"PT06H00M00S\">"
         "<text:p>06:00</text:p></table:table-cell>",
         CellValue::fromDate(0.25)},
        {"<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\">"
         "<text:p>TRUE</text:p></table:table-cell>",
         CellValue::fromBool(true)},
        {"<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"/>",
         CellValue::fromBool(false)},
        {"<table:table-cell office:value-type=\"string\"><text:p>plain</text:p>"
         "</table:table-cell>",
         CellValue::fromText(QStringLiteral("plain"))},
        {"<table:table-cell office:value-type=\"string\" office:string-value=\"held\">"
         "<text:p>shown</text:p></table:table-cell>",
         CellValue::fromText(QStringLiteral("held"))},
        {"<table:table-cell office:value-type=\"string\"><text:p>Grüße €</text:p>"
         "</table:table-cell>",
         CellValue::fromText(QStringLiteral("Grüße €"))},
        {"<table:table-cell table:formula=\"of:=[.B1]*2\" office:value-type=\"float\""
         " office:value=\"6\"><text:p>6</text:p></table:table-cell>",
         CellValue::fromNumber(6)},
        // LibreOffice's error cells: an empty string value, the error shown as text.
        {"<table:table-cell table:formula=\"of:=1/0\" office:value-type=\"string\""
         " office:string-value=\"\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p>"
         "</table:table-cell>",
         CellValue::fromError(QStringLiteral("#DIV/0!"))},
        // No value type: an empty cell, whatever it shows.
        {"<table:table-cell><text:p>ignored</text:p></table:table-cell>", CellValue{}},
        {"<table:table-cell table:style-name=\"ce1\"/>", CellValue{}},
        // A value that cannot be read: the text the cell shows.
        {"<table:table-cell office:value-type=\"float\" office:value=\"n/a\">"
         "<text:p>about 3</text:p></table:table-cell>",
         CellValue::fromText(QStringLiteral("about 3"))},
        {"<table:table-cell office:value-type=\"date\" office:date-value=\"soon\"/>", CellValue{}},
    };
    QByteArray rows;
    for (const Case &c : cases)
        rows += row(QByteArray("<table:table-cell/>") + c.cell + kEmptyTail);
    const SheetData &sheet = readRows(rows);
    int r = 0;
    for (const Case &c : cases) {
        ++r;
        SCOPED_TRACE(c.cell);
        expectCell(sheet, r, 2, c.value);
        expectCell(sheet, r, 1, CellValue{});
    }
}

TEST_F(OdsReaderTest, TextKeepsSpacesTabsAndLineBreaks)
{
    struct Case {
        const char *paragraphs;
        const char *text;
    };
    const Case cases[] = {
        {"<text:p>a<text:s/>b</text:p>", "a b"},
        {"<text:p>a <text:s text:c=\"3\"/>b</text:p>", "a    b"},
        {"<text:p><text:s/>lead</text:p>", " lead"},
        {"<text:p>trail <text:s/></text:p>", "trail  "},
        {"<text:p>x<text:tab/>y</text:p>", "x\ty"},
        {"<text:p>one<text:line-break/>two</text:p>", "one\ntwo"},
        {"<text:p>first</text:p><text:p>second</text:p><text:p/>", "first\nsecond\n"},
        // Literal white space stays, as LibreOffice reads it and sometimes writes it.
        {"<text:p>  two  spaces\tand tab </text:p>", "  two  spaces\tand tab "},
        {"<text:p>bold <text:span text:style-name=\"T1\">part</text:span> end</text:p>",
         "bold part end"},
        {"<text:p><text:span>a</text:span> <text:span>b</text:span></text:p>", "a b"},
        {"<text:p>see <text:a xlink:href=\"http://x\">link<text:s/>text</text:a></text:p>",
         "see link text"},
        {"<text:p><text:span><text:span>deep</text:span></text:span></text:p>", "deep"},
        {"<office:annotation><text:p>a comment</text:p></office:annotation>"
         "<text:p>value</text:p>",
         "value"},
        {"<text:p>&lt;tag&gt; &amp; more</text:p>", "<tag> & more"},
    };
    QByteArray rows;
    for (const Case &c : cases)
        rows += row(QByteArray("<table:table-cell office:value-type=\"string\">") + c.paragraphs +
                    "</table:table-cell>");
    const SheetData &sheet = readRows(rows);
    int r = 0;
    for (const Case &c : cases) {
        ++r;
        SCOPED_TRACE(c.paragraphs);
        EXPECT_EQ(sheet.cell(r, 1).text.toStdString(), c.text);
    }
}

TEST_F(OdsReaderTest, SpansNestedAsDeepAsAFileLikesCostNoStack)
{
    const int depth = 200000;
    const QByteArray cell = "<table:table-cell office:value-type=\"string\"><text:p>" +
                            QByteArray("<text:span>").repeated(depth) + "deep" +
                            QByteArray("</text:span>").repeated(depth) +
                            "</text:p></table:table-cell>";
    EXPECT_EQ(readRows(row(cell)).cell(1, 1).text.toStdString(), "deep");
}

TEST_F(OdsReaderTest, RepeatedRowsAndColumnsRepeatTheirValues)
{
    const SheetData &sheet = readRows(
        row("<table:table-cell office:value-type=\"float\" office:value=\"1\""
            " table:number-columns-repeated=\"3\"/>"
            "<table:table-cell table:number-columns-repeated=\"2\"/>"
            "<table:table-cell office:value-type=\"string\"><text:p>x</text:p></table:table-cell>",
            2) +
        row("<table:table-cell/>", 3) +
        row("<table:covered-table-cell table:number-columns-repeated=\"2\"/>"
            "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"true\"/>"));
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 3; ++c)
            expectCell(sheet, r, c, CellValue::fromNumber(1));
        expectCell(sheet, r, 4, CellValue{});
        expectCell(sheet, r, 6, CellValue::fromText(QStringLiteral("x")));
    }
    expectCell(sheet, 6, 3, CellValue::fromBool(true));
    EXPECT_EQ(sheet.cellCount(), 2u * 4u + 1u);
    EXPECT_EQ(sheet.lastRow(), 6);
}

TEST_F(OdsReaderTest, CoveredCellsOfAMergedAreaKeepTheirValues)
{
    const SheetData &sheet = readRows(
        row("<table:table-cell table:number-columns-spanned=\"2\" office:value-type=\"string\">"
            "<text:p>merged</text:p></table:table-cell>"
            "<table:covered-table-cell office:value-type=\"float\" office:value=\"7\"/>"
            "<table:table-cell office:value-type=\"float\" office:value=\"8\"/>"));
    expectCell(sheet, 1, 1, CellValue::fromText(QStringLiteral("merged")));
    expectCell(sheet, 1, 2, CellValue::fromNumber(7));
    expectCell(sheet, 1, 3, CellValue::fromNumber(8));
}

TEST_F(OdsReaderTest, RowsInsideHeaderRowsGroupsAndRowElementsCountInOrder)
{
    const auto value = [](int n) {
        return row("<table:table-cell office:value-type=\"float\" office:value=\"" +
                   QByteArray::number(n) + "\"/>");
    };
    const SheetData &sheet =
        readRows("<table:table-column table:number-columns-repeated=\"1024\"/>"
                 "<table:table-header-rows>" +
                 value(1) + "</table:table-header-rows>" + "<table:table-row-group>" + value(2) +
                 "<table:table-row-group>" + value(3) + "<table:table-rows>" + value(4) +
                 "</table:table-rows></table:table-row-group>" + value(5) +
                 "</table:table-row-group>" + "<table:soft-page-break/>" + value(6));
    for (int r = 1; r <= 6; ++r)
        expectCell(sheet, r, 1, CellValue::fromNumber(r));
    EXPECT_EQ(sheet.cellCount(), 6u);
}

TEST_F(OdsReaderTest, SparseCellsKeepTheirPlacesAndTheTrailingRepeatsCostNothing)
{
    // As LibreOffice ends every sheet: empty cells to the last column, empty rows to the last
    // row.
    const SheetData &sheet =
        readRows(row("<table:table-cell table:number-columns-repeated=\"4\"/>"
                     "<table:table-cell office:value-type=\"float\" office:value=\"5\"/>"
                     "<table:table-cell table:number-columns-repeated=\"16379\"/>") +
                 row("<table:table-cell table:number-columns-repeated=\"16384\"/>", 998) +
                 row("<table:table-cell table:number-columns-repeated=\"26\"/>"
                     "<table:table-cell office:value-type=\"string\"><text:p>AA1000</text:p>"
                     "</table:table-cell>" +
                     kEmptyTail) +
                 row("<table:table-cell table:number-columns-repeated=\"16384\"/>", 1047576));
    EXPECT_EQ(sheet.cellCount(), 2u);
    expectCell(sheet, 1, 5, CellValue::fromNumber(5));
    expectCell(sheet, 1000, 27, CellValue::fromText(QStringLiteral("AA1000")));
    EXPECT_EQ(sheet.lastRow(), 1000);
}

TEST_F(OdsReaderTest, ValuesRepeatedPastTheSheetsEndAreClipped)
{
    const SheetData &sheet =
        readRows(row("<table:table-cell table:number-columns-repeated=\"16383\"/>"
                     "<table:table-cell office:value-type=\"float\" office:value=\"1\""
                     " table:number-columns-repeated=\"1000000\"/>"
                     "<table:table-cell office:value-type=\"float\" office:value=\"2\"/>") +
                 row("<table:table-cell/>", 1048574) +
                 row("<table:table-cell office:value-type=\"float\" office:value=\"3\"/>", 5) +
                 row("<table:table-cell office:value-type=\"float\" office:value=\"4\"/>"));
    expectCell(sheet, 1, 16384, CellValue::fromNumber(1));
    expectCell(sheet, 1048576, 1, CellValue::fromNumber(3));
    EXPECT_EQ(sheet.cellCount(), 2u);
    EXPECT_EQ(sheet.lastRow(), 1048576);
}

TEST_F(OdsReaderTest, SheetsComeInOrderWithTheirNames)
{
    const auto book =
        read("<table:table table:name=\"Main\">" +
             row("<table:table-cell office:value-type=\"string\"><text:p>main</text:p>"
                 "</table:table-cell>") +
             "</table:table>"
             "<table:named-expressions/>"
             "<table:table table:name=\"Signals &amp; more\">" +
             row("<table:table-cell office:value-type=\"float\" office:value=\"2\"/>") +
             "</table:table>"
             "<table:table table:name=\"Empty\"/>");
    ASSERT_EQ(book->sheetCount(), 3);
    EXPECT_EQ(book->sheetName(0).toStdString(), "Main");
    EXPECT_EQ(book->sheetName(1).toStdString(), "Signals & more");
    EXPECT_EQ(book->sheetName(2).toStdString(), "Empty");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(book->isWorksheet(i));
    expectCell(book->sheet(0), 1, 1, CellValue::fromText(QStringLiteral("main")));
    expectCell(book->sheet(1), 1, 1, CellValue::fromNumber(2));
    EXPECT_EQ(book->sheet(2).cellCount(), 0u);
}

TEST_F(OdsReaderTest, NamesFollowThePrefixesTheFileBinds)
{
    const QByteArray content =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<o:document-content xmlns:o=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:t=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
        " xmlns:x=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
        "<o:body><o:spreadsheet><t:table t:name=\"Odd\"><t:table-row>"
        "<t:table-cell t:number-columns-repeated=\"2\" o:value-type=\"string\">"
        "<x:p>a<x:s x:c=\"2\"/>b</x:p></t:table-cell>"
        "</t:table-row></t:table></o:spreadsheet></o:body></o:document-content>";
    ZipParts parts = odsParts({});
    parts.back().second = content;
    const QString file = path(QStringLiteral("prefixes.ods"));
    writeZipPackage(file, parts);
    const auto book = openOdsFile(file);
    EXPECT_EQ(book->sheetName(0).toStdString(), "Odd");
    expectCell(book->sheet(0), 1, 2, CellValue::fromText(QStringLiteral("a  b")));
}

TEST_F(OdsReaderTest, AValueRepeatedOverAWholeSheetIsRefusedAtOnce)
{
    QElapsedTimer timer;
    timer.start();
    const QString file =
        writeOdsFile(path(QStringLiteral("huge.ods")),
                     "<table:table table:name=\"Huge\">" +
                         row("<table:table-cell office:value-type=\"float\" office:value=\"1\""
                             " table:number-columns-repeated=\"16384\"/>",
                             1048576) +
                         "</table:table>");
    const QString message = failureOf(file);
    EXPECT_THAT(message.toStdString(), HasSubstr(file.toStdString()));
    EXPECT_THAT(message.toStdString(), HasSubstr("sheet Huge is too large"));
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(OdsReaderTest, TheCellBoundCountsOverTheWholeWorkbook)
{
    const QByteArray sheet = "<table:table table:name=\"S\">" +
                             row("<table:table-cell office:value-type=\"float\" office:value=\"1\""
                                 " table:number-columns-repeated=\"10\"/>",
                                 10) +
                             "</table:table>";
    OdsLimits limits;
    limits.maxCells = 250;
    EXPECT_EQ(read(sheet + sheet, limits)->sheetCount(), 2);
    const QString file = writeOdsFile(path(QStringLiteral("three.ods")), sheet + sheet + sheet);
    EXPECT_THAT(failureOf(file, limits).toStdString(), HasSubstr("is too large"));
}

TEST_F(OdsReaderTest, MarkupThatWouldTakeTooMuchMemoryIsRefusedBeforeParsing)
{
    OdsLimits limits;
    limits.maxXmlBytes = 64 * 1024;
    const QByteArray sheet =
        "<table:table table:name=\"S\">" + QByteArray("<a/>").repeated(600) + "</table:table>";
    EXPECT_EQ(read(sheet, limits)->sheetCount(), 1);
    const QString file = writeOdsFile(path(QStringLiteral("markup.ods")), sheet.repeated(2));
    EXPECT_THAT(failureOf(file, limits).toStdString(),
                HasSubstr(": the workbook is too large (content.xml would take more than"));
}

TEST_F(OdsReaderTest, MoreSheetsThanTheSpreadsheetHoldsAreRefused)
{
    const QString file = writeOdsFile(path(QStringLiteral("sheets.ods")),
                                      QByteArray("<table:table/>").repeated(10001));
    EXPECT_THAT(failureOf(file).toStdString(),
                HasSubstr(": the workbook is too large (more than 10000 sheets)"));
}

TEST_F(OdsReaderTest, BillionsOfSpacesAreRefused)
{
    const QString file = writeOdsFile(
        path(QStringLiteral("spaces.ods")),
        "<table:table table:name=\"S\">" +
            row("<table:table-cell office:value-type=\"string\">"
                "<text:p><text:s text:c=\"4000000000\"/></text:p></table:table-cell>") +
            "</table:table>");
    EXPECT_THAT(failureOf(file).toStdString(), HasSubstr("too large"));
}

// Replaces the part `name` of the parts of a one-sheet .ods, or drops it when `bytes` is null.
ZipParts withPart(const QString &name, const QByteArray &bytes)
{
    ZipParts parts = odsParts("<table:table table:name=\"S\"/>");
    std::erase_if(parts, [&](const auto &p) { return p.first == name; });
    if (!bytes.isNull())
        parts.emplace_back(name, bytes);
    return parts;
}

TEST_F(OdsReaderTest, BadFilesFailNamingTheFileAndTheProblem)
{
    const QString content = QStringLiteral("content.xml");
    const QString manifest = QStringLiteral("META-INF/manifest.xml");
    const QByteArray encryptedManifest =
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
        "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\">"
        "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\" manifest:checksum=\"x\">"
        "<manifest:algorithm manifest:algorithm-name=\"Blowfish CFB\"/>"
        "</manifest:encryption-data></manifest:file-entry></manifest:manifest>";
    struct Case {
        const char *name;
        std::function<void(const QString &)> make; // writes the file; nothing for a missing one
        const char *problem;
    };
    const Case cases[] = {
        {"missing", [](const QString &) {}, "file not found"},
        {"no zip",
         [](const QString &f) {
             QFile file(f);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("Name;Value\nA;1\n");
         },
         "not a readable zip package"},
        {"truncated",
         [](const QString &f) {
             writeOdsFile(f, "<table:table table:name=\"S\"/>");
             QFile file(f);
             ASSERT_TRUE(file.resize(file.size() / 2));
         },
         "not a readable zip package"},
        {"not a spreadsheet",
         [](const QString &f) {
             ZipParts parts = withPart(QStringLiteral("mimetype"), {});
             parts.insert(parts.begin(),
                          {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.text"});
             writeZipPackage(f, parts);
         },
         "not a spreadsheet (an OpenDocument file of type "
         "application/vnd.oasis.opendocument.text)"},
        {"no content", [&](const QString &f) { writeZipPackage(f, withPart(content, {})); },
         "part content.xml is missing"},
        {"malformed content",
         [&](const QString &f) {
             writeZipPackage(f, withPart(content, odsContent("<table:table>").chopped(10)));
         },
         "part content.xml is malformed"},
        {"not xml",
         [&](const QString &f) { writeZipPackage(f, withPart(content, "\x01\x02 binary")); },
         "part content.xml is malformed"},
        {"no spreadsheet",
         [&](const QString &f) {
             writeZipPackage(f, withPart(content, "<office:document-content><office:body>"
                                                  "<office:text/></office:body>"
                                                  "</office:document-content>"));
         },
         "content.xml holds no spreadsheet"},
        {"no sheet",
         [&](const QString &f) { writeZipPackage(f, withPart(content, odsContent({}))); },
         "the workbook has no sheet"},
        {"encrypted",
         [&](const QString &f) { writeZipPackage(f, withPart(manifest, encryptedManifest)); },
         "the workbook is encrypted"},
        {"zip bomb",
         [&](const QString &f) {
             writeZipPackage(f, withPart(manifest, QByteArray(2 * 1024 * 1024, ' ')));
         },
         "part META-INF/manifest.xml inflates beyond 1 MB"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QString::fromLatin1(c.name) + QStringLiteral(".ods"));
        c.make(file);
        const std::string message = failureOf(file).toStdString();
        EXPECT_THAT(message, HasSubstr(file.toStdString() + ": "));
        EXPECT_THAT(message, HasSubstr(c.problem));
    }
}

TEST_F(OdsReaderTest, ADamagedPartFailsAsDamaged)
{
    // Compressible text, so that content.xml is deflated and a changed byte breaks it.
    const QByteArray rows =
        row("<table:table-cell office:value-type=\"string\"><text:p>" +
            QByteArray("signal ").repeated(2000) + "</text:p></table:table-cell>");
    const QString file = writeOdsFile(path(QStringLiteral("damaged.ods")),
                                      "<table:table table:name=\"S\">" + rows + "</table:table>");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const qsizetype at = bytes.indexOf("content.xml") + 40; // inside its compressed data
    for (qsizetype i = at; i < at + 16; ++i)
        bytes[i] = char(bytes[i] ^ 0x5A);
    f.seek(0);
    f.write(bytes);
    f.close();
    const std::string message = failureOf(file).toStdString();
    EXPECT_THAT(message, HasSubstr(file.toStdString() + ": part content.xml is damaged"));
}

TEST_F(OdsReaderTest, FileWorkbooksOpensAnOdsAndReadsItsRanges)
{
    const QString file = writeOdsFile(
        path(QStringLiteral("Signals.ods")),
        "<table:table table:name=\"Main\">" +
            row("<table:table-cell office:value-type=\"string\"><text:p>Template</text:p>"
                "</table:table-cell>"
                "<table:table-cell office:value-type=\"string\"><text:p>C:\\t.xml</text:p>"
                "</table:table-cell>" +
                kEmptyTail) +
            "</table:table><table:table table:name=\"Data\">" +
            row("<table:table-cell table:number-columns-repeated=\"16384\"/>") +
            row("<table:table-cell office:value-type=\"float\" office:value=\"1\"/>"
                "<table:table-cell/>"
                "<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"false\"/>",
                2) +
            row("<table:table-cell table:number-columns-repeated=\"16384\"/>", 1048573) +
            "</table:table>");
    FileWorkbooks books;
    books.Open(file);
    EXPECT_EQ(books.ActiveWorkbookName().toStdString(), "Signals.ods");
    const auto main = books.Sheet(1);
    EXPECT_EQ(main->Name().toStdString(), "Main");
    EXPECT_EQ(main->Cell(1, 2).text.toStdString(), "C:\\t.xml");
    const auto data = books.Sheet(2);
    EXPECT_EQ(data->Name().toStdString(), "Data");
    const CellBlock block = data->Range(QStringLiteral("A1"), QStringLiteral("C4"));
    ASSERT_EQ(block.rows(), 4);
    ASSERT_EQ(block.columns(), 3);
    const QLocale c(QLocale::C);
    const char *expected[4][3] = {
        {"", "", ""}, {"1", "", "False"}, {"1", "", "False"}, {"", "", ""}};
    for (int r = 1; r <= 4; ++r) {
        for (int col = 1; col <= 3; ++col) {
            SCOPED_TRACE(QStringLiteral("(%1,%2)").arg(r).arg(col).toStdString());
            EXPECT_EQ(block.text(r, col, c).toStdString(), expected[r - 1][col - 1]);
        }
    }
    EXPECT_THROW(books.Sheet(3), Failure);
}

// A workbook LibreOffice wrote (from values.fods beside it), with its own ways: calcext value
// types, error cells, literal and encoded spaces, rows repeated to the sheet's end.
TEST(OdsFixture, ReadsAWorkbookLibreOfficeWrote)
{
    FileWorkbooks books;
    books.Open(QStringLiteral(TESSILY_FIXTURES "/ods/values.ods"));
    const auto main = books.Sheet(1);
    EXPECT_EQ(main->Name().toStdString(), "Main");
    const CellBlock block = main->Range(QStringLiteral("B1"), QStringLiteral("C7"));
    const CellValue expected[7][2] = {
        {CellValue::fromText(QStringLiteral("templates/basic.xml")), CellValue{}},
        {CellValue::fromNumber(42), CellValue::fromNumber(-2.5)},
        {CellValue::fromNumber(0.25), CellValue{}},
        {CellValue::fromDate(45356), CellValue::fromDate(6.5 / 24)},
        {CellValue::fromBool(true), CellValue::fromBool(false)},
        {CellValue::fromNumber(84), CellValue::fromError(QStringLiteral("#DIV/0!"))},
        {CellValue::fromText(QStringLiteral("two  spaces\nsecond line")),
         CellValue::fromText(QStringLiteral("  lead   inner\ttab\nbreak "))},
    };
    for (int r = 1; r <= 7; ++r) {
        for (int c = 1; c <= 2; ++c) {
            SCOPED_TRACE(QStringLiteral("(%1,%2)").arg(r).arg(c).toStdString());
            const CellValue &value = block.at(r, c);
            EXPECT_EQ(value.kind, expected[r - 1][c - 1].kind);
            EXPECT_DOUBLE_EQ(value.number, expected[r - 1][c - 1].number);
            EXPECT_EQ(value.text.toStdString(), expected[r - 1][c - 1].text.toStdString());
        }
    }

    const auto signalList = books.Sheet(2);
    EXPECT_EQ(signalList->Name().toStdString(), "Signal list");
    EXPECT_EQ(signalList->Cell(4, 1).text.toStdString(), "Pump");
    EXPECT_EQ(signalList->Cell(5, 1).kind, CellKind::Empty);
    EXPECT_EQ(signalList->Cell(7, 1).text.toStdString(), "Merged");
    EXPECT_EQ(signalList->Cell(7, 4).number, 7);

    const auto far = books.Sheet(3);
    EXPECT_EQ(far->Cell(1000, 27).text.toStdString(), "AA1000");
    EXPECT_EQ(far->Range(QStringLiteral("A1"), QStringLiteral("Z999")).at(999, 26).kind,
              CellKind::Empty);
    EXPECT_THROW(books.Sheet(4), Failure);
}

// A workbook that LibreOffice saved as .ods after opening an .xlsx: it keeps each boolean as
// the formula of:=TRUE() or of:=FALSE() with the number 1 or 0, and shows and passes it as the
// boolean it is. A generator option cell holding TRUE must read true.
TEST(OdsFixture, BooleansLibreOfficeKeptAsFormulasReadAsBooleans)
{
    FileWorkbooks books;
    books.Open(QStringLiteral(TESSILY_FIXTURES "/ods/lo-booleans.ods"));
    const auto sheet = books.Sheet(1);
    const CellBlock block = sheet->Range(QStringLiteral("B2"), QStringLiteral("B6"));
    const CellValue expected[] = {CellValue::fromBool(true), CellValue::fromBool(false),
                                  CellValue::fromNumber(1), CellValue::fromNumber(0),
                                  CellValue::fromText(QStringLiteral("TRUE"))};
    for (int r = 1; r <= 5; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(block.at(r, 1).kind, expected[r - 1].kind);
        EXPECT_DOUBLE_EQ(block.at(r, 1).number, expected[r - 1].number);
        EXPECT_EQ(block.at(r, 1).text.toStdString(), expected[r - 1].text.toStdString());
    }

    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(QStringLiteral(
        R"(<G><GenerateMultiTaskApp row="2" col="2"/><KeepGeneratedVars row="3" col="2"/></G>)")));
    TXmlGeneratorOptions options;
    ReadGeneratorOptions(sheet.get(), doc.documentElement(), options);
    EXPECT_TRUE(options.GenerateMultiTaskApp);
    EXPECT_FALSE(options.KeepGeneratedVars);
}

} // namespace
