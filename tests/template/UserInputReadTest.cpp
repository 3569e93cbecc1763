#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "template/TInsertUserVar.h"

#include <gtest/gtest.h>

namespace {

// A workbook with a settings sheet (1) and a signal sheet (2), and a reader on it.
struct ReaderFixture : ::testing::Test {
    ReaderFixture()
    {
        settings.set(5, 3, QStringLiteral("20"));
        settings.set(6, 3, QStringLiteral("300"));
        settings.set(7, 2, QStringLiteral("true"));
        signalSheet.SignalTypeSheet = 2;
        signalSheet.lines = {QString(), QStringLiteral("DI,\"Pump, left\",7"),
                             QStringLiteral("AI,,8")};
    }

    static TUserInputType record(int sheet, int row, int col, const QString &def,
                                 TVarType type = TVarType::tUnknown, TIntRange range = {})
    {
        TUserInputType r;
        r.v.VarName = QStringLiteral("In");
        r.v.SheetNo = sheet;
        r.v.RowNo = row;
        r.v.ColNo = col;
        r.v.Default = def;
        r.v.VarType = type;
        r.v.VarTypeStr = type == TVarType::tInt ? QStringLiteral("int") : QString();
        r.v.IntRange = range;
        return r;
    }

    FakeWorkbooks book;
    FakeWorksheet &settings = book.addSheet(QStringLiteral("Settings"));
    FakeWorksheet &signalWs = book.addSheet(QStringLiteral("Signals"));
    SignalSheetState signalSheet;
    RunLog log;
    TInsertUserVar reader{&book, signalSheet, log};
};

} // namespace

TEST_F(ReaderFixture, ReadsTheCellOnceAndKeepsItForTheRestOfTheRun)
{
    TUserInputType r = record(1, 5, 3, QStringLiteral("7"));
    EXPECT_EQ(reader.ReadUserInputValue(-1, {}, &r).value, QStringLiteral("20"));
    EXPECT_TRUE(r.v.ValueRead);
    EXPECT_EQ(r.v.CellValue, QStringLiteral("20"));
    // Asked again with signal line rows, it still gives what it read first.
    EXPECT_EQ(reader.ReadUserInputValue(7, {}, &r).value, QStringLiteral("20"));
    EXPECT_EQ(reader.ReadUserInputValue(8, {}, &r).value, QStringLiteral("20"));
    EXPECT_EQ(settings.cellReads, 1);
    EXPECT_EQ(book.sheetRequests, 1);
    EXPECT_EQ(reader.CurrentSheet, 1);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(ReaderFixture, GivesTheDefaultAndSaysWhenToScanItAgain)
{
    struct Case {
        int sheet;
        int row;
        const char *def;
        const char *value;
        bool restart;
    };
    const Case cases[] = {
        {-1, 5, "7", "7", false},               // no sheet: always the default
        {-1, 5, "%%X%%", "%%X%%", false},       // ... and never scanned again
        {1, 9, "7", "7", false},                // empty cell
        {1, 9, "%%Other%%", "%%Other%%", true}, // empty cell, default with a placeholder
        {1, 9, "", "", false},                  // empty cell, empty default
        {1, 0, "7", "7", false},                // no such row
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.def) + " sheet " + std::to_string(c.sheet));
        TUserInputType r = record(c.sheet, c.row, 3, QLatin1StringView(c.def));
        const UserInputValue v = reader.ReadUserInputValue(-1, {}, &r);
        EXPECT_EQ(v.value, QLatin1StringView(c.value));
        EXPECT_EQ(v.restart, c.restart);
    }
}

TEST_F(ReaderFixture, ReportsARejectedValueInThreePlainLinesAndUsesTheDefault)
{
    TUserInputType r = record(1, 6, 3, QStringLiteral("1"), TVarType::tInt, {false, true, 1, 255});
    const UserInputValue v = reader.ReadUserInputValue(-1, {}, &r);
    EXPECT_EQ(v.value, QStringLiteral("1"));
    EXPECT_FALSE(v.restart);
    EXPECT_EQ(logTexts(log),
              (QStringList{QStringLiteral("Value (300) in 'Settings' sheet, row(6) col(C) is not "
                                          "accepted"),
                           QStringLiteral("Value in range (1..255) expected"),
                           QStringLiteral("Using default value (1)")}));
}

TEST_F(ReaderFixture, NormalisesAnAcceptedValue)
{
    TUserInputType r = record(1, 7, 2, QStringLiteral("FALSE"), TVarType::tBool);
    r.v.VarTypeStr = QStringLiteral("bool");
    EXPECT_EQ(reader.ReadUserInputValue(-1, {}, &r).value, QStringLiteral("TRUE"));
}

TEST_F(ReaderFixture, ReadsSignalSheetInputsFromTheSignalLineOfTheRow)
{
    TUserInputType name = record(2, 5, 2, QStringLiteral("none"));
    TUserInputType addr = record(2, 5, 3, QStringLiteral("0"));
    EXPECT_EQ(reader.ReadUserInputValue(1, {}, &name).value, QStringLiteral("Pump, left"));
    EXPECT_EQ(reader.ReadUserInputValue(1, {}, &addr).value, QStringLiteral("7"));
    EXPECT_EQ(signalSheet.VarFromExcel.CurrentRow, 1);
    EXPECT_EQ(reader.ReadUserInputValue(2, {}, &name).value, QStringLiteral("none"));
    EXPECT_EQ(reader.ReadUserInputValue(2, {}, &addr).value, QStringLiteral("8"));
    EXPECT_EQ(signalSheet.VarFromExcel.CurrentRow, 2);
    EXPECT_EQ(signalSheet.VarFromExcel.RowStrSplit,
              (QStringList{QStringLiteral("AI"), QString(), QStringLiteral("8")}));
    // Signal sheet values are not cached in the record: each line has its own.
    EXPECT_FALSE(name.v.ValueRead);
    // A line or a cell beyond the signal lines gives the default.
    EXPECT_EQ(reader.ReadUserInputValue(5, {}, &addr).value, QStringLiteral("0"));
    TUserInputType far = record(2, 5, 9, QStringLiteral("far"));
    EXPECT_EQ(reader.ReadUserInputValue(1, {}, &far).value, QStringLiteral("far"));
    EXPECT_EQ(signalWs.cellReads, 0);
}

TEST_F(ReaderFixture, ReadsAnEntryWithoutRecordFromItsPartsEveryTime)
{
    const QStringList parts{QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("3"),
                            QStringLiteral("7")};
    EXPECT_EQ(reader.ReadUserInputValue(-1, parts, nullptr).value, QStringLiteral("20"));
    settings.set(5, 3, QStringLiteral("21"));
    EXPECT_EQ(reader.ReadUserInputValue(-1, parts, nullptr).value, QStringLiteral("21"));
    EXPECT_EQ(reader
                  .ReadUserInputValue(-1,
                                      {QStringLiteral("1"), QStringLiteral("9"),
                                       QStringLiteral("3"), QStringLiteral("7")},
                                      nullptr)
                  .value,
              QStringLiteral("7"));
    EXPECT_EQ(reader
                  .ReadUserInputValue(1,
                                      {QStringLiteral("2"), QStringLiteral("x"),
                                       QStringLiteral("3"), QStringLiteral("0")},
                                      nullptr)
                  .value,
              QStringLiteral("7"));
}

TEST_F(ReaderFixture, ThrowsForAnEntryWithoutRecordWhosePartsAreNoNumbers)
{
    const QStringList bad[] = {
        {QStringLiteral("x"), QStringLiteral("5"), QStringLiteral("3"), QStringLiteral("7")},
        {QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("")},
        {QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("3")},
        {},
    };
    for (const QStringList &parts : bad) {
        SCOPED_TRACE(parts.join(u',').toStdString());
        EXPECT_THROW(reader.ReadUserInputValue(-1, parts, nullptr), Failure);
    }
}

TEST_F(ReaderFixture, LogsASheetItCannotConnectAndKeepsTheEarlierOne)
{
    TUserInputType first = record(1, 5, 3, QStringLiteral("7"));
    reader.ReadUserInputValue(-1, {}, &first);
    TUserInputType missing = record(4, 5, 3, QStringLiteral("d"));
    // The earlier connection (Settings) stays, so the cell is read from it.
    EXPECT_EQ(reader.ReadUserInputValue(-1, {}, &missing).value, QStringLiteral("20"));
    EXPECT_EQ(logTexts(log), QStringList{QStringLiteral("Not able to connect to the Excel Sheet")});
    EXPECT_EQ(reader.CurrentSheet, 1);
}

TEST_F(ReaderFixture, WithoutWorkbookEveryCellGivesTheDefault)
{
    TInsertUserVar detached(nullptr, signalSheet, log);
    TUserInputType r = record(1, 5, 3, QStringLiteral("7"));
    EXPECT_EQ(detached.ReadUserInputValue(-1, {}, &r).value, QStringLiteral("7"));
    EXPECT_EQ(logTexts(log), QStringList{QStringLiteral("Not able to connect to the Excel Sheet")});
}
