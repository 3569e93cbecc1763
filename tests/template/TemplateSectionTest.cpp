#include "common/RunLog.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"
#include "support/RecordingPrompts.h"
#include "support/XmlFixture.h"
#include "template/TemplateMessages.h"
#include "template/TemplateParser.h"

#include "support/LineList.h"

#include <gtest/gtest.h>

namespace {

// A template body parsed into a fresh model.
struct Parsed {
    explicit Parsed(const char *body) : root(xmlElement(body))
    {
        parser.ParseProgramSections(root);
    }

    TCodeTab &main(const char *name) { return **model.MainCode.find(QString::fromUtf8(name)); }
    TCodeTab &block(const char *name) { return **model.FuncBlocks.find(QString::fromUtf8(name)); }
    TCodeTab *section(const char *name)
    {
        TCodeTab *const *s = model.CodeSectionsToInclude.find(QString::fromUtf8(name));
        return s ? *s : nullptr;
    }

    TemplateModel model;
    RunLog log;
    RecordingPrompts prompts;
    TemplateParser parser{model, log, prompts};
    QDomElement root;
};

// One program in MainCode named P, with the given children.
QByteArray program(const char *children)
{
    return QByteArray("<T><MainCode><P>") + children + "</P></MainCode></T>";
}

TEST(CodeElement, AttributesAndTheirDefaults)
{
    struct Case {
        const char *attributes;
        std::int32_t maxIO, iSection;
        std::uint32_t scanPeriod, scanPhase;
        bool enabled, overwrite, useMainVar, subProgram, structure;
    } const cases[] = {
        {"", 2147483647, 1, 1, 0, true, true, true, false, false},
        {R"(MaxIO="4" Section="UDFB" ScanPeriod="$A" ScanPhase="-1" Enabled="1" Overwrite="0"
            UseMainVar="0" SubProgram="1" Property="Struct")",
         4, 16, 10, 4294967295u, true, false, false, true, true},
        {R"(Section="udfb" ScanPeriod="10 " Enabled="2" Overwrite="no" SubProgram="yes"
            Property="struct" MaxIO="x")",
         2147483647, 1, 1, 0, false, true, true, false, false},
        {R"(Section="SFC" ScanPeriod="ten" ScanPhase=" 3")", 2147483647, 2, 1, 3, true, true, true,
         false, false},
        {R"(Section="END")", 2147483647, 4, 1, 0, true, true, true, false, false},
        {R"(Section="CHILD" Enabled="0")", 2147483647, 8, 1, 0, false, true, true, false, false},
        {R"(Section="BEGIN" UseMainVar="")", 2147483647, 1, 1, 0, true, true, true, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.attributes);
        Parsed t(program(QByteArray("<CODE ") + c.attributes + "/>").constData());
        const StratonRecord &s = t.main("P").StratonInfo;
        EXPECT_EQ(s.MaxIO, c.maxIO);
        EXPECT_EQ(s.iSection, c.iSection);
        EXPECT_EQ(s.ScanPeriod, c.scanPeriod);
        EXPECT_EQ(s.ScanPhase, c.scanPhase);
        EXPECT_EQ(s.Enabled, c.enabled);
        EXPECT_EQ(s.Overwrite, c.overwrite);
        EXPECT_EQ(s.UseMainVar, c.useMainVar);
        EXPECT_EQ(s.SubProgram, c.subProgram);
        EXPECT_EQ(s.StructureType, c.structure);
        EXPECT_TRUE(t.log.lines().isEmpty()) << logTexts(t.log).join(u'\n').toStdString();
    }
}

TEST(CodeElement, TextUnindentedMacrosExpandedAndTextAttributesRead)
{
    Parsed t(R"(<T>
      <Macros><Hello><CODE>
        Say(%%0%%);</CODE></Hello></Macros>
      <MainCode><P>
        <code FileName="Main" Folder="F" Desc="D" Section="x"><![CDATA[
            a := 1;
              %%hello("x y")%%]]></code>
        <Code MaxIO="3"/>
      </P></MainCode></T>)");
    const TCodeTab &p = t.main("P");
    EXPECT_EQ(p.reCode, lines({"a := 1;", "  // Macro: hello expanded", "  Say(x y);"}));
    EXPECT_EQ(p.StratonInfo.FileName, QString()) << "a second CODE element sets every attribute";
    EXPECT_EQ(p.StratonInfo.MaxIO, 3);
    EXPECT_EQ(p.StratonInfo.SectionName, QString());
}

TEST(CodeElement, MixedContentEndsTheProgramWithOneErrorLine)
{
    Parsed t(R"(<T><MainCode>
        <P><var name="a" type="INT"/><CODE>x;<!-- c -->y;</CODE><var name="b" type="INT"/></P>
        <Q><var name="q" type="INT"/></Q>
      </MainCode></T>)");
    EXPECT_EQ(logTexts(t.log), QStringList{errorParsingSymbol(QStringLiteral("P"))});
    EXPECT_EQ(t.main("P").reLocVar.size(), 1) << "children after the failing one are skipped";
    EXPECT_EQ(t.main("Q").reLocVar.size(), 1) << "the next program is parsed";
    EXPECT_EQ(errorParsingSymbol(QStringLiteral("P")),
              QStringLiteral("Error parsing symbol (P) in XML file"));
}

TEST(ProgramVocabulary, EachElementFillsItsPlace)
{
    Parsed t(program(R"(
        <var name="l" type="INT"/><globalvar name="g" type="INT"/><retainvar name="r" type="INT"/>
        <Variable><name>lv</name></Variable><GlobalVariable><name>gv</name></GlobalVariable>
        <UserInput name="U" sheet="1" row="2" col="3" default="4" type="int"/>
        <IncludeFB>A B</IncludeFB><IncludeFB>C,C</IncludeFB>
        <DeleteFolder Folder="Old" Recursive="yes"/><DeleteFolder Folder="Keep" Recursive="Yes"/>
        <DeleteFolder Recursive="yes"/>
        <AddMainIncludeOption Use="b"/><AddMainIncludeOption Use="a"/><AddMainIncludeOption/>
        <GlobalDefines>
            #define A 1</GlobalDefines>
        <TextFile FileName="t.txt" Overwrite="0">text</TextFile>
        <TextFile FileName="u.txt" Overwrite="2">text</TextFile>
        <TextFile FileName="v.txt" Overwrite="x">text</TextFile>
        <TextFile FileName="none.txt"/>
        <StratonProjectOption>opt1</StratonProjectOption>
        <GeneratorOption>Other</GeneratorOption>
        <!-- ignored -->)")
                 .constData());
    const TCodeTab &p = t.main("P");
    EXPECT_EQ(p.reLocVar, lines({R"(l,INT,,,,,,"","","",,)", "lv,,,,"}));
    EXPECT_EQ(p.reGloVar, lines({R"(g,INT,,,,,,"","","",,)", "gv,,,,"}));
    EXPECT_EQ(p.reRetainVar, lines({R"(r,INT,,,,,,"","","",,)"}));
    ASSERT_EQ(p.InputVariables.size(), 1);
    EXPECT_EQ(userInputEntryText(p.InputVariables, 0), QStringLiteral("U=1,2,3,4"));
    EXPECT_EQ(p.IncludeFB, lines({"C", "C"})) << "the second IncludeFB replaces the first";
    ASSERT_EQ(p.DeleteFolderName.size(), 2u);
    EXPECT_TRUE(p.DeleteFolderName[0].recursive);
    EXPECT_FALSE(p.DeleteFolderName[1].recursive);
    EXPECT_EQ(p.MainIncludeOptions, lines({"a", "b"}));
    EXPECT_EQ(t.model.GlobalDefines, lines({"#define A 1"}));
    ASSERT_EQ(p.TextFiles.entries().size(), 3u);
    EXPECT_FALSE(p.TextFiles.entries()[0].item.Overwrite);
    EXPECT_FALSE(p.TextFiles.entries()[1].item.Overwrite);
    EXPECT_TRUE(p.TextFiles.entries()[2].item.Overwrite);
    EXPECT_EQ(t.model.StratonProjectOptions, lines({"opt1"}));
    EXPECT_FALSE(t.model.DisableRecreateVarError);
    EXPECT_EQ(t.model.CodeSectionsToInclude.size(), 0) << "no element fell through to a section";
    EXPECT_TRUE(t.log.lines().isEmpty()) << logTexts(t.log).join(u'\n').toStdString();
    EXPECT_TRUE(t.prompts.texts.isEmpty());
}

TEST(ProgramVocabulary, ElementsWithoutRequiredTextEndTheProgram)
{
    const char *cases[] = {
        "<GlobalDefines/>",
        "<GlobalDefines>   </GlobalDefines>",
        "<StratonProjectOption/>",
        "<IncludeFB>a<b/></IncludeFB>",
        "<TextFile>a<!--x-->b</TextFile>",
    };
    for (const char *c : cases) {
        SCOPED_TRACE(c);
        Parsed t(program(QByteArray(c) + "<var name=\"after\" type=\"INT\"/>").constData());
        EXPECT_EQ(logTexts(t.log), QStringList{errorParsingSymbol(QStringLiteral("P"))});
        EXPECT_TRUE(t.main("P").reLocVar.isEmpty());
    }
}

TEST(ProgramVocabulary, GeneratorOptionAndDefinesCollectAcrossPrograms)
{
    Parsed t(R"(<T><MainCode>
        <A><GlobalDefines>  x</GlobalDefines><StratonProjectOption>o</StratonProjectOption></A>
        <B><GeneratorOption>DisableRecreateVarError</GeneratorOption>
           <GlobalDefines>    y</GlobalDefines><StratonProjectOption>o</StratonProjectOption></B>
      </MainCode><FunctionBlocks><F><GlobalDefines>z</GlobalDefines></F></FunctionBlocks></T>)");
    EXPECT_TRUE(t.model.DisableRecreateVarError);
    EXPECT_EQ(t.model.GlobalDefines, lines({"x", "    y", "z"}))
        << "each element's lines join the list, which is then unindented as a whole";
    EXPECT_EQ(t.model.StratonProjectOptions, lines({"o", "o"}));
}

TEST(ProgramVocabulary, NamesAreMatchedInTheirOwnCase)
{
    Parsed t(
        program(
            R"(<Var>vsec</Var><VAR name="x"/><code>c;</code><variable><name>n</name></variable>)")
            .constData());
    EXPECT_EQ(t.main("P").reCode, lines({"c;"}));
    EXPECT_EQ(t.main("P").reLocVar, lines({"n,,,,"}));
    ASSERT_NE(t.section("Var"), nullptr);
    EXPECT_EQ(t.section("Var")->reCode, lines({"vsec"}));
    EXPECT_EQ(t.model.CodeSectionsToInclude.size(), 1) << "Var and VAR are one section";
}

TEST(TemplateSections, DuplicatesAndComments)
{
    Parsed t(R"(<T>
      <MainCode><!-- one --><!-- two --><P><CODE>first</CODE></P><p><CODE>second</CODE></p></MainCode>
      <FunctionBlocks><!-- a --><!-- b --><F/><F/></FunctionBlocks></T>)");
    EXPECT_EQ(logTexts(t.log), (QStringList{duplicateSymbol(QStringLiteral("#comment")),
                                            duplicateSymbol(QStringLiteral("p"))}));
    EXPECT_EQ(duplicateSymbol(QStringLiteral("p")),
              QStringLiteral("Dublicate symbol in XML file :p"));
    EXPECT_EQ(t.model.MainCode.size(), 2);
    EXPECT_EQ(t.main("P").reCode, lines({"first"})) << "the first keeps the name";
    EXPECT_EQ(t.model.MainCodePages.size(), 4u) << "the repeat is parsed and kept, unlisted";
    EXPECT_EQ(t.model.MainCodePages[3]->reCode, lines({"second"}));
    EXPECT_EQ(t.model.FuncBlocks.size(), 4);
    EXPECT_EQ(t.model.FuncBlocks.nameAt(0), QStringLiteral("#comment"));
}

TEST(TemplateSections, MissingSectionsAreEmpty)
{
    Parsed t("<T><Other/></T>");
    EXPECT_TRUE(t.model.MainCode.isEmpty());
    EXPECT_TRUE(t.model.Macros.isEmpty());
    EXPECT_TRUE(t.model.FuncBlocks.isEmpty());
    EXPECT_TRUE(t.log.lines().isEmpty());
}

TEST(CodeSections, TextsOfOneNameCollectInParseOrder)
{
    Parsed t(R"(<T>
      <FunctionBlocks><F><Init>  from_fb;</Init></F></FunctionBlocks>
      <MainCode><P><Init>
          from_main;</Init><Empty/><Init>  again;</Init></P></MainCode>
      <Macros><M><init>from_macro;</init></M></Macros></T>)");
    ASSERT_NE(t.section("Init"), nullptr);
    // The section is unindented as a whole after each text, so the first text's indentation
    // of 0 keeps the others as written; only a blank first line of the whole list goes.
    EXPECT_EQ(t.section("INIT")->reCode,
              lines({"from_macro;", "", "          from_main;", "  again;", "  from_fb;"}));
    ASSERT_NE(t.section("Empty"), nullptr);
    EXPECT_TRUE(t.section("Empty")->reCode.isEmpty());
    EXPECT_EQ(t.model.CodeSectionsPages.size(), 2u);
}

TEST(CodeSections, TemplateCreateDecidesWhetherTheElementCounts)
{
    Parsed t(program(R"(<A TemplateCreate="yes">a;</A><B TemplateCreate="YES">b;</B>
                        <C TemplateCreate="no">c;</C><D TemplateCreate="yes" InsertInTab="X">d;</D>)")
                 .constData());
    ASSERT_NE(t.section("A"), nullptr);
    EXPECT_TRUE(t.section("A")->reCode.isEmpty()) << "the normal parse only registers it";
    EXPECT_EQ(t.section("B"), nullptr);
    EXPECT_EQ(t.section("C"), nullptr);
    ASSERT_NE(t.section("D"), nullptr) << "named by the element alone outside a block creation";
    EXPECT_EQ(t.model.CodeSectionsToInclude.size(), 2);
}

TEST(CodeSections, GetCodeSectionFindsInAnyCaseOrCreates)
{
    TemplateModel model;
    TCodeTab *a = GetCodeSection(model, QStringLiteral("Blk.Cyclic"));
    EXPECT_EQ(GetCodeSection(model, QStringLiteral("blk.CYCLIC")), a);
    EXPECT_EQ(a->name, QStringLiteral("Blk.Cyclic"));
    EXPECT_NE(GetCodeSection(model, QStringLiteral("Other")), a);
    EXPECT_EQ(model.CodeSectionsPages.size(), 2u);
}

TEST(ResolveSectionTarget, BlockPartSelectsAFunctionBlock)
{
    TemplateModel model;
    TCodeTab genTab(QStringLiteral("Gen"));
    TCodeTab blk(QStringLiteral("A1"));
    model.FuncBlocks.add(QStringLiteral("A1"), &blk);
    struct Case {
        const char *name;
        TCodeTab *target;
        QString placeholder;
        QStringList log;
    } const cases[] = {
        {"Init", &genTab, QStringLiteral("Init"), {}},
        {"a1.Cyclic.x", &blk, QStringLiteral("Cyclic.x"), {}},
        {"B9.Cyclic",
         &genTab,
         QStringLiteral("Cyclic"),
         {QStringLiteral("SubProgram or FB not found : B9")}},
        {".Lead", &genTab, QStringLiteral("Lead"), {}},
        {"A1.", &blk, QString(), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunLog log;
        const SectionTarget r =
            ResolveSectionTarget(model, log, QString::fromUtf8(c.name), &genTab);
        EXPECT_EQ(r.target, c.target);
        EXPECT_EQ(r.placeholder, c.placeholder);
        EXPECT_EQ(logTexts(log), c.log);
    }
    RunLog log;
    const QString longName = QStringLiteral("A1.") + QString(300, u'p');
    EXPECT_EQ(ResolveSectionTarget(model, log, longName, &genTab).placeholder.size(), 255);
}

// A function block template as the signal line expansion uses it.
constexpr const char *kBlocks = R"(<T><FunctionBlocks>
  <MeasBlock>
    <CODE FileName="Fb_" Folder="Dir_%%option%%">
      %%Cyclic%%</CODE>
    <Cyclic TemplateCreate="yes" InsertInTab="%%option%%">  x := %%Addr%%;</Cyclic>
    <Plain TemplateCreate="yes">p;</Plain>
    <UserInput name="U" sheet="-1" default="d"/>
  </MeasBlock>
  <Broken><var name="v" type="INT"/><CODE>a<!--x-->b</CODE></Broken>
</FunctionBlocks></T>)";

TEST(CreateFunctionBlockFromTemplate, ParsesTheTemplateWithTheCallbackForTheNewBlock)
{
    TemplateModel model;
    RunLog log;
    RecordingPrompts prompts;
    UserInputList signUserVar;
    QStringList replaced;
    TemplateParser parser(model, log, prompts, [&](int row, QString &text, UserInputList &list) {
        EXPECT_EQ(&list, &signUserVar);
        replaced << QStringLiteral("%1:%2").arg(row).arg(text);
        text.replace(QStringLiteral("%%option%%"), QStringLiteral("A1"));
    });
    const QDomElement root = xmlElement(kBlocks);
    const QDomElement blocks = root.firstChildElement(QStringLiteral("FunctionBlocks"));

    model.TemplateCodeInsert = {7, nullptr, QStringLiteral("A1"), &signUserVar};
    QStringList calls;
    const QString name = parser.CreateFunctionBlockFromTemplate(
        blocks, QStringLiteral("MeasBlock"), QStringLiteral("A1"), QStringLiteral("Cyclic"),
        [&](TCodeTab &section, const QDomElement &e) {
            calls << section.name + u'<' + e.nodeName();
            section.reCode.append(e.text().trimmed());
        });

    EXPECT_EQ(name, QStringLiteral("A1"));
    EXPECT_EQ(logTexts(log), QStringList{QStringLiteral("adding MeasBlock A1 Cyclic")});
    TCodeTab *block = *model.FuncBlocks.find(QStringLiteral("A1"));
    EXPECT_EQ(block->StratonInfo.FileName, QStringLiteral("Fb_A1"));
    EXPECT_EQ(block->StratonInfo.FolderName, QStringLiteral("Dir_A1"));
    EXPECT_EQ(block->reCode, lines({"%%Cyclic%%"}));
    EXPECT_EQ(block->InputVariables.size(), 1);
    EXPECT_EQ(calls,
              (QStringList{QStringLiteral("A1.Cyclic<Cyclic"), QStringLiteral("Plain<Plain")}));
    EXPECT_EQ(replaced,
              (QStringList{QStringLiteral("7:%%option%%."), QStringLiteral("7:Dir_%%option%%"),
                           QStringLiteral("7:Dir_A1")}));
    EXPECT_EQ((*model.CodeSectionsToInclude.find(QStringLiteral("A1.Cyclic")))->reCode,
              lines({"x := %%Addr%%;"}));
}

TEST(CreateFunctionBlockFromTemplate, MissingOrBrokenTemplate)
{
    TemplateModel model;
    RunLog log;
    RecordingPrompts prompts;
    TemplateParser parser(model, log, prompts);
    const QDomElement blocks =
        xmlElement(kBlocks).firstChildElement(QStringLiteral("FunctionBlocks"));

    EXPECT_EQ(parser.CreateFunctionBlockFromTemplate(blocks, QStringLiteral("NoSuch"),
                                                     QStringLiteral("N1"), QStringLiteral("V"), {}),
              QStringLiteral("N1"));
    EXPECT_EQ(parser.CreateFunctionBlockFromTemplate(blocks, QStringLiteral("Broken"),
                                                     QStringLiteral("B1"), QStringLiteral("V"), {}),
              QString());
    EXPECT_EQ(logTexts(log), (QStringList{QStringLiteral("adding NoSuch N1 V"),
                                          QStringLiteral("adding Broken B1 V"),
                                          errorParsingSymbol(QStringLiteral("B1"))}));
    TCodeTab *n1 = *model.FuncBlocks.find(QStringLiteral("N1"));
    EXPECT_TRUE(n1->reCode.isEmpty());
    EXPECT_EQ(n1->StratonInfo.FileName, QStringLiteral("N1"));
    TCodeTab *b1 = *model.FuncBlocks.find(QStringLiteral("B1"));
    EXPECT_EQ(b1->reLocVar.size(), 1) << "the block keeps what it received";
    EXPECT_EQ(b1->StratonInfo.FileName, QString());
}

TEST(VariableErrors, AreShownInAMessageBoxAndParsingGoesOn)
{
    Parsed t(program(R"(<UserInput name="bad" sheet="1" row="1" col="1" type="int" range="1..x"/>
                        <var name="ok" type="INT"/>)")
                 .constData());
    EXPECT_EQ(t.main("P").reLocVar.size(), 1);
    EXPECT_EQ(variableSectionError(),
              QStringLiteral("Error in XML file while reading variable section"));
}

} // namespace
