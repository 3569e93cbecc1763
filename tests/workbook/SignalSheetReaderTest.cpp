#include "workbook/SignalSheetReader.h"
#include "common/RunLog.h"
#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"

#include <gtest/gtest.h>

namespace {

struct SignalSheet {
    FakeWorkbooks excel;
    std::shared_ptr<FakeWorksheet> sheet;
    SignalSheetLayout layout{2, 5, 0, 3}; // sheet 2, from row 5, type in column A, 3 columns
    RunLog log;
    QStringList lines;

    SignalSheet()
    {
        auto &book = excel.addBook("/w", "book.xlsx");
        FakeWorkbooks::addSheet(book, "Settings");
        sheet = FakeWorkbooks::addSheet(book, "Signals");
        excel.activate(book);
    }
    void row(int r, const QString &type, const QString &b = {}, const QString &c = {})
    {
        sheet->set(r, 1, type);
        sheet->set(r, 2, b);
        sheet->set(r, 3, c);
    }
    void read(const SignalValueCheck &check = {})
    {
        ReadSignalSheet(excel, layout, check, lines, log);
    }
};

TEST(SignalSheetReader, ReadsUpToTheEndRowInclusiveAfterPlaceholderLines)
{
    SignalSheet s;
    for (int r = 5; r < 20; ++r)
        s.row(r, "DI", QStringLiteral("Tag%1").arg(r), "x");
    s.row(20, "end");
    s.row(21, "DI", "after the end");
    s.read();
    ASSERT_EQ(s.lines.size(), 21);
    EXPECT_EQ(s.lines[0], ",,");
    EXPECT_EQ(s.lines[5], "DI,Tag5,x");
    EXPECT_EQ(s.lines[20], "end,,");
}

TEST(SignalSheetReader, FiftyEmptyTypeCellsInARowStopTheReading)
{
    SignalSheet s;
    s.row(5, "DI");
    // 49 empty rows, then a signal: reading goes on past it.
    s.row(55, "AI");
    s.read();
    // rows 5..55 then 50 empty rows 56..105
    EXPECT_EQ(s.lines.size(), 5 + 51 + 50);
    EXPECT_EQ(s.lines[55], "AI,,");
    EXPECT_EQ(s.lines.back(), ",,");
}

TEST(SignalSheetReader, BlankTypeIsNotEmptyAndBlankBeforeEndIsNoEndMarker)
{
    SignalSheet s;
    s.layout.SignalTypeRow = 1;
    s.row(1, " ");
    s.row(2, " END");
    s.row(3, "End");
    s.read();
    ASSERT_EQ(s.lines.size(), 4);
    EXPECT_EQ(s.lines[1], "\" \",,");
    EXPECT_EQ(s.lines[2], "\" END\",,");
}

TEST(SignalSheetReader, SheetWithoutEndIsReadInBlocksOf500Rows)
{
    SignalSheet s;
    s.layout.SignalTypeRow = 1;
    for (int r = 1; r <= 1200; ++r)
        s.row(r, "DI");
    s.read();
    EXPECT_EQ(s.lines.size(), 1 + 1200 + 50);
    EXPECT_EQ(s.sheet->rangeCalls(), 3);
}

TEST(SignalSheetReader, FieldsAreQuotedOnlyWhenTheyMustBe)
{
    SignalSheet s;
    s.layout.SignalTypeRow = 1;
    s.row(1, "DI", "Breaker, open", "say \"hi\"");
    s.row(2, "DI", "Abc123", "two words");
    s.row(3, "END");
    s.read();
    EXPECT_EQ(s.lines[1], "DI,\"Breaker, open\",\"say \"\"hi\"\"\"");
    EXPECT_EQ(s.lines[2], "DI,Abc123,\"two words\"");
}

TEST(SignalSheetReader, SingleEmptyFieldIsWrittenAsTwoQuotes)
{
    SignalSheet s;
    s.layout = {2, 1, 0, 1};
    s.row(2, "END");
    s.read();
    ASSERT_EQ(s.lines.size(), 3);
    EXPECT_EQ(s.lines[0], "\"\"");
    EXPECT_EQ(s.lines[1], "\"\"");
    EXPECT_EQ(s.lines[2], "END");
}

TEST(SignalSheetReader, RejectedValueIsReplacedAndReportedInThreeLines)
{
    SignalSheet s;
    s.layout.SignalTypeRow = 7;
    s.row(7, "AI", "ok", "300");
    s.row(8, "END");
    s.read([](int column, QString &value, QString &message) {
        if (column != 3 || value.toInt() <= 255)
            return true;
        value = "1";
        message = "Value in range (1..255) expected";
        return false;
    });
    EXPECT_EQ(s.lines[7], "AI,ok,1");
    EXPECT_EQ(logTexts(s.log),
              (QStringList{"Value (300) in 'Signals' sheet, row(7) col(C) is not accepted",
                           "Value in range (1..255) expected", "Using default value (1)"}));
}

TEST(SignalSheetReader, MissingSheetOrTypeColumnOutsideTheBlockFails)
{
    {
        SignalSheet s;
        s.layout.SignalTypeSheet = 9;
        EXPECT_THROW(s.read(), Failure);
    }
    {
        SignalSheet s;
        s.layout.SignalTypeColon = -1;
        EXPECT_THROW(s.read(), Failure);
        EXPECT_EQ(s.lines.size(), 5); // the placeholder lines stay
    }
}

} // namespace
