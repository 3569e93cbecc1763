#include "app/CommandLine.h"
#include "run/GenerateCommand.h"
#include "support/XlsxTestBook.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CommandResult {
    int status = 0;
    QString out;
    QString err;
};

CommandResult run(const QStringList &arguments)
{
    CommandResult result;
    QTextStream out(&result.out);
    QTextStream err(&result.err);
    result.status = runCommandLine(arguments, out, err);
    out.flush();
    err.flush();
    return result;
}

class CellsCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        XlsxTestBook book(m_dir.filePath(QStringLiteral("signals.xlsx")));
        lxw_worksheet *first = book.addSheet("Main");
        worksheet_write_string(first, 0, 0, "Template", nullptr);
        worksheet_write_string(first, 0, 1, "C:\\templates\\rtu.xml", nullptr);
        worksheet_write_number(first, 1, 1, 12, nullptr);
        worksheet_write_number(first, 2, 0, 2.5, nullptr);
        worksheet_write_boolean(first, 2, 2, 1, nullptr);
        book.addChartSheet("Chart", "=Main!$B$2:$B$2");
        lxw_worksheet *third = book.addSheet("Signals");
        worksheet_write_string(third, 0, 0, "third sheet", nullptr);
        m_book = book.save();
    }

    QTemporaryDir m_dir;
    QString m_book;
};

TEST_F(CellsCommandTest, PrintsEachRowOfTheBlockWithTabsBetweenCells)
{
    const CommandResult r =
        run({QStringLiteral("cells"), m_book, QStringLiteral("1"), QStringLiteral("A1:C4")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("Template\tC:\\templates\\rtu.xml\t\n"
                                    "\t12\t\n"
                                    "2.5\t\tTrue\n"
                                    "\t\t\n"));
    EXPECT_EQ(r.err, QString());
}

TEST_F(CellsCommandTest, OneCellAndSheetsInTabOrder)
{
    const CommandResult one =
        run({QStringLiteral("cells"), m_book, QStringLiteral("1"), QStringLiteral("B2")});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, u"12\n");
    const CommandResult third =
        run({QStringLiteral("cells"), m_book, QStringLiteral("3"), QStringLiteral("A1:A1")});
    EXPECT_EQ(third.status, 0);
    EXPECT_EQ(third.out, u"third sheet\n");
}

TEST_F(CellsCommandTest, ABadWorkbookSheetOrRangeGivesTheMessageAndStatus1)
{
    const QString damaged = m_dir.filePath(QStringLiteral("damaged.xlsx"));
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("PK\x03\x04 and then nothing of a zip");
    }
    const QString missing = m_dir.filePath(QStringLiteral("missing.xlsx"));
    const struct {
        QString book;
        const char *sheet;
        const char *range;
        const char *message;
    } cases[] = {
        {missing, "1", "A1", ": file not found"},
        {damaged, "1", "A1", ": not a readable zip package"},
        {m_book, "2", "A1", ": sheet 2 (Chart) is no worksheet"},
        {m_book, "4", "A1", ": there is no sheet 4"},
        {m_book, "1", "A0:B2", " is no cell range of the sheet"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const CommandResult r = run({QStringLiteral("cells"), c.book, QString::fromUtf8(c.sheet),
                                     QString::fromUtf8(c.range)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.contains(QFileInfo(c.book).fileName())) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith(u'\n'));
    }
}

TEST_F(CellsCommandTest, WrongArgumentsGiveTheUsageAndTheUsageStatus)
{
    const QStringList wrong[] = {
        {},
        {QStringLiteral("cells")},
        {QStringLiteral("cells"), m_book, QStringLiteral("1")},
        {QStringLiteral("cells"), m_book, QStringLiteral("one"), QStringLiteral("A1")},
        {QStringLiteral("cells"), m_book, QStringLiteral("1"), QStringLiteral("A1:B2:C3")},
        {QStringLiteral("cellz"), m_book, QStringLiteral("1"), QStringLiteral("A1")},
    };
    for (const QStringList &arguments : wrong) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CommandResult r = run(arguments);
        EXPECT_EQ(r.status, kUsageStatus); // 64, apart from every status of a run
        EXPECT_EQ(r.out, QString());
        EXPECT_FALSE(r.err.isEmpty());
    }
}

} // namespace
