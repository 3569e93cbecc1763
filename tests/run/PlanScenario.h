#pragma once

#include "support/ProjectFixture.h"

#include "run/ChangePlan.h"
#include "run/ChangePlanRun.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QSet>

// A plant whose project is planned, then built, and what the build really changed (k5db-dump and
// the project's files, before and after) set against the plan item for item.
struct PlanScenario : ProjectFixture {
    // A main program with global, retain and local variables, two function blocks of which the
    // main program includes one, and one signal type making a global per signal whose type
    // the workbook's fifth column names. %OPTIONS%, %MAIN% and %HELPER% are replaced.
    static QByteArray templateText(const QByteArray &options, const QByteArray &main = {},
                                   const QByteArray &helperAttributes = "Overwrite=\"1\"")
    {
        QByteArray xml = R"(<?xml version="1.0"?>
<Plant>
  <GeneratorOptions>%OPTIONS%</GeneratorOptions>
  <MainCode>
    <Main>
      <globalvar name="Life" type="INT" init="0"><varinfo type="desc" data="Heartbeat"/></globalvar>
      <retainvar name="Hours" type="DINT"/>
      <var name="Step" type="INT" init="1"/>
      <IncludeFB>helper</IncludeFB>
      <GlobalDefines>#define PLANT 1</GlobalDefines>
      <StratonProjectOption>CTSEG=OFF</StratonProjectOption>
      <TextFile FileName="notes.txt" Overwrite="0">first notes</TextFile>
      <TextFile FileName="readme.txt" Overwrite="1">generated readme</TextFile>
      %MAIN%
      <CODE FileName="Main" Folder="Programs" Desc="Main program"><![CDATA[
        Life := Life + 1;
        %%Inputs%%
      ]]></CODE>
    </Main>
  </MainCode>
  <FunctionBlocks>
    <Helper><CODE FileName="Helper" Folder="Blocks\Lib" Section="UDFB" %HELPER%>help;</CODE></Helper>
    <Unused><CODE FileName="Unused">unused;</CODE></Unused>
  </FunctionBlocks>
  <SignalTypes>
    <Variables>
      <SignalTypeSheet>2</SignalTypeSheet>
      <SignalTypeStartRow>2</SignalTypeStartRow>
      <SignalTypeColon>1</SignalTypeColon>
      <RowDisableColon>2</RowDisableColon>
      <Tag>3</Tag>
      <Text>4</Text>
      <VarType>5</VarType>
    </Variables>
    <DI>
      <globalvar name="%%Tag%%" type="%%VarType%%"><varinfo type="desc" data="%%Text%%"/></globalvar>
      <Inputs>%%Tag%% := TRUE;</Inputs>
    </DI>
  </SignalTypes>
</Plant>
)";
        xml.replace("%OPTIONS%", options);
        xml.replace("%MAIN%", main);
        xml.replace("%HELPER%", helperAttributes);
        return xml;
    }

    explicit PlanScenario(const QByteArray &options = {}, const QByteArray &main = {},
                          const QByteArray &helper = "Overwrite=\"1\"")
    {
        writeTemplate(templateText(options, main, helper));
        signalRows = {{"Type", "Off", "Tag", "Text", "VarType"}};
    }
    void signal(const QString &tag, const QString &text, const QString &type = "BOOL")
    {
        signalRows.push_back({"DI", QVariant(), tag, text, type});
    }
    bool build()
    {
        useSettings();
        return generate();
    }
    ChangePlan plan()
    {
        const QString book = writeWorkbook();
        ChangePlan planned =
            planGeneration(run, state, log, db, settings, {WorkbookChooser::forPath(book)});
        useSettings();
        return planned;
    }

    // Every file of the project folder with its content and modification time.
    struct FileState {
        QByteArray bytes;
        QDateTime modified;
        bool operator==(const FileState &) const = default;
    };
    QMap<QString, FileState> folderState() const
    {
        QMap<QString, FileState> files;
        QDirIterator it(projectPath(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(QDir(projectPath()).relativeFilePath(path),
                         {fileBytes(path), QFileInfo(path).lastModified()});
        }
        return files;
    }
};

// What differs between two states of a project, as items "kind name action", in a form that
// both a plan and a build's dumps and files give.
QSet<QString> buildChanges(const QString &dumpBefore, const QString &dumpAfter,
                           const QMap<QString, PlanScenario::FileState> &filesBefore,
                           const QMap<QString, PlanScenario::FileState> &filesAfter);
QSet<QString> planChanges(const ChangePlan &plan);
