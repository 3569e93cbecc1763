#include "office/OfficeTestSupport.h"

#include "app/CommandLine.h"
#include "common/Failure.h"
#include "support/QtPrinters.h"
#include "support/XlsxTestBook.h"
#include "support/ZipPackage.h"
#include "workbook/CellAddress.h"
#include "workbook/FileWorkbooks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString cellsThrough(const QStringList &arguments, int *status = nullptr)
{
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int result = runCommandLine(QStringList{"cells"} + arguments, o, e);
    if (status)
        *status = result;
    return result == 0 ? out : err;
}

// Every text of a block, read through one component.
QStringList blockTexts(WorkbookComponent &books, const QString &path, int sheet,
                       const QString &last)
{
    books.Open(path);
    const CellBlock block = books.Sheet(sheet)->Range("A1", last);
    QStringList texts;
    for (int r = 1; r <= block.rows(); ++r)
        for (int c = 1; c <= block.columns(); ++c)
            texts << QStringLiteral("%1%2=%3").arg(columnName(c)).arg(r).arg(block.text(r, c));
    return texts;
}

QString writeKindsWorkbook(const QString &path)
{
    XlsxTestBook book(path);
    lxw_worksheet *sheet = book.addSheet("Kinds");
    worksheet_write_string(sheet, 0, 0, "text", nullptr);
    worksheet_write_number(sheet, 0, 1, 42, nullptr);
    worksheet_write_number(sheet, 0, 2, 0.1 + 0.2, nullptr);
    worksheet_write_number(sheet, 0, 3, -1.5e-7, nullptr);
    worksheet_write_boolean(sheet, 1, 0, 1, nullptr);
    worksheet_write_boolean(sheet, 1, 1, 0, nullptr);
    worksheet_write_number(sheet, 1, 2, 45000, book.numberFormat("yyyy-mm-dd"));
    worksheet_write_number(sheet, 1, 3, 45000.75, book.builtInNumberFormat(22));
    worksheet_write_number(sheet, 2, 0, 12.5, book.numberFormat("0.00%"));
    worksheet_write_formula_num(sheet, 2, 1, "=B1*2", nullptr, 84);
    worksheet_write_formula_str(sheet, 2, 2, "=A1&\"!\"", nullptr, "text!");
    worksheet_write_string(sheet, 3, 3, "far corner", nullptr);
    worksheet_write_number(sheet, 2, 3, 1e20, nullptr);
    return book.save();
}

} // namespace

TEST(OfficeCells, EveryKindOfValueGivesTheSameTextThroughBothComponents)
{
    QTemporaryDir dir;
    const QString xlsx = writeKindsWorkbook(dir.filePath("kinds.xlsx"));
    const struct {
        QString path;
        int sheet;
        QString last;
    } cases[] = {
        {xlsx, 1, "F6"},
        {QStringLiteral(TESSILY_FIXTURES "/ods/values.ods"), 1, "H20"},
        {QStringLiteral(TESSILY_FIXTURES "/ods/lo-booleans.ods"), 1, "F10"},
        {QStringLiteral(TESSILY_FIXTURES "/xls/values-libreoffice.xls"), 1, "H20"},
    };
    for (const auto &c : cases) {
        FileWorkbooks files;
        OfficeWorkbooks office;
        QStringList fromFile = blockTexts(files, c.path, c.sheet, c.last);
        const QStringList fromOffice = blockTexts(office, c.path, c.sheet, c.last);
        // Calc hands over a cell's text without the tabs and line breaks inside a paragraph
        if (c.path.endsWith(".ods"))
            fromFile.replaceInStrings("C7=  lead   inner\ttab\nbreak ",
                                      "C7=  lead   innertabbreak ");
        EXPECT_EQ(fromOffice, fromFile) << c.path.toStdString();
    }
}

TEST(OfficeCells, CellsCommandReadsThroughLibreOfficeWithTheSameOutput)
{
    QTemporaryDir dir;
    const QString xlsx = writeKindsWorkbook(dir.filePath("kinds.xlsx"));
    int status = -1;
    const QString office = cellsThrough({"--office", xlsx, "1", "A1:D4"}, &status);
    EXPECT_EQ(status, 0) << office.toStdString();
    EXPECT_EQ(office, cellsThrough({xlsx, "1", "A1:D4"}));
    EXPECT_TRUE(office.startsWith("text\t42\t")) << office.toStdString();
}

TEST(OfficeCells, AFormulaWithoutACachedValueIsComputedByLibreOfficeAndEmptyFromTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("uncached.xlsx");
    auto parts = minimalXlsxParts("<row r=\"1\"><c r=\"A1\"><v>20</v></c>"
                                  "<c r=\"B1\"><f>A1+22</f></c>"
                                  "<c r=\"C1\" t=\"str\"><f>\"a\"&amp;\"b\"</f></c></row>");
    // LibreOffice finds the parts by their content types
    const QByteArray types = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    setPart(parts, "[Content_Types].xml",
            "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
            "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
            "vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
                types +
                "sheet.main+xml\"/>"
                "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" +
                types +
                "worksheet+xml\"/>"
                "<Override PartName=\"/xl/styles.xml\" ContentType=\"" +
                types + "styles+xml\"/></Types>");
    writeZipPackage(path, parts);
    FileWorkbooks files;
    OfficeWorkbooks office;
    EXPECT_EQ(blockTexts(files, path, 1, "C1"), (QStringList{"A1=20", "B1=", "C1="}));
    EXPECT_EQ(blockTexts(office, path, 1, "C1"), (QStringList{"A1=20", "B1=42", "C1=ab"}));
}

TEST(OfficeCells, SheetsAndWorkbooksAreFoundAsTheRunExpects)
{
    QTemporaryDir dir;
    const QString first = writeMacroOds(dir.filePath("first.ods"),
                                        odsTable("One", {{"a"}}) + odsTable("Two", {{"b"}}), {});
    OfficeWorkbooks office;
    office.Open(first);
    EXPECT_EQ(office.ActiveWorkbookName(), "first.ods");
    EXPECT_EQ(office.ActiveWorkbookPath(), dir.path());
    EXPECT_EQ(office.Sheet(2)->Name(), "Two");
    EXPECT_EQ(cellText(office.Sheet(2)->Cell(1, 1)), "b");

    const auto failure = [&](auto call) {
        try {
            call();
        } catch (const Failure &e) {
            return e.message();
        }
        return QStringLiteral("no failure");
    };
    EXPECT_TRUE(failure([&] { office.Sheet(3); }).endsWith("first.ods: there is no sheet 3"));
    EXPECT_EQ(failure([&] { office.Activate("other.ods"); }),
              "No open workbook is named other.ods");
    EXPECT_EQ(failure([&] { office.Open(dir.filePath("none.ods")); }),
              dir.filePath("none.ods") + ": file not found");
    EXPECT_TRUE(failure([&] { office.Sheet(1)->Range("A1", "1A"); }).contains("no cell range"));

    // a second bridge finds the document open in the same LibreOffice by its file name
    OfficeWorkbooks second;
    second.Activate("FIRST.ODS");
    EXPECT_EQ(second.ActiveWorkbookPath(), dir.path());
}

TEST(OfficeCells, AFileLibreOfficeCannotOpenAsAWorkbookFailsWithItsName)
{
    QTemporaryDir dir;
    const struct {
        const char *name;
        QByteArray bytes;
        const char *expected;
    } cases[] = {
        {"notes.txt", "just some words\n", "not a workbook"},
        {"broken.xlsx", "PK\x03\x04 broken", "cannot open it"},
    };
    for (const auto &c : cases) {
        QFile f(dir.filePath(c.name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        OfficeWorkbooks office;
        try {
            office.Open(f.fileName());
            ADD_FAILURE() << c.name << " opened";
        } catch (const Failure &e) {
            EXPECT_TRUE(e.message().startsWith(f.fileName())) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.expected)) << e.message().toStdString();
        }
    }
}
