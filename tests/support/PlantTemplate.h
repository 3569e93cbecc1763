#pragma once

#include <QByteArray>

// The template of the generation run tests: a main program with a user input, function
// blocks included directly and through another, an unused one, and a block template that
// signal lines with an option fill, MaxIO signals each.
inline const QByteArray kTemplate = R"(<?xml version="1.0"?>
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
