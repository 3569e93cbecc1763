#include "support/LogTexts.h"
#include "support/RecordingPrompts.h"
#include "support/XlsxTestBook.h"
#include "support/XmlFixture.h"

#include "common/RunLog.h"
#include "expand/PlaceholderSubstitution.h"
#include "template/TInsertUserVar.h"
#include "template/UserInputParser.h"
#include "workbook/FileWorkbooks.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// User inputs read from a real .xlsx file: a settings sheet and a parameter sheet whose
// cells hold numbers, texts and booleans as a workbook does.
class UserInputWorkbook : public ::testing::Test {
protected:
    void SetUp() override
    {
        XlsxTestBook book(m_dir.filePath(QStringLiteral("station.xlsx")));
        lxw_worksheet *settings = book.addSheet("Settings");
        worksheet_write_string(settings, 1, 1, "template.xml", nullptr);
        lxw_worksheet *params = book.addSheet("Station Params");
        worksheet_write_number(params, 4, 2, 20, nullptr);    // C5
        worksheet_write_number(params, 5, 2, 300, nullptr);   // C6
        worksheet_write_boolean(params, 6, 2, 1, nullptr);    // C7
        worksheet_write_string(params, 7, 2, "3,5", nullptr); // C8
        worksheet_write_number(params, 8, 2, 2.25, nullptr);  // C9
        m_books.Open(book.save());
    }

    void declare(const char *xml)
    {
        ASSERT_NE(ParseUserInput(xmlElement(xml), m_inputs, m_log, m_prompts), nullptr);
    }

    QString substituted(const QString &text)
    {
        QString t = text;
        m_substitution.ReplaceUserVariables(-1, t, m_inputs);
        return t;
    }

    QTemporaryDir m_dir;
    FileWorkbooks m_books;
    SignalSheetState m_signalSheet;
    RunLog m_log;
    RecordingPrompts m_prompts;
    TInsertUserVar m_reader{&m_books, m_signalSheet, m_log};
    PlaceholderSubstitution m_substitution{m_reader, m_log};
    UserInputList m_inputs;
};

} // namespace

TEST_F(UserInputWorkbook, FillsTheBaseAndAddExampleFromTheCell)
{
    declare(R"(<UserInput name="Base" sheet="2" row="5" col="3" default="7" type="int"/>)");
    EXPECT_EQ(substituted(QStringLiteral("IF %%#ADD(10)#Base%% > %%Base%% THEN")),
              QStringLiteral("IF 30 > 20 THEN"));
    EXPECT_TRUE(m_log.lines().isEmpty());
}

TEST_F(UserInputWorkbook, FillsTheBaseAndAddExampleFromTheDefaultOfAnEmptyCell)
{
    declare(R"(<UserInput name="Base" sheet="2" row="15" col="3" default="7" type="int"/>)");
    EXPECT_EQ(substituted(QStringLiteral("IF %%#ADD(10)#Base%% > %%Base%% THEN")),
              QStringLiteral("IF 17 > 7 THEN"));
}

TEST_F(UserInputWorkbook, TestsEachCellAgainstItsInput)
{
    declare(R"(<UserInput name="Casdu" sheet="2" row="6" col="3" default="1" type="int"
                  range="1..255"/>)");
    declare(R"(<UserInput name="On" sheet="2" row="7" col="3" default="FALSE" type="bool"/>)");
    declare(R"(<UserInput name="Gain" sheet="2" row="8" col="3" default="1.0" type="real"/>)");
    declare(R"(<UserInput name="Offset" sheet="2" row="9" col="3" default="0" type="real"/>)");
    declare(R"(<UserInput name="Tmpl" sheet="1" row="2" col="2" default="" type="string"/>)");
    EXPECT_EQ(substituted(QStringLiteral("%%Casdu%% %%On%% %%Gain%% %%Offset%% %%Tmpl%%")),
              QStringLiteral("1 TRUE 3.5 2.25 template.xml"));
    EXPECT_EQ(logTexts(m_log),
              (QStringList{QStringLiteral("Value (300) in 'Station Params' sheet, row(6) col(C) "
                                          "is not accepted"),
                           QStringLiteral("Value in range (1..255) expected"),
                           QStringLiteral("Using default value (1)")}));
}

TEST_F(UserInputWorkbook, LogsASheetTheWorkbookDoesNotHave)
{
    declare(R"(<UserInput name="Far" sheet="5" row="1" col="1" default="d"/>)");
    EXPECT_EQ(substituted(QStringLiteral("%%Far%%")), QStringLiteral("d"));
    EXPECT_EQ(logTexts(m_log),
              QStringList{QStringLiteral("Not able to connect to the Excel Sheet")});
}
