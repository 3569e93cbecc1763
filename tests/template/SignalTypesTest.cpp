#include "support/LogTexts.h"
#include "support/RecordingPrompts.h"
#include "support/XmlFixture.h"

#include "common/RunLog.h"
#include "template/SignalTypesParser.h"

#include <gtest/gtest.h>

namespace {

struct SignalTypesFixture : ::testing::Test {
    void parse(const char *xml) { ParseSignalTypes(xmlElement(xml), model, sheet, log, prompts); }

    QStringList signalVariables() const
    {
        QStringList list;
        for (const auto &e : model.SignVariables)
            list << e.name + u'=' + QString::number(e.value);
        return list;
    }

    QStringList typeNames() const
    {
        QStringList names;
        for (const auto &e : model.SignTypes)
            names << e.name;
        return names;
    }

    TemplateModel model;
    SignalSheetState sheet;
    RunLog log;
    RecordingPrompts prompts;
};

} // namespace

TEST_F(SignalTypesFixture, ReadsTheSheetLayoutAndTheSignalVariables)
{
    parse(R"(<SignalTypes><Variables>
        <SignalTypeStartRow>5</SignalTypeStartRow>
        <SignalTypeSheet>2</SignalTypeSheet>
        <SignalTypeColon>2</SignalTypeColon>
        <RowDisableColon>0</RowDisableColon>
        <!-- the signal's address -->
        <Addr>5</Addr>
        <Name> 3</Name>
        <UserInput name="Port" sheet="2" row="5" col="7" default="1" type="int" range="1..4"/>
        <addr>$A</addr>
      </Variables></SignalTypes>)");
    EXPECT_EQ(sheet.SignalTypeRow, 5);
    EXPECT_EQ(sheet.SignalTypeSheet, 2);
    EXPECT_EQ(sheet.SignalTypeColon, 1);
    EXPECT_EQ(sheet.RowDisableColon, -1);
    EXPECT_EQ(sheet.SignalTypeRightMostCol, 10);
    EXPECT_EQ(signalVariables(), (QStringList{QStringLiteral("Addr=4"), QStringLiteral("Name=2"),
                                              QStringLiteral("addr=9")}));
    EXPECT_EQ(model.SignVariables.find(QStringLiteral("ADDR"))
                  ? *model.SignVariables.find(QStringLiteral("ADDR"))
                  : -2,
              4);
    ASSERT_EQ(model.SignUserVar.size(), 1);
    EXPECT_EQ(userInputEntryText(model.SignUserVar, 0), QStringLiteral("Port=2,5,7,1"));
    EXPECT_TRUE(model.SignTypes.isEmpty());
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST_F(SignalTypesFixture, RegistersAnUnreadableSignalVariableAtIndexZero)
{
    parse(R"(<SignalTypes><Variables>
        <Addr>abc</Addr><Empty/><Mixed>1<!-- c -->2</Mixed><Name>3</Name>
      </Variables></SignalTypes>)");
    EXPECT_EQ(signalVariables(),
              (QStringList{QStringLiteral("Addr=0"), QStringLiteral("Empty=0"),
                           QStringLiteral("Mixed=0"), QStringLiteral("Name=2")}));
    EXPECT_EQ(sheet.SignalTypeRightMostCol, 3);
    EXPECT_EQ(logTexts(log),
              (QStringList{
                  QStringLiteral("Error while reading XML var Addr ('abc' is not a valid integer "
                                 "value)"),
                  QStringLiteral("Error while reading XML var Empty ('' is not a valid integer "
                                 "value)"),
                  QStringLiteral("Error while reading XML var Mixed (Element \"Mixed\" does not "
                                 "contain a single text node)"),
              }));
}

TEST_F(SignalTypesFixture, SkipsTheRestOfTheVariablesAfterABadLayoutElement)
{
    const char *bad[] = {"<SignalTypeStartRow>x</SignalTypeStartRow>", "<SignalTypeSheet/>",
                         "<SignalTypeColon>1.5</SignalTypeColon>",
                         "<RowDisableColon> </RowDisableColon>"};
    for (const char *element : bad) {
        SCOPED_TRACE(element);
        model = TemplateModel();
        log.clear();
        const QByteArray xml = QByteArray("<SignalTypes><Variables><A>1</A>") + element +
                               "<B>2</B></Variables><Variables><C>3</C></Variables>"
                               "<DI><Code>x</Code></DI></SignalTypes>";
        parse(xml.constData());
        EXPECT_EQ(signalVariables(), (QStringList{QStringLiteral("A=0"), QStringLiteral("C=2")}));
        EXPECT_EQ(logTexts(log),
                  QStringList{QStringLiteral("Error parsing signaltype variables section")});
        EXPECT_EQ(typeNames(), QStringList{QStringLiteral("DI")});
    }
}

TEST_F(SignalTypesFixture, KeepsTheLayoutOfAnEarlierRunWhereTheTemplateIsSilent)
{
    parse(R"(<SignalTypes><Variables><SignalTypeStartRow>4</SignalTypeStartRow>
        <RowDisableColon>9</RowDisableColon><SignalTypeColon>3</SignalTypeColon>
        </Variables></SignalTypes>)");
    EXPECT_EQ(sheet.SignalTypeRightMostCol, 9);
    model = TemplateModel();
    parse(R"(<SignalTypes><Variables><SignalTypeColon>1</SignalTypeColon>
        </Variables></SignalTypes>)");
    EXPECT_EQ(sheet.SignalTypeRow, 4);
    EXPECT_EQ(sheet.RowDisableColon, 8);
    EXPECT_EQ(sheet.SignalTypeColon, 0);
    EXPECT_EQ(sheet.SignalTypeRightMostCol, 9); // only ever raised
}

TEST_F(SignalTypesFixture, ReadsSignalTypesWithVariablesFunctionBlocksAndVariants)
{
    parse(R"(<SignalTypes>
        <SPI>
          <var name="x" type="BOOL"/>
          <globalvar name="g" type="INT"/>
          <retainvar name="r" type="DINT"/>
          <variable><name>v</name><type>INT</type></variable>
          <GlobalVariable><name>w</name><type>BOOL</type></GlobalVariable>
          <IncludeFB>B,A,b</IncludeFB>
          <!-- variants -->
          <Cyclic>
              IF %%Addr%% THEN
                  x := TRUE;
              END_IF;
          </Cyclic>
          <Port option="P%%Port%%" template="PortFB" initcode="i" MainIncludeOption="Fast"
                SignTypIncludeOpt1="Mode=2" SignTypIncludeOpt2="Mode">y := 1;</Port>
          <UserInput name="NotAnInput" col="3"/>
          <Var>z := 2;</Var>
        </SPI>
      </SignalTypes>)");
    EXPECT_TRUE(log.lines().isEmpty()) << logTexts(log).join(u'\n').toStdString();
    ASSERT_EQ(typeNames(), QStringList{QStringLiteral("SPI")});
    const TSignalTypeTab &spi = **model.SignTypes.find(QStringLiteral("spi"));
    EXPECT_EQ(spi.reLocVar, (QStringList{QStringLiteral("x,BOOL,,,,,,\"\",\"\",\"\",,"),
                                         QStringLiteral("v,INT,,,")}));
    EXPECT_EQ(spi.reGloVar, (QStringList{QStringLiteral("g,INT,,,,,,\"\",\"\",\"\",,"),
                                         QStringLiteral("w,BOOL,,,")}));
    EXPECT_EQ(spi.reRetainVar, QStringList{QStringLiteral("r,DINT,,,,,,\"\",\"\",\"\",,")});
    EXPECT_EQ(spi.IncludeFB, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    ASSERT_EQ(spi.PC.size(), 4u);
    QStringList variants;
    for (const auto &v : spi.PC)
        variants << v->name;
    EXPECT_EQ(variants, (QStringList{QStringLiteral("Cyclic"), QStringLiteral("Port"),
                                     QStringLiteral("UserInput"), QStringLiteral("Var")}));
    EXPECT_EQ(spi.PC[0]->reCode,
              (QStringList{QStringLiteral("IF %%Addr%% THEN"), QStringLiteral("    x := TRUE;"),
                           QStringLiteral("END_IF;"), QString()})); // the blanks before </Cyclic>
    EXPECT_TRUE(spi.PC[0]->Option.isEmpty());
    const TSignalTypeSubTab &port = *spi.PC[1];
    EXPECT_EQ(port.reCode, QStringList{QStringLiteral("y := 1;")});
    EXPECT_EQ(port.Option, QStringLiteral("P%%Port%%"));
    EXPECT_EQ(port.Template, QStringLiteral("PortFB"));
    EXPECT_EQ(port.InitCode, QStringLiteral("i"));
    EXPECT_EQ(port.MainIncludeOption, QStringLiteral("Fast"));
    EXPECT_EQ(port.SignTypIncludeOpt[0].Option, QStringLiteral("Mode=2"));
    EXPECT_EQ(port.SignTypIncludeOpt[0].OptVar, QStringLiteral("Mode"));
    EXPECT_EQ(port.SignTypIncludeOpt[0].OptVal, QStringLiteral("2"));
    EXPECT_EQ(port.SignTypIncludeOpt[1].Option, QStringLiteral("Mode"));
    EXPECT_TRUE(port.SignTypIncludeOpt[1].OptVar.isEmpty());
    EXPECT_TRUE(port.SignTypIncludeOpt[1].OptVal.isEmpty());
    EXPECT_TRUE(spi.PC[2]->reCode.isEmpty());
    EXPECT_TRUE(model.SignUserVar.isEmpty());
}

TEST_F(SignalTypesFixture, LogsARepeatedSignalTypeAndKeepsTheFirstReachable)
{
    parse(R"(<SignalTypes><SPI><A>first</A></SPI><DI/><!-- note --><SPI><A>second</A></SPI>
        </SignalTypes>)");
    EXPECT_EQ(logTexts(log), QStringList{QStringLiteral("Dublicate symbol in XML file :SPI")});
    EXPECT_EQ(typeNames(), (QStringList{QStringLiteral("#comment"), QStringLiteral("DI"),
                                        QStringLiteral("SPI")}));
    EXPECT_EQ((*model.SignTypes.find(QStringLiteral("SPI")))->PC[0]->reCode,
              QStringList{QStringLiteral("first")});
    ASSERT_EQ(model.SignalTypesPages.size(), 4u);
    EXPECT_EQ(model.SignalTypesPages[3]->PC[0]->reCode, QStringList{QStringLiteral("second")});
}

TEST_F(SignalTypesFixture, LogsAnErrorInOneChildOfASignalTypeAndGoesOn)
{
    parse(R"(<SignalTypes><AI>
        <IncludeFB>A<!-- x -->B</IncludeFB>
        <var name="a" type="INT"/>
      </AI></SignalTypes>)");
    EXPECT_EQ(logTexts(log),
              QStringList{QStringLiteral("Error parsing signaltype (AI) section (IncludeFB)")});
    const TSignalTypeTab &ai = **model.SignTypes.find(QStringLiteral("AI"));
    EXPECT_EQ(ai.reLocVar.size(), 1);
    EXPECT_TRUE(ai.IncludeFB.isEmpty());
}

TEST_F(SignalTypesFixture, MapsEachColumnToTheLastUserInputReadFromIt)
{
    parse(R"(<SignalTypes><Variables>
        <SignalTypeColon>2</SignalTypeColon>
        <UserInput name="A" sheet="2" col="3" type="int" range="1..255" default="1"/>
        <UserInput name="B" sheet="2" col="5"/>
        <UserInput name="C" sheet="2" col="3" type="int" range="1..9" default="9"/>
        <UserInput name="NoCol" sheet="2"/>
      </Variables></SignalTypes>)");
    BuildColumnMap(model, sheet);
    EXPECT_EQ(model.ExcelSheetCol2SignalTypeVarsArr, (std::vector<int>{-1, -1, -1, 2, -1, 1}));

    const SignalValueCheck check = signalColumnCheck(model);
    QString value = QStringLiteral("12");
    QString message;
    EXPECT_FALSE(check(3, value, message));
    EXPECT_EQ(value, QStringLiteral("9"));
    EXPECT_EQ(message, QStringLiteral("Value in range (1..9) expected"));
    value = QStringLiteral("anything");
    EXPECT_TRUE(check(2, value, message));
    EXPECT_TRUE(check(5, value, message));
    EXPECT_TRUE(check(40, value, message));
    EXPECT_EQ(value, QStringLiteral("anything"));
}

TEST_F(SignalTypesFixture, MapsNoColumnWithoutUserInputs)
{
    sheet.SignalTypeRightMostCol = 4;
    BuildColumnMap(model, sheet);
    EXPECT_EQ(model.ExcelSheetCol2SignalTypeVarsArr, std::vector<int>(5, -1));
}
