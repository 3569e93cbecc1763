#include "common/Failure.h"
#include "support/XlsxTestBook.h"
#include "support/ZipPackage.h"
#include "workbook/WorkbookFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Where a bad workbook is noticed: when it is opened, or when its sheet is read.
enum class FailsAt { Open, Sheet };

struct BadInput {
    const char *name;
    std::function<void(const QString &path)> make;
    FailsAt failsAt;
    const char *problem; // part of the message
};

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A real workbook with a sheet part large enough to damage in the middle.
void writeGoodBook(const QString &path)
{
    XlsxTestBook book(path);
    lxw_worksheet *sheet = book.addSheet();
    for (int row = 0; row < 2000; ++row)
        worksheet_write_number(sheet, lxw_row_t(row), 0, row * 1.5, nullptr);
    book.save();
}

std::vector<PackagePart> withPart(const char *name, const QByteArray &bytes)
{
    std::vector<PackagePart> parts = minimalXlsxParts("<row r=\"1\"><c><v>1</v></c></row>");
    setPart(parts, QString::fromUtf8(name), bytes);
    return parts;
}

std::vector<PackagePart> without(const char *name)
{
    std::vector<PackagePart> parts = minimalXlsxParts("<row r=\"1\"><c><v>1</v></c></row>");
    std::erase_if(parts, [&](const PackagePart &p) { return p.name == QString::fromUtf8(name); });
    return parts;
}

const BadInput kBadInputs[] = {
    {"missing file", [](const QString &) {}, FailsAt::Open, "not a readable zip package"},
    {"text file", [](const QString &p) { writeBytes(p, "just some text\n"); }, FailsAt::Open,
     "not a readable zip package"},
    {"empty file", [](const QString &p) { writeBytes(p, {}); }, FailsAt::Open,
     "not a readable zip package"},
    {"truncated",
     [](const QString &p) {
         writeGoodBook(p);
         writeBytes(p, readBytes(p).left(readBytes(p).size() / 2));
     },
     FailsAt::Open, "not a readable zip package"},
    {"damaged sheet data",
     [](const QString &p) {
         writeGoodBook(p);
         QByteArray bytes = readBytes(p);
         const qsizetype at = bytes.indexOf("xl/worksheets/sheet1.xml");
         for (qsizetype i = at + 200; i < at + 260; ++i)
             bytes[i] = char(bytes[i] ^ 0x5a);
         writeBytes(p, bytes);
     },
     FailsAt::Sheet, "is damaged"},
    {"damaged directory",
     [](const QString &p) {
         writeGoodBook(p);
         QByteArray bytes = readBytes(p);
         const qsizetype at = bytes.lastIndexOf("PK\x01\x02");
         for (qsizetype i = at; i < at + 30; ++i)
             bytes[i] = char(bytes[i] ^ 0xff);
         writeBytes(p, bytes);
     },
     FailsAt::Open, "not a readable zip package"},
    {"zip without workbook part",
     [](const QString &p) {
         writeZipPackage(p, {{QStringLiteral("readme.txt"), "hello"}});
     },
     FailsAt::Open, "not a workbook"},
    {"encrypted parts",
     [](const QString &p) {
         writeZipPackage(p, minimalXlsxParts("<row r=\"1\"><c><v>1</v></c></row>"),
                         PartEncryption::Password);
     },
     FailsAt::Open, "is encrypted"},
    {"malformed workbook part",
     [](const QString &p) {
         writeZipPackage(p, withPart("xl/workbook.xml", "<workbook><sheets>"));
     },
     FailsAt::Open, "is no well-formed XML"},
    {"workbook part of another kind",
     [](const QString &p) { writeZipPackage(p, withPart("xl/workbook.xml", "<document/>")); },
     FailsAt::Open, "is no workbook"},
    {"malformed relationships",
     [](const QString &p) {
         writeZipPackage(p, withPart("xl/_rels/workbook.xml.rels", "<Relationships><Rel"));
     },
     FailsAt::Open, "is no well-formed XML"},
    {"malformed styles",
     [](const QString &p) { writeZipPackage(p, withPart("xl/styles.xml", "<styleSheet>&bad;")); },
     FailsAt::Open, "is no well-formed XML"},
    {"malformed sheet part",
     [](const QString &p) {
         writeZipPackage(p, withPart("xl/worksheets/sheet1.xml",
                                     "<worksheet><sheetData><row></sheetData></worksheet>"));
     },
     FailsAt::Sheet, "is no well-formed XML"},
    {"sheet part of another kind",
     [](const QString &p) {
         writeZipPackage(p, withPart("xl/worksheets/sheet1.xml", "<chartsheet/>"));
     },
     FailsAt::Sheet, "is no worksheet"},
    {"missing sheet part",
     [](const QString &p) { writeZipPackage(p, without("xl/worksheets/sheet1.xml")); },
     FailsAt::Sheet, "is missing"},
    {"malformed shared strings",
     [](const QString &p) { writeZipPackage(p, withPart("xl/sharedStrings.xml", "<sst><si>")); },
     FailsAt::Sheet, "is no well-formed XML"},
    {"zip bomb",
     [](const QString &p) {
         std::vector<PackagePart> parts = without("xl/worksheets/sheet1.xml");
         parts.push_back({QStringLiteral("xl/worksheets/sheet1.xml"), {}, 600ll * 1024 * 1024});
         writeZipPackage(p, parts);
     },
     FailsAt::Sheet, "inflates beyond 512 MB"},
    {"part larger than it states",
     [](const QString &p) {
         std::vector<PackagePart> parts = without("xl/worksheets/sheet1.xml");
         parts.push_back({QStringLiteral("xl/worksheets/sheet1.xml"), {}, 4 * 1024 * 1024});
         writeZipPackage(p, parts);
         patchStatedSize(p, QStringLiteral("xl/worksheets/sheet1.xml"), 1000);
     },
     FailsAt::Sheet, "inflates beyond its stated size"},
};

TEST(XlsxBadInput, EachFailureNamesTheFileAndTheProblem)
{
    const QTemporaryDir dir;
    int n = 0;
    for (const BadInput &c : kBadInputs) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("bad%1.xlsx").arg(++n));
        c.make(path);
        if (::testing::Test::HasFatalFailure())
            return;
        QString message;
        try {
            const auto file = openXlsxFile(path);
            if (c.failsAt == FailsAt::Open)
                ADD_FAILURE() << "opened";
            file->sheet(0);
            ADD_FAILURE() << "sheet read";
        } catch (const Failure &e) {
            message = e.message();
        }
        EXPECT_TRUE(message.startsWith(path)) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.problem))) << message.toStdString();
    }
}

TEST(XlsxBadInput, AnyFileIsRefusedByWhatItHoldsNotByItsName)
{
    const QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.xlsx"));
    const QString text = dir.filePath(QStringLiteral("text.xlsx"));
    writeBytes(text, "PK but no zip");
    const struct {
        QString path;
        const char *problem;
    } cases[] = {{missing, "file not found"}, {text, "not a workbook"}, {dir.path(), "not a file"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.problem);
        try {
            openWorkbookFile(c.path);
            ADD_FAILURE() << "opened";
        } catch (const Failure &e) {
            EXPECT_TRUE(e.message().startsWith(c.path)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.problem)))
                << e.message().toStdString();
        }
    }
}

} // namespace
