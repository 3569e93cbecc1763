#include "template/TCodeTab.h"
#include "template/MergeCodeTab.h"
#include "template/TSignalTypeTab.h"
#include "template/TextLines.h"

#include "support/LineList.h"

#include <gtest/gtest.h>

namespace {

struct UnindentCase {
    const char *title;
    QStringList in;
    QStringList out;
};

TEST(UnindentLines, RemovesCommonIndentTrailingLineFeedAndBlankFirstLine)
{
    const UnindentCase cases[] = {
        {"worked example: indent 4, blank first line dropped, short last line emptied",
         lines({"", "    a", "      b", "  "}), lines({"a", "  b", ""})},
        {"a tab is text, so nothing is removed", lines({"\tx", "    y"}), lines({"\tx", "    y"})},
        {"all lines blank: all emptied, the first removed", lines({"   ", " ", "  "}),
         lines({"", ""})},
        {"one final line feed is removed", lines({"a\n", "b\n\n"}), lines({"a", "b\n"})},
        {"line feed and vertical tab count as indentation", lines({"\v  a", "   b"}),
         lines({"a", "b"})},
        {"only the first blank line goes", lines({" ", "", "  x"}), lines({"", "x"})},
        {"a first line of control characters is blank", lines({"\t\r", "x"}), lines({"x"})},
        {"empty list stays empty", {}, {}},
    };
    for (const UnindentCase &c : cases) {
        SCOPED_TRACE(c.title);
        QStringList l = c.in;
        UnindentLines(l);
        EXPECT_EQ(l, c.out);
    }
}

TEST(StripTrailingLineFeed, RemovesOneLineFeedOnly)
{
    EXPECT_EQ(StripTrailingLineFeed(QStringLiteral("a\n\n")), QStringLiteral("a\n"));
    EXPECT_EQ(StripTrailingLineFeed(QStringLiteral("a\r")), QStringLiteral("a\r"));
    EXPECT_EQ(StripTrailingLineFeed(QString()), QString());
}

TEST(ElementText, SplitsAtEveryLineBreakAndUnindentsTheWholeList)
{
    struct Case {
        const char *text;
        QStringList out;
    } const cases[] = {
        {"\r\n  a\r  b\n    c", lines({"a", "b", "  c"})},
        {"x\r\n", lines({"x"})},
        {"x\n\ny", lines({"x", "", "y"})},
        {"", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QStringList l;
        appendTextLines(l, QString::fromUtf8(c.text));
        EXPECT_EQ(l, c.out);
    }
    QStringList l = lines({"    keep"});
    appendTextLines(l, QStringLiteral("  more"));
    EXPECT_EQ(l, lines({"  keep", "more"})) << "the list is unindented as a whole";
}

TEST(MergeCodeTab, InsertsCodeBelowTheMarkerLineWithItsIndentation)
{
    TCodeTab section(QStringLiteral("Sec"));
    section.reCode = lines({"x := 1;", "y := 2;\n"});
    TCodeTab target(QStringLiteral("Main"));
    target.reCode = lines({"BEGIN", "    %%Sec%%", "END"});

    MergeCodeTab(section, target, 1);

    EXPECT_EQ(target.reCode, lines({"BEGIN", "    %%Sec%%", "    x := 1;", "    y := 2;", "END"}));
    EXPECT_EQ(section.reCode, lines({"x := 1;", "y := 2;\n"})) << "the source is unchanged";
}

TEST(MergeCodeTab, IndexOutsideTheCodeInsertsWithoutIndentation)
{
    struct Case {
        qsizetype index;
        QStringList out;
    } const cases[] = {
        {-1, lines({"a", "\tfirst", "  last"})},
        {2, lines({"\tfirst", "  last", "a"})},
        {0, lines({"\tfirst", " a", "  last"})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        TCodeTab source;
        source.reCode = lines({"a"});
        TCodeTab target;
        target.reCode = lines({"\tfirst", "  last"});
        MergeCodeTab(source, target, c.index);
        EXPECT_EQ(target.reCode, c.out);
    }
}

TEST(MergeCodeTab, SourceWithoutCodeStillAppendsEverythingElse)
{
    TCodeTab source(QStringLiteral("S"));
    source.reGloVar = lines({"g,INT\n"});
    source.reRetainVar = lines({"r,INT"});
    source.reLocVar = lines({"l,INT"});
    source.IncludeFB = lines({"FB1", "FB1"});
    source.DeleteFolderName.push_back({QStringLiteral("Old"), true});
    source.InputVariables.add(QStringLiteral("Plain"), {QStringLiteral("1,2,3,4"), nullptr});
    auto record = std::make_unique<TUserInputType>();
    record->v.VarName = QStringLiteral("Cached");
    record->v.ValueRead = true;
    record->v.CellValue = QStringLiteral("42");
    source.InputVariables.add(QStringLiteral("Cached"),
                              {QStringLiteral("1,5,3,1"), std::move(record)});
    source.StratonInfo.FileName = QStringLiteral("NotMerged");
    source.addMainIncludeOption(QStringLiteral("NotMerged"));

    TCodeTab target(QStringLiteral("T"));
    target.reCode = lines({"only"});
    target.IncludeFB = lines({"FB1"});
    target.reGloVar = lines({"first"});
    MergeCodeTab(source, target, 0);

    EXPECT_EQ(target.reCode, lines({"only"}));
    EXPECT_EQ(target.reGloVar, lines({"first", "g,INT"}));
    EXPECT_EQ(target.reRetainVar, lines({"r,INT"}));
    EXPECT_EQ(target.reLocVar, lines({"l,INT"}));
    EXPECT_EQ(target.IncludeFB, lines({"FB1", "FB1", "FB1"}));
    ASSERT_EQ(target.DeleteFolderName.size(), 1u);
    EXPECT_TRUE(target.DeleteFolderName[0].recursive);
    ASSERT_EQ(target.InputVariables.size(), 2);
    EXPECT_EQ(userInputEntryText(target.InputVariables, 0), QStringLiteral("Plain=1,2,3,4"));
    EXPECT_EQ(target.InputVariables.valueAt(0).record, nullptr);
    const TUserInputType *copied = target.InputVariables.valueAt(1).record.get();
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, source.InputVariables.valueAt(1).record.get()) << "a copy, not shared";
    EXPECT_TRUE(copied->v.ValueRead);
    EXPECT_EQ(copied->v.CellValue, QStringLiteral("42"));
    EXPECT_TRUE(target.StratonInfo.FileName.isEmpty());
    EXPECT_TRUE(target.MainIncludeOptions.isEmpty());
}

TEST(IncludeLists, SignalTypeSortsAndDropsRepeatsProgramKeepsOrder)
{
    TSignalTypeTab type;
    type.setIncludeFB(QStringLiteral("B,A,B"));
    EXPECT_EQ(type.IncludeFB, lines({"A", "B"}));
    type.setIncludeFB(QStringLiteral("fbZ b a  B"));
    EXPECT_EQ(type.IncludeFB, lines({"a", "b", "fbZ"})) << "replaced, case-insensitive";

    TCodeTab program;
    program.setIncludeFB(QStringLiteral("B,A,B"));
    EXPECT_EQ(program.IncludeFB, lines({"B", "A", "B"}));
    program.setIncludeFB(QStringLiteral("\"X Y\""));
    EXPECT_EQ(program.IncludeFB, lines({"X Y"}));
}

TEST(IncludeLists, MainIncludeOptionsAreSortedCaseSensitiveWithoutRepeats)
{
    TCodeTab program;
    for (const char *w : {"b", "B", "a", "b", "A"})
        program.addMainIncludeOption(QString::fromUtf8(w));
    EXPECT_EQ(program.MainIncludeOptions, lines({"A", "B", "a", "b"}));
}

TEST(TCodeTab, ClearKeepsNameStratonInfoAndIncludeFB)
{
    TCodeTab tab(QStringLiteral("P"));
    tab.StratonInfo.MaxIO = 3;
    tab.IncludeFB = lines({"FB"});
    tab.reCode = lines({"x"});
    tab.TextFiles.AddFile(QStringLiteral("t"), QStringLiteral("f.txt"), true);
    tab.InputVariables.add(QStringLiteral("A"),
                           {QStringLiteral("1,1,1,"), std::make_unique<TUserInputType>()});
    tab.InputVariablesObjectsFree();
    ASSERT_EQ(tab.InputVariables.size(), 1);
    EXPECT_EQ(tab.InputVariables.valueAt(0).record, nullptr);
    tab.Clear();
    EXPECT_TRUE(tab.reCode.isEmpty());
    EXPECT_TRUE(tab.InputVariables.isEmpty());
    EXPECT_TRUE(tab.TextFiles.entries().empty());
    EXPECT_EQ(tab.name, QStringLiteral("P"));
    EXPECT_EQ(tab.StratonInfo.MaxIO, 3);
    EXPECT_EQ(tab.IncludeFB, lines({"FB"}));
}

} // namespace
