#pragma once

#include "support/GenerationFixture.h"

// The plant the end-to-end generation tests run: a template with a header code section, a
// function block chain, a block template for the measured signals (two per block) and a user
// input, and a workbook whose signal sheet the test fills.
namespace plant {

const QByteArray kTemplate = R"(<?xml version="1.0"?>
<Plant>
  <MainCode>
    <Main>
      <UserInput name="Base" sheet="1" row="7" col="2" default="7"/>
      <globalvar name="Life" type="INT"/>
      <IncludeFB>Helper</IncludeFB>
      <CODE FileName="Main_%%Base%%"><![CDATA[
        start := %%Base%%;
        %%Inputs%%
        %%Calls%%
        stop;
      ]]></CODE>
    </Main>
  </MainCode>
  <FunctionBlocks>
    <Helper><IncludeFB>Deep</IncludeFB><CODE>help;</CODE></Helper>
    <Deep><CODE>deep;</CODE></Deep>
    <Unused><CODE>unused;</CODE></Unused>
    <PortBlock>
      <Calls TemplateCreate="yes">%%option%%(Port := %%Port%%);</Calls>
      <CODE MaxIO="2" FileName="FB_" Section="UDFB"><![CDATA[
        header;
        %%Cyclic%%
      ]]></CODE>
    </PortBlock>
  </FunctionBlocks>
  <SignalTypes>
    <Variables>
      <SignalTypeSheet>2</SignalTypeSheet>
      <SignalTypeStartRow>2</SignalTypeStartRow>
      <SignalTypeColon>1</SignalTypeColon>
      <RowDisableColon>2</RowDisableColon>
      <Tag>3</Tag>
      <UserInput name="Port" sheet="2" row="2" col="4" default="1" type="int" range="1..9"/>
    </Variables>
    <DI>
      <globalvar name="%%Tag%%" type="BOOL"/>
      <Inputs>%%Tag%% := TRUE;</Inputs>
    </DI>
    <Meas>
      <Cyclic option="%%Port%%" template="PortBlock">%%Tag%% := Read();</Cyclic>
    </Meas>
  </SignalTypes>
</Plant>
)";

using Row = std::vector<QVariant>;

struct PlantRun : GenerationFixture {
    PlantRun()
    {
        writeTemplate(kTemplate);
        moreSettings = {{"Base", 20}};
        signalRows = {{"Type", "Off", "Tag", "Port"}};
    }
    void signal(const QString &type, const QString &tag, int port = 1, const QString &off = {})
    {
        signalRows.push_back({type, off.isEmpty() ? QVariant() : QVariant(off), tag, port});
    }
};

} // namespace plant

using plant::PlantRun;
