#include "support/FakeWorkbook.h"
#include "support/LogTexts.h"
#include "support/RecordingPrompts.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "template/TInsertUserVar.h"
#include "template/UserInputCheck.h"
#include "template/UserInputParser.h"

#include <QDomDocument>
#include <gtest/gtest.h>

namespace {

QDomElement firstElement(QDomDocument &doc, const QString &xml)
{
    QString error;
    EXPECT_TRUE(doc.setContent(xml, &error)) << error.toStdString();
    return doc.documentElement();
}

struct Parsed {
    UserInputList list;
    TUserInputType *record = nullptr;
    QStringList log;
    QStringList prompts;
};

Parsed parse(const QString &xml)
{
    QDomDocument doc;
    RunLog log;
    RecordingPrompts prompts;
    Parsed p;
    p.record = ParseUserInput(firstElement(doc, xml), p.list, log, prompts);
    p.log = logTexts(log);
    p.prompts = prompts.texts;
    return p;
}

TUserInputType makeRecord(TVarType type, const QString &typeWord, const QString &def,
                          TIntRange range = {})
{
    TUserInputType r;
    r.v.VarType = type;
    r.v.VarTypeStr = typeWord;
    r.v.Default = def;
    r.v.IntRange = range;
    return r;
}

} // namespace

TEST(ParseUserInput, BuildsTheEntryAndTheRecordFromTheAttributes)
{
    const Parsed p = parse(QStringLiteral(R"(<UserInput name="CASDU" sheet="1" row="5" col="3"
        default="1" type="int" range="1..255"/>)"));
    ASSERT_NE(p.record, nullptr);
    ASSERT_EQ(p.list.size(), 1);
    EXPECT_EQ(userInputEntryText(p.list, 0), QStringLiteral("CASDU=1,5,3,1"));
    EXPECT_EQ(p.list.valueAt(0).record.get(), p.record);
    const UserInputRecord &v = p.record->v;
    EXPECT_EQ(v.VarName, QStringLiteral("CASDU"));
    EXPECT_EQ(v.SheetNo, 1);
    EXPECT_EQ(v.RowNo, 5);
    EXPECT_EQ(v.ColNo, 3);
    EXPECT_EQ(v.Default, QStringLiteral("1"));
    EXPECT_EQ(v.VarType, TVarType::tInt);
    EXPECT_TRUE(v.IntRange.RangeUsed);
    EXPECT_FALSE(v.IntRange.RangeError);
    EXPECT_EQ(v.IntRange.Min, 1);
    EXPECT_EQ(v.IntRange.Max, 255);
    EXPECT_FALSE(v.ValueRead);
    EXPECT_TRUE(p.log.isEmpty());
    EXPECT_TRUE(p.prompts.isEmpty());
}

TEST(ParseUserInput, KeepsTheAttributeTextsInTheEntryAndReadsNumbersLeniently)
{
    const Parsed p = parse(QStringLiteral(
        R"(<UserInput name="Port" sheet=" $2" row="x" default="A B" type="string"/>)"));
    ASSERT_NE(p.record, nullptr);
    EXPECT_EQ(userInputEntryText(p.list, 0), QStringLiteral("Port= $2,x,,A B"));
    EXPECT_EQ(p.record->v.SheetNo, 2);
    EXPECT_EQ(p.record->v.RowNo, -1);
    EXPECT_EQ(p.record->v.ColNo, -1);
    EXPECT_EQ(p.record->v.VarType, TVarType::tString);
}

TEST(ParseUserInput, ReadsTheTypeWordInExactCaseAndTheRangeOnlyForInt)
{
    struct Case {
        const char *type;
        const char *range;
        TVarType varType;
        bool rangeUsed;
        bool rangeError;
        const char *logLine; // nullptr: nothing logged
    };
    const Case cases[] = {
        {"int", "1..255", TVarType::tInt, true, false, nullptr},
        {"int", "1..x", TVarType::tInt, false, true,
         "Range (1..x) incorrectly defined for XML Variable(In)"},
        {"int", "5", TVarType::tInt, false, false, nullptr},
        {"int", "..5", TVarType::tInt, false, false, nullptr},
        {"int", "", TVarType::tInt, false, false, nullptr},
        {"Int", "1..x", TVarType::tUnknown, false, false, nullptr},
        {"bool", "1..2", TVarType::tBool, false, false, nullptr},
        {"real", "", TVarType::tReal, false, false, nullptr},
        {"string", "", TVarType::tString, false, false, nullptr},
        {"", "", TVarType::tUnknown, false, false, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.range);
        const Parsed p = parse(QStringLiteral(R"(<UserInput name="In" type="%1" range="%2"/>)")
                                   .arg(QLatin1StringView(c.type), QLatin1StringView(c.range)));
        ASSERT_NE(p.record, nullptr);
        EXPECT_EQ(p.record->v.VarType, c.varType);
        EXPECT_EQ(p.record->v.VarTypeStr, QLatin1StringView(c.type));
        EXPECT_EQ(p.record->v.IntRange.RangeUsed, c.rangeUsed);
        EXPECT_EQ(p.record->v.IntRange.RangeError, c.rangeError);
        if (c.logLine)
            EXPECT_EQ(p.log, QStringList{QLatin1StringView(c.logLine)});
        else
            EXPECT_TRUE(p.log.isEmpty());
    }
}

TEST(ParseUserInput, AppendsToTheListAndFindsNamesInAnyCase)
{
    QDomDocument doc;
    firstElement(doc, QStringLiteral(R"(<p><UserInput name="Addr" sheet="1" row="2" col="3"
        default="4"/><UserInput name="ADDR" sheet="5"/></p>)"));
    UserInputList list;
    RunLog log;
    RecordingPrompts prompts;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        ParseUserInput(e, list, log, prompts);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.indexOf(QStringLiteral("addr")), 0);
    EXPECT_EQ(userInputEntryText(list, 1), QStringLiteral("ADDR=5,,,"));
}

TEST(ParseUserInput, ShowsTheMessageBoxForAnElementItCannotRead)
{
    UserInputList list;
    RunLog log;
    RecordingPrompts prompts;
    EXPECT_EQ(ParseUserInput(QDomElement(), list, log, prompts), nullptr);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(prompts.texts,
              QStringList{QStringLiteral("Error in XML file while reading variable section")});
}

TEST(ParseIntRange, ReadsMinAndMaxAroundTheTwoDots)
{
    struct Case {
        const char *text;
        bool used;
        bool error;
        int min;
        int max;
    };
    const Case cases[] = {
        {"1..255", true, false, 1, 255}, {"-5..$10", true, false, -5, 16},
        {" 3..4", true, false, 3, 4},    {"1..x", false, true, 1, 0},
        {"a..3", false, true, 0, 3},     {"1..", false, true, 1, 0},
        {"5", false, false, 0, 0},       {"..5", false, false, 0, 0},
        {"", false, false, 0, 0},        {"1...3", false, true, 1, 0},
        {"1..2..3", false, true, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const TIntRange r = ParseIntRange(QString::fromLatin1(c.text));
        EXPECT_EQ(r.RangeUsed, c.used);
        EXPECT_EQ(r.RangeError, c.error);
        if (c.used) {
            EXPECT_EQ(r.Min, c.min);
            EXPECT_EQ(r.Max, c.max);
        }
    }
}

TEST(CheckUserInputValue, TestsTypeAndRangeAndReplacesRejectedValuesByTheDefault)
{
    struct Case {
        TVarType type;
        const char *word;
        TIntRange range;
        const char *in;
        bool accepted;
        const char *out;
        const char *message;
    };
    const TIntRange byte{false, true, 1, 255};
    const Case cases[] = {
        {TVarType::tInt, "int", {}, "42", true, "42", ""},
        {TVarType::tInt, "int", {}, "$1F", true, "$1F", ""},
        {TVarType::tInt, "int", {}, "4.5", false, "D", "Value of type (int) expected"},
        {TVarType::tInt, "int", byte, "300", false, "D", "Value in range (1..255) expected"},
        {TVarType::tInt, "int", byte, "0", false, "D", "Value in range (1..255) expected"},
        {TVarType::tInt, "int", byte, "255", true, "255", ""},
        {TVarType::tInt, "int", byte, "", true, "", ""},
        {TVarType::tBool, "bool", {}, "true", true, "TRUE", ""},
        {TVarType::tBool, "bool", {}, "False", true, "FALSE", ""},
        {TVarType::tBool, "bool", {}, "5", true, "TRUE", ""},
        {TVarType::tBool, "bool", {}, "0", true, "FALSE", ""},
        {TVarType::tBool, "bool", {}, "yes", false, "D", "Value of type (bool) expected"},
        {TVarType::tReal, "real", {}, "3.5", true, "3.5", ""},
        {TVarType::tReal, "real", {}, "-1.5e3", true, "-1.5e3", ""},
        {TVarType::tReal, "real", {}, "7", true, "7", ""},
        {TVarType::tReal, "real", {}, "3,5", true, "3.5", ""},
        {TVarType::tReal, "real", {}, "3,5,1", false, "D", "Value of type (real) expected"},
        {TVarType::tReal, "real", {}, "abc", false, "D", "Value of type (real) expected"},
        {TVarType::tString, "string", {}, "any, text", true, "any, text", ""},
        {TVarType::tUnknown, "Int", {}, "abc", true, "abc", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + c.in);
        const TUserInputType r = makeRecord(c.type, QLatin1StringView(c.word), "D", c.range);
        QString value = QLatin1StringView(c.in);
        const UserInputCheckResult result = CheckUserInputValue(value, r);
        EXPECT_EQ(result.accepted, c.accepted);
        EXPECT_EQ(value, QLatin1StringView(c.out));
        EXPECT_EQ(result.message, QLatin1StringView(c.message));
    }
}

TEST(ColumnLetters, NamesColumnsLikeTheSpreadsheet)
{
    const std::pair<int, const char *> cases[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {0, ""},
    };
    for (const auto &[n, letters] : cases) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ColumnLetters(n), QLatin1StringView(letters));
    }
}
