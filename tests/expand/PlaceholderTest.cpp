#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"
#include "support/RecordingPrompts.h"
#include "support/XmlFixture.h"

#include "common/PlaceholderScan.h"
#include "common/RunLog.h"
#include "expand/PlaceholderSubstitution.h"
#include "template/TInsertUserVar.h"
#include "template/UserInputParser.h"

#include <gtest/gtest.h>

namespace {

// A settings sheet (1), a parameter sheet (2) and a signal sheet (3) with two signal lines;
// user inputs declared by UserInput elements.
struct SubstitutionFixture : ::testing::Test {
    SubstitutionFixture()
    {
        params.set(5, 3, QStringLiteral("20"));
        params.set(6, 3, QStringLiteral("%%Base%%"));
        params.set(7, 3, QStringLiteral("%%Dbl%%%%Dbl%%"));
        signalSheet.SignalTypeSheet = 3;
        signalSheet.lines = {QString(), QStringLiteral("DI,K1,100"), QStringLiteral("AI,K2,200")};
        declare(list, R"(<UserInput name="Base" sheet="2" row="5" col="3" default="7"/>)");
        declare(list, R"(<UserInput name="Raw" sheet="2" row="6" col="3" default=""/>)");
        declare(list,
                R"(<UserInput name="Chain" sheet="2" row="9" col="3" default="%%Base%%+1"/>)");
        declare(list, R"(<UserInput name="Self" sheet="2" row="9" col="3" default="x%%Self%%"/>)");
        declare(list, R"(<UserInput name="PingA" sheet="2" row="9" col="3" default="%%PingB%%"/>)");
        declare(list, R"(<UserInput name="PingB" sheet="2" row="9" col="3" default="%%PingA%%"/>)");
        declare(list, R"(<UserInput name="Dbl" sheet="2" row="7" col="3" default=""/>)");
        declare(list, R"(<UserInput name="Addr" sheet="3" row="1" col="3" default="0"/>)");
        declare(list, R"(<UserInput name="Fixed" sheet="-1" default="F"/>)");
    }

    void declare(UserInputList &to, const char *xml)
    {
        RecordingPrompts prompts;
        ASSERT_NE(ParseUserInput(xmlElement(xml), to, log, prompts), nullptr);
    }

    QString replaced(const QString &text, int row = -1)
    {
        QString t = text;
        substitution.ReplaceUserVariables(row, t, list);
        return t;
    }

    FakeWorkbooks book;
    FakeWorksheet &settings = book.addSheet(QStringLiteral("Settings"));
    FakeWorksheet &params = book.addSheet(QStringLiteral("Params"));
    FakeWorksheet &signalWs = book.addSheet(QStringLiteral("Signals"));
    SignalSheetState signalSheet;
    RunLog log;
    TInsertUserVar reader{&book, signalSheet, log};
    PlaceholderSubstitution substitution{reader, log};
    UserInputList list;
};

} // namespace

TEST(PlaceholderScan, FindsTheNextPlaceholderAndSplitsOffItsArguments)
{
    struct Case {
        const char *text;
        qsizetype from;
        qsizetype position;
        qsizetype length;
        const char *name;
        const char *argument;
    };
    const Case cases[] = {
        {"a %%Addr%% b", 0, 2, 8, "Addr", ""},
        {"%%SendFrame(16#68,Len)%%", 0, 0, 24, "SendFrame", "16#68,Len"},
        {"%%F(a)tail%%", 0, 0, 12, "F", "a"},
        {"%%F)x(%%", 0, 0, 8, "F)x(", ""},
        {"%%%%", 0, 0, 4, "", ""},
        {"x %%open", 0, 2, 0, "", ""},  // no closing marker: position moves, no name
        {"no marker", 3, 3, 0, "", ""}, // no opening marker: position stays
        {"%%A%% %%B%%", 1, 3, 5, " ", ""},
        {"%%A%% %%B%%", 5, 6, 5, "B", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        qsizetype position = c.from;
        qsizetype length = -1;
        QString name = QStringLiteral("stale");
        QString argument = QStringLiteral("stale");
        NextPlaceholder(QString::fromLatin1(c.text), position, length, name, argument);
        EXPECT_EQ(position, c.position);
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(name, QLatin1StringView(c.name));
        EXPECT_EQ(argument, QLatin1StringView(c.argument));
    }
    QString name;
    QString argument;
    FirstPlaceholder(u"    %%SendFrame(1, 2)%% %%Other%%", argument, name);
    EXPECT_EQ(name, QStringLiteral("SendFrame"));
    EXPECT_EQ(argument, QStringLiteral("1, 2"));
}

TEST(PlaceholderScan, FindsTheFirstLineHoldingTheSectionPlaceholder)
{
    const QStringList lines{QStringLiteral("a"), QStringLiteral("  %%Init%% x"),
                            QStringLiteral("%%Init%%"), QStringLiteral("%%Cyclic(1)%%")};
    EXPECT_EQ(FindPlaceholderLine(QStringLiteral("Init"), lines), 1);
    EXPECT_EQ(FindPlaceholderLine(QStringLiteral("init"), lines), -1);
    EXPECT_EQ(FindPlaceholderLine(QStringLiteral("Cyclic"), lines), -1);
    EXPECT_EQ(FindPlaceholderLine(QStringLiteral("Cyclic(1)"), lines), 3);
    EXPECT_EQ(FindPlaceholderLine(QStringLiteral("Init"), {}), -1);
}

TEST_F(SubstitutionFixture, FillsTheBaseAndAddExample)
{
    EXPECT_EQ(replaced(QStringLiteral("IF %%#ADD(10)#Base%% > %%Base%% THEN")),
              QStringLiteral("IF 30 > 20 THEN"));
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(SubstitutionFixture, FillsTheBaseAndAddExampleWithTheDefaultOfAnEmptyCell)
{
    params.set(5, 3, QString());
    EXPECT_EQ(replaced(QStringLiteral("IF %%#ADD(10)#Base%% > %%Base%% THEN")),
              QStringLiteral("IF 17 > 7 THEN"));
}

TEST_F(SubstitutionFixture, FillsTheBaseAndAddExampleFromAnEntryWithoutRecord)
{
    UserInputList plain;
    plain.add(QStringLiteral("Base"), UserInputEntry{QStringLiteral("2,5,3,7"), nullptr});
    QString text = QStringLiteral("IF %%#ADD(10)#Base%% > %%Base%% THEN");
    substitution.ReplaceUserVariables(-1, text, plain);
    EXPECT_EQ(text, QStringLiteral("IF 30 > 20 THEN"));
    EXPECT_EQ(reader.VarLine, (QStringList{QStringLiteral("2"), QStringLiteral("5"),
                                           QStringLiteral("3"), QStringLiteral("7")}));
}

TEST_F(SubstitutionFixture, ReplacesKnownPlaceholdersAndLeavesTheRest)
{
    struct Case {
        const char *text;
        const char *result;
    };
    const Case cases[] = {
        {"%%Base%%+%%Base%%", "20+20"},           // both at the first one
        {"%%Base%%-%%BASE%%", "20-20"},           // any case, each as written
        {"x %%Nope%% %%Base%%", "x %%Nope%% 20"}, // unknown names stay
        {"%%%%", "%%%%"},                         // an empty name is unknown
        {"%%#Base%%", "%%#Base%%"},               // no second '#': looked up as written
        {"%%#INC#%%", "%%#INC#%%"},               // empty input name: unknown
        {"%%#INC#base%% %%#INC#Base%%", "21 21"},
        {"%%#inc#Base%%", "20"},         // unknown function: the plain value
        {"%%Raw%%", "%%Base%%"},         // a cell value is not scanned again
        {"%%Chain%%", "20+1"},           // a default is
        {"%%Fixed%% %%Addr%%", "F 100"}, // no sheet; the signal line of the row
        {"no placeholder", "no placeholder"},
        {"", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(replaced(QLatin1StringView(c.text)), QLatin1StringView(c.result));
    }
    EXPECT_TRUE(log.lines().isEmpty()) << logTexts(log).join(u'\n').toStdString();
}

TEST_F(SubstitutionFixture, ReadsSignalSheetInputsFromTheGivenRow)
{
    EXPECT_EQ(replaced(QStringLiteral("%%Addr%%"), 1), QStringLiteral("100"));
    EXPECT_EQ(replaced(QStringLiteral("%%Addr%%"), 2), QStringLiteral("200"));
    EXPECT_EQ(replaced(QStringLiteral("%%Addr%%"), -1), QStringLiteral("100"));
}

TEST_F(SubstitutionFixture, LogsAnUnmatchedMarkerAndLeavesTheRest)
{
    EXPECT_EQ(replaced(QStringLiteral("a %%Base%% b %%c")), QStringLiteral("a 20 b %%c"));
    EXPECT_EQ(logTexts(log), (QStringList{QStringLiteral("'%%' Error in XML source"),
                                          QStringLiteral("CodeLine:a 20 b %%c")}));
}

TEST_F(SubstitutionFixture, StopsDefaultsAndValuesThatExpandWithoutEnd)
{
    EXPECT_EQ(replaced(QStringLiteral("A %%Self%% B")).left(5), QStringLiteral("A xxx"));
    EXPECT_EQ(logTexts(log).size(), 1);
    EXPECT_TRUE(logTexts(log).value(0).startsWith(u"Placeholder %%Self%% expands without end"));
    const char *cases[] = {"A %%Self%% B", "%%PingA%%", "%%Dbl%% %%Dbl%%"};
    for (const char *text : cases) {
        SCOPED_TRACE(text);
        log.clear();
        const QString result = replaced(QLatin1StringView(text));
        // Each ends with error lines; the doubling value ends on a marker the growing text
        // leaves without partner.
        EXPECT_FALSE(log.lines().isEmpty());
        EXPECT_LT(result.size(), 100'000);
    }
    // The next text is substituted as usual.
    EXPECT_EQ(replaced(QStringLiteral("%%Base%%")), QStringLiteral("20"));
}

TEST_F(SubstitutionFixture, SubstitutesALineListInPlaceAndGoesOnAfterAnError)
{
    QStringList lines{QStringLiteral("a := %%Base%%;\n"), QStringLiteral("b := %%Bad%%;"),
                      QStringLiteral("c := %%Base%%;\n\n")};
    UserInputList withBad;
    withBad.add(QStringLiteral("Base"), UserInputEntry{QStringLiteral("2,5,3,7"), nullptr});
    withBad.add(QStringLiteral("Bad"), UserInputEntry{QStringLiteral("x,5,3,7"), nullptr});
    const QString result =
        substitution.ReplaceUserVariablesInLines(-1, QStringLiteral("%%Base%%"), &lines, withBad);
    EXPECT_EQ(result, QStringLiteral("%%Base%%"));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("a := 20;"), QStringLiteral("b := %%Bad%%;"),
                                  QStringLiteral("c := %%Base%%;\n\n")}));
    EXPECT_EQ(logTexts(log), QStringList{QStringLiteral("UserVariables error in XML")});

    EXPECT_EQ(substitution.ReplaceUserVariablesInLines(-1, QStringLiteral("%%Base%%\n"), nullptr,
                                                       withBad),
              QStringLiteral("20\n"));
}

TEST_F(SubstitutionFixture, ExpandsTemplateLinesForOneSignalLine)
{
    SignalVariableList signalVars;
    signalVars.add(QStringLiteral("Type"), 0);
    signalVars.add(QStringLiteral("Name"), 1);
    signalVars.add(QStringLiteral("Base"), 2); // the user input of that name wins
    signalVars.add(QStringLiteral("Far"), 7);
    const QStringList cells{QStringLiteral("DI"), QStringLiteral("K1"), QStringLiteral("100")};
    const QStringList source{
        QStringLiteral("%%Name%% := %%Type%%; (* %%name%% %%Type%% *)\n"),
        QStringLiteral("\n"),
        QString(),
        QStringLiteral("   "),
        QStringLiteral("x := %%Base%% + %%Addr%%;"),
        QStringLiteral("y := %%Far%%;"),
        QStringLiteral("%%Unknown%% %%Name%%"),
        QStringLiteral("%%Name(1)%% %%Name%%"),
        QStringLiteral("%%%% %%Name%%"),
        QStringLiteral("%%Name%% %% %%Name%%"),
    };
    QStringList dest{QStringLiteral("before")};
    substitution.ExpandTemplateLines(1, cells, source, dest, list, signalVars);
    EXPECT_EQ(dest, (QStringList{
                        QStringLiteral("before"), QStringLiteral("K1 := DI; (* K1 DI *)"),
                        QStringLiteral("   "),
                        // Base is read at row 1 of its own sheet, which is empty.
                        QStringLiteral("x := 7 + 100;"), QStringLiteral("y := ##Error;"),
                        QStringLiteral("%%Unknown%% K1"), QStringLiteral("%%Name(1)%% K1"),
                        QStringLiteral("%%%% %%Name%%"),  // an empty name ends the scan
                        QStringLiteral("K1 %% %%Name%%"), // "%% %%" is a placeholder
                    }));
}
