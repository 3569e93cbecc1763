#include "BenchWorkbook.h"

#include "ToolWrittenXlsx.h"
#include "tools/WorkbookWriter.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Six signal types over twelve columns; SPI and MEAS collect into blocks of 16 signals made
// from two function-block templates; IOA, Port and Chan are user inputs with ranges.
const char *const kTemplate = R"(<?xml version="1.0"?>
<Bench>
  <VersionInfo version="1.0" sheet="1" row="7" col="2"/>
  <Macros><Count><CODE>%%0%% := %%0%% + 1;</CODE></Count></Macros>
  <MainCode>
    <Main>
      <UserInput name="CASDU" sheet="1" row="8" col="2" default="1" type="int" range="1..65534"/>
      <globalvar name="Cycles" type="DINT"/>
      <CODE FileName="Main"><![CDATA[
        %%Count(Cycles)%%
        %%Calls%%
        %%Doubles%%
        %%Commands%%
        %%Counters%%
        %%Setpoints%%
      ]]></CODE>
    </Main>
  </MainCode>
  <FunctionBlocks>
    <InputBlock>
      <Calls TemplateCreate="yes">%%option%%();</Calls>
      <CODE MaxIO="16" Section="CHILD" SubProgram="1"><![CDATA[
        %%Scan%%
      ]]></CODE>
    </InputBlock>
    <MeasBlock>
      <Calls TemplateCreate="yes">%%option%%();</Calls>
      <CODE MaxIO="16" Section="CHILD" SubProgram="1"><![CDATA[
        %%Cyclic%%
      ]]></CODE>
    </MeasBlock>
  </FunctionBlocks>
  <SignalTypes>
    <Variables>
      <SignalTypeSheet>2</SignalTypeSheet>
      <SignalTypeStartRow>2</SignalTypeStartRow>
      <SignalTypeColon>1</SignalTypeColon>
      <RowDisableColon>2</RowDisableColon>
      <Tag>3</Tag><Desc>4</Desc><Scale>8</Scale><Unit>9</Unit><Group>10</Group><Note>11</Note><Extra>12</Extra>
      <UserInput name="IOA" sheet="2" row="2" col="5" default="0" type="int" range="1..16777215"/>
      <UserInput name="Port" sheet="2" row="2" col="6" default="1" type="int" range="1..64"/>
      <UserInput name="Chan" sheet="2" row="2" col="7" default="1" type="int" range="1..64"/>
    </Variables>
    <SPI>
      <globalvar name="%%Tag%%" type="BOOL"><varinfo type="desc" data="%%Desc%%"/></globalvar>
      <Scan option="_I%%Port%%" template="InputBlock">%%Tag%% := DI(%%Port%%, %%Chan%%); (* %%IOA%% *)</Scan>
    </SPI>
    <DPI>
      <globalvar name="%%Tag%%" type="INT"><varinfo type="desc" data="%%Desc%%"/></globalvar>
      <Doubles>%%Tag%% := DP(%%Port%%, %%Chan%%, %%#INC#Chan%%); (* %%IOA%% %%Group%% *)</Doubles>
    </DPI>
    <MEAS>
      <globalvar name="%%Tag%%" type="REAL"><varinfo type="desc" data="%%Desc%% [%%Unit%%]"/></globalvar>
      <Cyclic option="_M%%Port%%" template="MeasBlock">%%Tag%% := AI(%%Port%%, %%Chan%%) * %%Scale%%;</Cyclic>
    </MEAS>
    <SCO>
      <globalvar name="%%Tag%%_Cmd" type="BOOL"/>
      <Commands>DO(%%Port%%, %%Chan%%, %%Tag%%_Cmd); (* %%IOA%% %%Note%% *)</Commands>
    </SCO>
    <CNT>
      <retainvar name="%%Tag%%" type="DINT"/>
      <Counters>%%Tag%% := CNT(%%Port%%, %%Chan%%); (* %%Extra%% *)</Counters>
    </CNT>
    <SP>
      <globalvar name="%%Tag%%" type="REAL"/>
      <Setpoints>AO(%%Port%%, %%Chan%%, %%Tag%%);</Setpoints>
    </SP>
  </SignalTypes>
</Bench>
)";

const char *const kTypes[] = {"SPI", "DPI", "MEAS", "SCO", "CNT", "SP"};

} // namespace

const char *benchFormName(BenchForm form)
{
    switch (form) {
    case BenchForm::Synthetic:
        return "synthetic";
    case BenchForm::InlineStrings:
        return "inline strings";
    case BenchForm::SharedStringsAndStyles:
        return "shared strings, styles";
    }
    return "";
}

QString benchFormArgument(BenchForm form)
{
    switch (form) {
    case BenchForm::Synthetic:
        return QStringLiteral("synthetic");
    case BenchForm::InlineStrings:
        return QStringLiteral("inline");
    case BenchForm::SharedStringsAndStyles:
        return QStringLiteral("shared");
    }
    return {};
}

std::optional<BenchForm> benchFormFromArgument(const QString &argument)
{
    for (const BenchForm form :
         {BenchForm::Synthetic, BenchForm::InlineStrings, BenchForm::SharedStringsAndStyles}) {
        if (benchFormArgument(form) == argument)
            return form;
    }
    return std::nullopt;
}

QString writeBenchInputs(const QTemporaryDir &dir, int signalCount, BenchForm form)
{
    QFile xml(dir.filePath("bench.xml"));
    if (!xml.open(QIODevice::WriteOnly) || xml.write(kTemplate) < 0)
        qFatal("cannot write the template");
    xml.close();
    SheetContent settings{"Settings",
                          {{"Bench"},
                           {"Template", "bench.xml"},
                           {"Project", "Bench"},
                           {"Address", "127.0.0.1"},
                           {"Main type", "Main"},
                           {"Main name", "Main"},
                           {"Version", "1.0"},
                           {"CASDU", 7}}};
    SheetContent sheet{"Signals",
                       {{"Type", "Off", "Tag", "Desc", "IOA", "Port", "Chan", "Scale", "Unit",
                         "Group", "Note", "Extra"}}};
    sheet.rows.reserve(signalCount + 2);
    for (int i = 0; i < signalCount; ++i) {
        sheet.rows.push_back({kTypes[i % 6], i % 97 == 0 ? QVariant("x") : QVariant(),
                              QStringLiteral("Sig_%1").arg(i),
                              QStringLiteral("Signal number %1").arg(i), 1000 + i,
                              1 + (i / 64) % 64, 1 + i % 64, 0.5, "kV",
                              QStringLiteral("G%1").arg(i % 10), "note", i});
    }
    sheet.rows.push_back({"END"});
    const QString book = dir.filePath("bench.xlsx");
    if (form == BenchForm::Synthetic) {
        writeXlsx(book, {settings, sheet});
    } else {
        writeToolXlsx(
            book, {{settings.name, std::move(settings.rows)}, {sheet.name, std::move(sheet.rows)}},
            form == BenchForm::InlineStrings ? ToolForm::InlineStrings
                                             : ToolForm::SharedStringsAndStyles);
    }
    return book;
}
