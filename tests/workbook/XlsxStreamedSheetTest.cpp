#include "common/Failure.h"
#include "support/QtPrinters.h"
#include "support/ZipPackage.h"
#include "workbook/XlsxSheetReader.h"
#include "workbook/XlsxStyles.h"
#include "workbook/ZipArchive.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kPart = QStringLiteral("xl/worksheets/sheet1.xml");

// What a reading gave: every cell as "row,column kind value", or the failure's message.
struct Outcome {
    QStringList cells;
    QString failure;
    bool streamed = false;
};

QStringList describe(const SheetData &sheet)
{
    QStringList cells;
    if (sheet.lastRow() == 0)
        return cells;
    CellBlock block(sheet.lastRow(), 20);
    sheet.fillBlock(block, 1, 1);
    for (int r = 1; r <= block.rows(); ++r) {
        for (int c = 1; c <= block.columns(); ++c) {
            const CellValue &v = block.at(r, c);
            if (v.kind != CellKind::Empty)
                cells << QStringLiteral("%1,%2 %3 %4 %5")
                             .arg(r)
                             .arg(c)
                             .arg(int(v.kind))
                             .arg(v.number)
                             .arg(v.text);
        }
    }
    return cells;
}

Outcome readWhole(const ZipArchive &zip)
{
    Outcome outcome;
    SheetData sheet;
    try {
        QByteArray bytes = zip.read(kPart);
        xlsx::readWorksheetPart(bytes, QStringLiteral("part"), xlsx::CellStyles(), false, sheet);
        outcome.cells = describe(sheet);
    } catch (const Failure &f) {
        outcome.failure = f.message();
    }
    return outcome;
}

// As the workbook reads a sheet: streamed, or whole into a fresh sheet when that is refused.
Outcome readStreamed(const ZipArchive &zip)
{
    Outcome outcome;
    try {
        SheetData sheet;
        ZipArchive::PartStream stream(zip, kPart);
        outcome.streamed = xlsx::readWorksheetStream(stream, QStringLiteral("part"),
                                                     xlsx::CellStyles(), false, sheet);
        if (!outcome.streamed)
            return readWhole(zip);
        outcome.cells = describe(sheet);
    } catch (const Failure &f) {
        outcome.failure = f.message();
    }
    return outcome;
}

// Rows enough for several slices, with texts and numbers of varying length, so that slice
// and inflation boundaries fall everywhere within rows and tags.
QByteArray manyRows(int count, const char *prefix = "")
{
    QByteArray rows;
    for (int r = 1; r <= count; ++r) {
        const QByteArray p(prefix);
        rows += "<" + p + "row r=\"" + QByteArray::number(r) + "\"><" + p + "c r=\"A" +
                QByteArray::number(r) + "\" t=\"inlineStr\"><" + p + "is><" + p + "t>Signal " +
                QByteArray(r % 17, 'x') + "</" + p + "t></" + p + "is></" + p + "c><" + p + "c><" +
                p + "v>" + QByteArray::number(r * 0.5) + "</" + p + "v></" + p + "c></" + p +
                "row>";
    }
    return rows;
}

QByteArray worksheet(const QByteArray &rows, const QByteArray &tail = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"m\">"
           "<dimension ref=\"A1:B9\"/><sheetData>" +
           rows + "</sheetData>" + tail + "</worksheet>";
}

struct StreamCase {
    const char *name;
    QByteArray part;
    bool streamed; // read in slices as it is inflated (of a part read without failure)
    bool fails;
};

std::vector<StreamCase> streamCases()
{
    const QByteArray large = manyRows(8000); // several slices
    const qsizetype middle = large.indexOf("<row", large.size() / 2);
    const QByteArray broken = large.left(middle) + "<row><c><v>1</v></x></row>" + large.mid(middle);
    return {
        {"small sheet", worksheet(manyRows(3)), true, false},
        {"several slices", worksheet(large), true, false},
        {"prefixes and a byte-order mark",
         "\xEF\xBB\xBF<x:worksheet xmlns:x=\"m\"><x:sheetData>" + manyRows(8000, "x:") +
             "</x:sheetData></x:worksheet>",
         true, false},
        {"no rows", "<worksheet><sheetData/></worksheet>", true, false},
        {"rows end at the part's end", "<worksheet><sheetData>" + large + "</sheetData>", true,
         false},
        {"a comment behind the rows", worksheet(large, "<!-- note -->"), true, false},
        {"a comment late in the rows", worksheet(large + "<!-- </row> -->"), false, false},
        {"CDATA in the rows",
         worksheet(large + "<row><c t=\"inlineStr\"><is><t><![CDATA[a<b]]></t></is></c></row>"),
         false, false},
        {"a second end of the rows", worksheet(large + "</sheetData><sheetData>" + manyRows(2)),
         false, true},
        {"no end of the rows", "<worksheet><sheetData>" + large, false, true},
        {"another encoding",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet><sheetData>" + large +
             "</sheetData></worksheet>",
         false, false},
        {"a row left open in the middle", worksheet(broken), true, true},
        {"a row left open and a comment later", worksheet(broken + "<!-- x -->"), false, true},
        {"another root", "<chartsheet><sheetData>" + large + "</sheetData></chartsheet>", true,
         true},
        {"a head longer than an inflated piece",
         "<worksheet><cols>" + QByteArray(200000, ' ') + "</cols><sheetData>" + large +
             "</sheetData></worksheet>",
         true, false},
    };
}

TEST(XlsxStreamedSheet, GivesWhatTheWholePartGives)
{
    const QTemporaryDir dir;
    for (const StreamCase &c : streamCases()) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("book.xlsx"));
        writeZipPackage(path, {{kPart, c.part}});
        const ZipArchive zip(path);
        const Outcome whole = readWhole(zip);
        const Outcome streamed = readStreamed(zip);
        if (!c.fails) {
            EXPECT_EQ(streamed.streamed, c.streamed);
        }
        EXPECT_EQ(!streamed.failure.isEmpty(), c.fails) << qPrintable(streamed.failure);
        EXPECT_EQ(streamed.failure, whole.failure);
        EXPECT_EQ(streamed.cells.size(), whole.cells.size());
        EXPECT_TRUE(streamed.cells == whole.cells);
    }
}

TEST(XlsxStreamedSheet, DamageAnywhereInThePartFailsAsReadingItWhole)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    const QByteArray part = worksheet(manyRows(8000));
    // Stated smaller than it is: the part inflates beyond its stated size near the end.
    for (const qint64 stated : {part.size() - 100, part.size() / 2, qint64(10)}) {
        SCOPED_TRACE(stated);
        writeZipPackage(path, {{kPart, part}});
        patchStatedSize(path, kPart, quint32(stated));
        const ZipArchive zip(path, ZipArchive::Check::Lenient);
        const Outcome whole = readWhole(zip);
        const Outcome streamed = readStreamed(zip);
        EXPECT_TRUE(whole.failure.contains(QStringLiteral("inflates beyond its stated size")))
            << qPrintable(whole.failure);
        EXPECT_EQ(streamed.failure, whole.failure);
    }
}

} // namespace
