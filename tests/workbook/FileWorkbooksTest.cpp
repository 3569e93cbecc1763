#include "workbook/FileWorkbooks.h"
#include "common/Failure.h"
#include "support/XlsxTestBook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FileWorkbooksTest : public ::testing::Test {
protected:
    // A workbook whose first sheet holds `text` in A1 and a chart sheet second.
    QString writeBook(const QString &relativePath, const char *text)
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).absolutePath());
        XlsxTestBook book(path);
        lxw_worksheet *sheet = book.addSheet("Main");
        worksheet_write_string(sheet, 0, 0, text, nullptr);
        worksheet_write_number(sheet, 1, 1, 22, nullptr);
        worksheet_write_number(sheet, 2, 2, 33, nullptr);
        book.addChartSheet("Chart", "=Main!$B$2:$B$3");
        return book.save();
    }

    QString activeA1() { return cellText(m_books.Sheet(1)->Cell(1, 1)); }

    // The message of the Failure that `call` throws, or "" when it throws none.
    template <typename Call> static QString failureOf(Call call)
    {
        try {
            call();
        } catch (const Failure &e) {
            return e.message();
        }
        return {};
    }

    QTemporaryDir m_dir;
    FileWorkbooks m_books;
};

TEST_F(FileWorkbooksTest, TheWorkbookOpenedOrActivatedLastIsActive)
{
    const QString first = writeBook(QStringLiteral("first.xlsx"), "one");
    const QString second = writeBook(QStringLiteral("second.xlsx"), "two");
    m_books.Attach();
    m_books.Open(first);
    m_books.Open(second);
    EXPECT_EQ(m_books.ActiveWorkbookName(), u"second.xlsx");
    EXPECT_EQ(m_books.ActiveWorkbookPath(), QFileInfo(m_dir.path()).absoluteFilePath());
    EXPECT_EQ(activeA1(), u"two");

    m_books.Activate(QStringLiteral("FIRST.XLSX"));
    EXPECT_EQ(m_books.ActiveWorkbookName(), u"first.xlsx");
    EXPECT_EQ(activeA1(), u"one");

    m_books.Open(second); // already open: activated, not opened twice
    EXPECT_EQ(m_books.openCount(), 2);
    EXPECT_EQ(activeA1(), u"two");
    m_books.Detach();
    EXPECT_EQ(m_books.openCount(), 2); // the workbooks stay open, as in the application
}

TEST_F(FileWorkbooksTest, ActivatingAFileNameOpenInTwoFoldersTakesTheOneUsedLast)
{
    const QString a = writeBook(QStringLiteral("rtu1/signals.xlsx"), "rtu1");
    const QString b = writeBook(QStringLiteral("rtu2/signals.xlsx"), "rtu2");
    m_books.Open(a);
    m_books.Open(b);
    EXPECT_EQ(m_books.openCount(), 2);
    m_books.Activate(QStringLiteral("signals.xlsx"));
    EXPECT_EQ(activeA1(), u"rtu2");
    EXPECT_TRUE(m_books.ActiveWorkbookPath().endsWith(u"/rtu2"));

    m_books.Open(a);
    m_books.Activate(QStringLiteral("signals.xlsx"));
    EXPECT_EQ(activeA1(), u"rtu1");
    EXPECT_TRUE(m_books.ActiveWorkbookPath().endsWith(u"/rtu1"));
}

TEST_F(FileWorkbooksTest, AWorkbookChangedOnDiskIsReadAgainOnActivateAndOnOpen)
{
    const QString path = writeBook(QStringLiteral("book.xlsx"), "before");
    const QString other = writeBook(QStringLiteral("other.xlsx"), "other");
    m_books.Open(path);
    const auto boundBefore = m_books.Sheet(1);
    m_books.Open(other);

    writeBook(QStringLiteral("book.xlsx"), "after activate");
    m_books.Activate(QStringLiteral("book.xlsx"));
    EXPECT_EQ(activeA1(), u"after activate");
    // A worksheet taken before keeps the workbook as it was then.
    EXPECT_EQ(cellText(boundBefore->Cell(1, 1)), u"before");

    writeBook(QStringLiteral("book.xlsx"), "after open");
    m_books.Open(path);
    EXPECT_EQ(activeA1(), u"after open");
    EXPECT_EQ(m_books.openCount(), 2);
}

TEST_F(FileWorkbooksTest, AWorkbookDeletedOnDiskKeepsWhatWasRead)
{
    const QString path = writeBook(QStringLiteral("book.xlsx"), "kept");
    m_books.Open(path);
    ASSERT_TRUE(QFile::remove(path));
    m_books.Activate(QStringLiteral("book.xlsx"));
    EXPECT_EQ(activeA1(), u"kept");
}

TEST_F(FileWorkbooksTest, AWorkbookThatCannotBeOpenedLeavesTheActiveOne)
{
    const QString path = writeBook(QStringLiteral("book.xlsx"), "still");
    m_books.Open(path);
    const QString missing = m_dir.filePath(QStringLiteral("missing.xlsx"));
    const QString message = failureOf([&] { m_books.Open(missing); });
    EXPECT_TRUE(message.contains(missing)) << message.toStdString();
    EXPECT_EQ(m_books.openCount(), 1);
    EXPECT_EQ(activeA1(), u"still");
}

TEST_F(FileWorkbooksTest, CallsWithoutTheirWorkbookOrSheetFailWithAMessage)
{
    EXPECT_EQ(failureOf([&] { m_books.ActiveWorkbookName(); }), u"No workbook is open");
    EXPECT_EQ(failureOf([&] { m_books.Sheet(1); }), u"No workbook is open");
    EXPECT_EQ(failureOf([&] { m_books.Activate(QStringLiteral("none.xlsx")); }),
              u"No open workbook is named none.xlsx");

    const QString path = writeBook(QStringLiteral("book.xlsx"), "x");
    m_books.Open(path);
    const QString full = QFileInfo(path).absoluteFilePath();
    EXPECT_EQ(failureOf([&] { m_books.Sheet(0); }), full + QStringLiteral(": there is no sheet 0"));
    EXPECT_EQ(failureOf([&] { m_books.Sheet(3); }), full + QStringLiteral(": there is no sheet 3"));
    EXPECT_EQ(failureOf([&] { m_books.Sheet(2); }),
              full + QStringLiteral(": sheet 2 (Chart) is no worksheet"));
}

TEST_F(FileWorkbooksTest, RunAlwaysFailsForTheFileReaderRunsNoMacros)
{
    m_books.Open(writeBook(QStringLiteral("book.xlsm"), "x"));
    EXPECT_EQ(failureOf([&] { m_books.Run(QStringLiteral("OnWorkbookInitiate")); }),
              u"The workbook reader cannot run the macro OnWorkbookInitiate");
    EXPECT_EQ(failureOf([&] { m_books.Run(QStringLiteral("OnGeneratedEx"), QStringLiteral("a")); }),
              u"The workbook reader cannot run the macro OnGeneratedEx");
}

TEST_F(FileWorkbooksTest, ASheetGivesItsNameCellsAndBlocks)
{
    m_books.Open(writeBook(QStringLiteral("book.xlsx"), "A1 text"));
    const auto sheet = m_books.Sheet(1);
    EXPECT_EQ(sheet->Name(), u"Main");
    EXPECT_EQ(cellText(sheet->Cell(2, 2)), u"22");
    EXPECT_EQ(sheet->Cell(5000, 100).kind, CellKind::Empty);

    const CellBlock block = sheet->Range(QStringLiteral("B2"), QStringLiteral("$D$3"));
    ASSERT_EQ(block.rows(), 2);
    ASSERT_EQ(block.columns(), 3);
    EXPECT_EQ(block.text(1, 1), u"22");
    EXPECT_EQ(block.text(2, 2), u"33");
    EXPECT_EQ(block.text(2, 3), u"");

    const CellBlock reversed = sheet->Range(QStringLiteral("c3"), QStringLiteral("A1"));
    EXPECT_EQ(reversed.text(1, 1), u"A1 text");
    EXPECT_EQ(reversed.text(3, 3), u"33");

    const CellBlock lastCell =
        sheet->Range(QStringLiteral("XFD1048576"), QStringLiteral("XFD1048576"));
    EXPECT_EQ(lastCell.at(1, 1).kind, CellKind::Empty);
}

TEST_F(FileWorkbooksTest, CellsAndRangesBeyondTheSheetFail)
{
    const QString path = writeBook(QStringLiteral("book.xlsx"), "x");
    m_books.Open(path);
    const auto sheet = m_books.Sheet(1);
    const QString full = QFileInfo(path).absoluteFilePath();
    const struct {
        const char *first;
        const char *last;
    } ranges[] = {{"A0", "B2"}, {"A1", "XFE1"}, {"A1", "A1048577"},
                  {"1A", "B2"}, {"", "B2"},     {"A1", "XFD1048576"}};
    for (const auto &r : ranges) {
        SCOPED_TRACE(r.first);
        SCOPED_TRACE(r.last);
        const QString message =
            failureOf([&] { sheet->Range(QString::fromUtf8(r.first), QString::fromUtf8(r.last)); });
        EXPECT_TRUE(message.startsWith(full)) << message.toStdString();
    }
    EXPECT_TRUE(failureOf([&] { sheet->Cell(0, 1); }).startsWith(full));
    EXPECT_TRUE(failureOf([&] { sheet->Cell(1, 16385); }).startsWith(full));
    EXPECT_TRUE(failureOf([&] { sheet->Cell(1048577, 1); }).startsWith(full));
}

} // namespace

// A run lets go of the cells it read before it writes the project; a sheet asked for again,
// also through a handle taken before, reads as it did, even with the file gone from the disk.
TEST_F(FileWorkbooksTest, CellsForgottenAreReadAgainTheSame)
{
    const QString xls = m_dir.filePath(QStringLiteral("values.xls"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TESSILY_FIXTURES "/xls/values-libreoffice.xls"), xls));
    const QString xlsx = writeBook(QStringLiteral("book.xlsx"), "shared text");
    for (const QString &path : {xlsx, xls}) {
        SCOPED_TRACE(path.toStdString());
        m_books.Open(path);
        const auto sheet = m_books.Sheet(1);
        const CellBlock before = sheet->Range(QStringLiteral("A1"), QStringLiteral("F12"));
        m_books.ForgetCells();
        ASSERT_TRUE(QFile::remove(path));
        const CellBlock again = sheet->Range(QStringLiteral("A1"), QStringLiteral("F12"));
        const CellBlock fresh =
            m_books.Sheet(1)->Range(QStringLiteral("A1"), QStringLiteral("F12"));
        for (int row = 1; row <= before.rows(); ++row) {
            for (int column = 1; column <= before.columns(); ++column) {
                EXPECT_EQ(again.text(row, column), before.text(row, column));
                EXPECT_EQ(fresh.text(row, column), before.text(row, column));
            }
        }
        EXPECT_FALSE(before.text(1, 1).isEmpty());
    }
}
