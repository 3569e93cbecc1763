#include "support/LineList.h"
#include "support/OtherClient.h"
#include "support/ProjectFixture.h"

#include "common/Windows1252.h"

#include <QSettings>
#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

namespace {

// A plant template: a main program with global, retain and local variables, two function
// blocks of which one is included, and one signal type making a global per signal. %OPTIONS%
// and %MAIN% are replaced by the tests.
const QByteArray kTemplate = R"(<?xml version="1.0"?>
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
      <StratonProjectOption>X=a=b</StratonProjectOption>
      <StratonProjectOption>NoEquals</StratonProjectOption>
      <TextFile FileName="notes.txt" Overwrite="0">first notes</TextFile>
      %MAIN%
      <CODE FileName="Main" Folder="Programs" Desc="Main program"><![CDATA[
        Life := Life + 1;
        %%Inputs%%
      ]]></CODE>
    </Main>
  </MainCode>
  <FunctionBlocks>
    <Helper><CODE FileName="Helper" Folder="Blocks\Lib" Section="UDFB" Overwrite="0" ScanPhase="2">help;</CODE></Helper>
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
    </Variables>
    <DI>
      <globalvar name="%%Tag%%" type="BOOL"><varinfo type="desc" data="%%Text%%"/></globalvar>
      <Inputs>%%Tag%% := TRUE;</Inputs>
    </DI>
  </SignalTypes>
</Plant>
)";

struct PlantProject : ProjectFixture {
    explicit PlantProject(const QByteArray &options = {}, const QByteArray &main = {})
    {
        setTemplate(options, main);
        signalRows = {{"Type", "Off", "Tag", "Text"}};
    }
    void setTemplate(const QByteArray &options, const QByteArray &main = {})
    {
        QByteArray xml = kTemplate;
        xml.replace("%OPTIONS%", options);
        xml.replace("%MAIN%", main);
        writeTemplate(xml);
    }
    void signal(const QString &tag, const QString &text)
    {
        signalRows.push_back({"DI", QVariant(), tag, text});
    }
    QString source(const QString &program) const
    {
        return fromWindows1252(fileBytes(projectPath(program + ".st")));
    }
};

std::vector<std::string> stdTexts(const QStringList &texts)
{
    std::vector<std::string> all;
    for (const QString &t : texts)
        all.push_back(t.toStdString());
    return all;
}

QStringList linesWith(const QStringList &texts, const QString &part)
{
    QStringList found;
    for (const QString &t : texts)
        if (t.contains(part))
            found << t;
    return found;
}

} // namespace

TEST(ProjectBuild, FirstGenerationCreatesTheProjectWithItsParentFolders)
{
    PlantProject p;
    p.project = "deep/er/Plant";
    p.signal("Door", "Door open");
    ASSERT_TRUE(p.generate()) << p.texts().join('\n').toStdString();
    const QStringList texts = p.texts();
    EXPECT_THAT(texts, IsSupersetOf({QString("Finished code generation, creating STRATON project"),
                                     QString("Deleted variables (Global)(0)"),
                                     QString("Deleted variables (Retain)(0)"),
                                     QString("Generating:Blocks\\Lib\\Helper"),
                                     QString("Generating:Programs\\Main"),
                                     QString("Following Straton Project Options are Enabled:"),
                                     QString("Finished STRATON project generation")}));
    EXPECT_THAT(stdTexts(texts), Not(Contains(HasSubstr("Unused"))));
    EXPECT_THAT(stdTexts(texts), Not(Contains(HasSubstr("Recreat"))));
    EXPECT_THAT(texts, Not(Contains(QString("Deleting appli.xml")))); // a new project has none
    EXPECT_EQ(p.state.ProjectName, p.dir.filePath("deep/er/Plant"));
    EXPECT_EQ(p.state.BenchoraProjectList, p.state.ProjectName);

    const QString dump = p.dump();
    EXPECT_THAT(dump.toStdString(), HasSubstr("folder \"Blocks\"\n    folder \"Lib\"\n"
                                              "      program Helper section=16(udfb)"));
    EXPECT_THAT(dump.toStdString(), HasSubstr("comment 2 \"Main program\""));
    EXPECT_THAT(dump.toStdString(), HasSubstr("var Door BOOL"));
    EXPECT_THAT(dump.toStdString(), HasSubstr("comment 2 \"Door open  !CrByGen!\""));
    EXPECT_THAT(dump.toStdString(), HasSubstr("var Hours DINT"));
    EXPECT_THAT(dump.toStdString(),
                HasSubstr("group Main\n  var Step INT dim=0 len=0 flags=0 init=\"1\"\n"));
    EXPECT_THAT(p.source("Main").toStdString(),
                testing::EndsWith("\r\nLife := Life + 1;\r\n%%Inputs%%\r\nDoor := TRUE;\r\n\r\n"));
    EXPECT_EQ(p.fileBytes(p.projectPath("notes.txt")), "first notes\r\n");
    EXPECT_EQ(p.fileBytes(p.projectPath("appli.EQV")),
              "// ++ AddedByConfigurator\r\n#define PLANT 1\r\n// -- AddedByConfigurator\r\n");
}

TEST(ProjectBuild, ASecondUnchangedGenerationRecreatesNothing)
{
    PlantProject p;
    p.signal("Door", "Door open");
    p.signal("Fire", "Fire alarm");
    ASSERT_TRUE(p.generate());
    const QString first = p.dump();
    ASSERT_TRUE(p.generate());
    const QStringList texts = p.texts();
    EXPECT_THAT(stdTexts(texts), Not(Contains(HasSubstr("Recreat"))));
    EXPECT_THAT(texts, Contains(QString("Deleting appli.xml")));
    EXPECT_THAT(texts, Contains(QString("Deleted variables (Global)(3)")));
    EXPECT_EQ(p.dump(), first);
}

TEST(ProjectBuild, KeptVariablesAreComparedAndAChangedOneIsRecreatedAndCounted)
{
    PlantProject p("<KeepGeneratedVars>1</KeepGeneratedVars>");
    p.signal("Door", "Door open");
    p.signal("Fire", "Fire alarm");
    ASSERT_TRUE(p.generate());
    ASSERT_TRUE(p.generate());
    EXPECT_THAT(stdTexts(p.texts()), Not(Contains(HasSubstr("Recreat"))));
    EXPECT_THAT(stdTexts(p.texts()), Not(Contains(HasSubstr("Deleted variables"))));

    p.signalRows[2][3] = "Fire alarm, hall 2"; // a changed description
    ASSERT_TRUE(p.generate());
    const QStringList texts = p.texts();
    EXPECT_THAT(
        linesWith(texts, "Recreat"),
        testing::ElementsAre(QString("Recreating Fire,BOOL,,,,,,\"Fire alarm, hall 2\",,,,"),
                             QString("Recreated 1 variables")));
    EXPECT_THAT(p.dump().toStdString(), HasSubstr("comment 2 \"Fire alarm, hall 2  !CrByGen!\""));
}

TEST(ProjectBuild, ATrailingBlankInAKeptDescriptionIsNoChange)
{
    PlantProject p("<KeepGeneratedVars>1</KeepGeneratedVars>");
    p.signal("Door", "Door open");
    ASSERT_TRUE(p.generate());
    p.signalRows[1][3] = "Door open   ";
    ASSERT_TRUE(p.generate());
    EXPECT_THAT(stdTexts(p.texts()), Not(Contains(HasSubstr("Recreat"))));
}

// The project database gives type names back in its catalogue's spelling; a template that
// spells them otherwise, or declares variables in the older five-field form, must not make
// each rebuild recreate them.
TEST(ProjectBuild, UnchangedLinesInAnyTypeSpellingOrTheShortFormAreLeftAlone)
{
    const struct {
        const char *what;
        QByteArray main;
    } cases[] = {
        {"lower-case types",
         R"(<globalvar name="Flag" type="bool"/><retainvar name="Total" type="dInt"/>
                               <var name="Count" type="int"/>)"},
        {"five-field lines",
         R"(<GLOBALVARIABLE><name>OldFlag</name><type>BOOL</type></GLOBALVARIABLE>
                               <VARIABLE><name>OldCount</name><type>INT</type><dim>4</dim></VARIABLE>)"},
    };
    for (const auto &c : cases) {
        PlantProject p("<KeepGeneratedVars>1</KeepGeneratedVars>", c.main);
        p.signal("Door", "Door open");
        ASSERT_TRUE(p.generate()) << c.what;
        const QString first = p.dump();
        ASSERT_TRUE(p.generate()) << c.what;
        EXPECT_THAT(stdTexts(p.texts()), Not(Contains(HasSubstr("Recreat")))) << c.what;
        EXPECT_EQ(p.dump(), first) << c.what;
    }
}

TEST(ProjectBuild, AUserVariableInGlobalIsKeptAndTakesTheLineAndTheMarker)
{
    PlantProject p;
    ASSERT_TRUE(p.generate());
    {
        OtherClient user(p.projectPath());
        const quint32 global = user.db.FindGroup("(Global)");
        ASSERT_EQ(user.db.LockGroup(global), 0u);
        const quint32 hVar =
            user.db.CreateVar(global, K5DB_POS_APPEND, user.db.FindType("BOOL"), 0, 0, 0, "Mine");
        ASSERT_NE(hVar, 0u);
        user.db.K5DB_SetComment(user.db.hClient, user.db.hProject, hVar, K5DB_COMMENT_DESC,
                                "kept by the user");
        user.db.UnlockGroup(global);
        user.save();
    }
    ASSERT_TRUE(p.generate()); // not the generator's: not deleted
    EXPECT_THAT(p.texts(), Contains(QString("Deleted variables (Global)(1)")));
    EXPECT_THAT(p.dump().toStdString(), HasSubstr("var Mine BOOL dim=0 len=0 flags=0 init=-\n"
                                                  "    comment 2 \"kept by the user\"\n"));

    p.setTemplate(
        {},
        R"(<globalvar name="Mine" type="BOOL" init="TRUE"><varinfo type="desc" data="from the template"/></globalvar>)");
    ASSERT_TRUE(p.generate());
    EXPECT_THAT(stdTexts(p.texts()), Not(Contains(HasSubstr("Recreat"))));
    EXPECT_THAT(p.dump().toStdString(),
                HasSubstr("var Mine BOOL dim=0 len=0 flags=0 init=\"TRUE\"\n"
                          "    comment 2 \"from the template  !CrByGen!\"\n"));
}

TEST(ProjectBuild, OverwriteOffKeepsAnExistingProgramsSourceAndSchedule)
{
    PlantProject p;
    p.signal("Door", "Door open");
    ASSERT_TRUE(p.generate());
    EXPECT_THAT(p.dump().toStdString(),
                HasSubstr("program Helper section=16(udfb) language=2 period=1 phase=2"));
    p.writeFileBytes(p.projectPath("Helper.st"), "edited by hand;\r\n");
    p.writeFileBytes(p.projectPath("Main.st"), "edited by hand;\r\n");
    ASSERT_TRUE(p.generate());
    EXPECT_EQ(p.source("Helper"), "edited by hand;\r\n");
    EXPECT_THAT(p.source("Main").toStdString(),
                testing::EndsWith("\r\nLife := Life + 1;\r\n%%Inputs%%\r\nDoor := TRUE;\r\n\r\n"));
    EXPECT_THAT(p.dump().toStdString(),
                HasSubstr("program Helper section=16(udfb) language=2 period=1 phase=2"));
}

TEST(ProjectBuild, DeleteFolderRemovesMatchingNestedFoldersWithTheirPrograms)
{
    PlantProject p;
    ASSERT_TRUE(p.generate());
    {
        OtherClient user(p.projectPath());
        const auto folder = [&](quint32 parent, const char *name) {
            return user.db.K5DB_CreateFolder(user.db.hClient, user.db.hProject, parent, name);
        };
        const quint32 old = folder(0, "Old");
        const quint32 nested = folder(old, "Nested");
        ASSERT_NE(nested, 0u);
        ASSERT_NE(user.db.CreateProgramEx(2, 1, 0, "Gone", 0, nested), 0u);
        ASSERT_NE(user.db.CreateProgramEx(2, 1, 0, "Stays", 0, old), 0u);
        user.save();
    }
    p.setTemplate({}, R"(<DeleteFolder Folder="nested" Recursive="yes"/>)");
    ASSERT_TRUE(p.generate());
    EXPECT_THAT(p.texts(), IsSupersetOf({QString("Deleting: <PROGRAMS\\OLD\\NESTED\\Gone>"),
                                         QString("Deleting: <PROGRAMS\\OLD\\NESTED\\>")}));
    const std::string dump = p.dump().toStdString();
    EXPECT_THAT(dump, Not(HasSubstr("Nested")));
    EXPECT_THAT(dump, Not(HasSubstr("Gone")));
    EXPECT_THAT(dump, HasSubstr("folder \"Old\"\n    program Stays"));
}

TEST(ProjectBuild, DefinesAndOptionsKeepTheUsersPartsOfTheirFiles)
{
    PlantProject p;
    p.settings.DebugGen = true;
    p.useSettings();
    p.writeFileBytes(p.projectPath("appli.EQV"),
                     "user 1\r\n// ++ AddedByConfigurator\r\nold define\r\n"
                     "// -- AddedByConfigurator\r\nuser 2\r\n");
    p.writeFileBytes(p.projectPath("appli.CPO"),
                     "; kept\r\n[Options]\r\ndebug=OFF\r\nKEEP=1\r\n[Other]\r\nCTSEG=7\r\n");
    ASSERT_TRUE(p.generate());
    EXPECT_EQ(p.fileBytes(p.projectPath("appli.EQV")),
              "user 1\r\nuser 2\r\n// ++ AddedByConfigurator\r\n#define PLANT 1\r\n"
              "// -- AddedByConfigurator\r\n");
    EXPECT_EQ(p.fileBytes(p.projectPath("appli.CPO")),
              "; kept\r\n[Options]\r\ndebug=ON\r\nKEEP=1\r\nCTSEG=OFF\r\nLARGEJUMP=ON\r\n"
              "EMBEDSYMBOLS=ON\r\nX=a=b\r\n[Other]\r\nCTSEG=7\r\n");
    EXPECT_THAT(p.texts(),
                IsSupersetOf({QString(" - Store complex variables in a separate segment"),
                              QString(" - Debug code generation"),
                              QString(" - Straton Project Options: CTSEG=OFF"),
                              QString(" - Straton Project Options: X=a=b")}));
    EXPECT_THAT(stdTexts(p.texts()), Not(Contains(HasSubstr("NoEquals"))));

    // An option once written stays when a later run no longer asks for it.
    p.settings.DebugGen = false;
    p.settings.ForceVSI = true;
    p.useSettings();
    ASSERT_TRUE(p.generate());
    const QByteArray cpo = p.fileBytes(p.projectPath("appli.CPO"));
    EXPECT_THAT(cpo.toStdString(), HasSubstr("debug=ON\r\n"));
    EXPECT_THAT(cpo.toStdString(), HasSubstr("VSI=ON\r\n"));
    EXPECT_THAT(p.texts(), Not(Contains(QString(" - Debug code generation"))));
}

TEST(ProjectBuild, TextFilesAreWrittenOnceWhenTheyAskNotToBeOverwritten)
{
    PlantProject p;
    ASSERT_TRUE(p.generate());
    p.writeFileBytes(p.projectPath("notes.txt"), "the user's notes\r\n");
    ASSERT_TRUE(p.generate());
    EXPECT_EQ(p.fileBytes(p.projectPath("notes.txt")), "the user's notes\r\n");
}

TEST(ProjectBuild, AGroupLockedByAnotherClientIsReportedAndTheBuildGoesOn)
{
    PlantProject p;
    p.signal("Door", "Door open");
    ASSERT_TRUE(p.generate());
    OtherClient workbench(p.projectPath());
    ASSERT_EQ(workbench.db.LockGroup(workbench.db.FindGroup("(Global)")), 0u);
    ASSERT_TRUE(p.generate());
    const QString refused = "Unable to lock variable group ((Global)), variables not created";
    EXPECT_EQ(linesWith(p.texts(), refused).size(), 2); // the deletion and the main program
    EXPECT_THAT(p.texts(), Contains(QString("Deleted variables (Retain)(1)")));
    EXPECT_THAT(p.texts(), Contains(QString("Finished STRATON project generation")));
}

TEST(ProjectBuild, AnErrorRaisedInsideClosesTheProjectUnsavedAndDisconnects)
{
    PlantProject p;
    const QByteArray longText(2100, 'x');
    p.setTemplate({}, "<globalvar name=\"Long\" type=\"INT\"><varinfo type=\"desc\" data=\"" +
                          longText + "\"/></globalvar>");
    ASSERT_TRUE(p.generate());
    ASSERT_FALSE(p.generate()); // reading the long description back raises
    EXPECT_THAT(stdTexts(p.texts()),
                Contains(HasSubstr("STRATON project update error:Need buffer size of")));
    // The failed run left no lock and no open transaction behind.
    OtherClient workbench(p.projectPath());
    EXPECT_EQ(workbench.db.LockGroup(workbench.db.FindGroup("(Global)")), 0u);
    EXPECT_NE(workbench.db.CreateVar(workbench.db.FindGroup("(Global)"), K5DB_POS_APPEND,
                                     workbench.db.FindType("INT"), 0, 0, 0, "After"),
              0u);
}

TEST(ProjectBuild, AMissingLibraryIsReportedAndNothingIsWritten)
{
    GenerationFixture f;
    f.writeTemplate(kTemplate);
    TK5DB missing(QStringLiteral("NoSuchProjectDatabase"));
    f.run.setProjectUpdater(makeProjectUpdater(f.run, f.state, f.log, missing, BuildSettings()));
    EXPECT_FALSE(f.generate());
    EXPECT_THAT(f.texts(), IsSupersetOf({QString("Error finding STRATON DLL"),
                                         QString("Finished STRATON project generation")}));
    EXPECT_FALSE(QFileInfo::exists(f.dir.filePath("Plant")));
}

TEST(ProjectBuild, MultiTaskWorkspaceIsCreatedOnceThenReused)
{
    PlantProject p("<GenerateMultiTaskApp default=\"TRUE\"/>");
    p.project = "Work/Plant";
    ASSERT_TRUE(p.generate()) << p.texts().join('\n').toStdString();
    const QString workspace = p.dir.filePath("Work/Plant");
    const QString mainTask = workspace + "/MainTask";
    EXPECT_THAT(p.texts(), IsSupersetOf({QString("MultiTasking template created successfully"),
                                         "MTask folder is:" + mainTask,
                                         "WB project name:" + workspace + "/Plant.w5l"}));
    EXPECT_EQ(p.state.ProjectName, mainTask);
    EXPECT_EQ(p.state.BenchoraProjectList, workspace + "/Plant.w5l");
    for (const char *name : {"Plant.w5l", "Plant.arc", "Task2/appli.k5p", "Task4/K5DBXS.INI",
                             "Library/appli.EQV", "MainTask/Main.st", "MainTask/appli.CPO"})
        EXPECT_TRUE(QFileInfo::exists(workspace + '/' + name)) << name;
    EXPECT_FALSE(QFileInfo::exists(p.dir.filePath("Work/MTaskTmpl")));
    EXPECT_FALSE(QFileInfo::exists(p.dir.filePath("Work/MTaskTmpl.zip")));
    EXPECT_THAT(p.dump(mainTask).toStdString(), HasSubstr("program Main"));

    ASSERT_TRUE(p.generate());
    EXPECT_THAT(p.texts(), Not(Contains(QString("MultiTasking template created successfully"))));
    EXPECT_THAT(p.texts(), Contains("MTask folder is:" + mainTask));
}

TEST(ProjectBuild, MultiTaskIntoAFolderWithoutMainTaskFailsAtTheMove)
{
    PlantProject p("<GenerateMultiTaskApp default=\"TRUE\"/>");
    p.project = "Work/Plant";
    p.writeFileBytes(p.dir.filePath("Work/Plant/readme.txt"), "not a workspace");
    EXPECT_FALSE(p.generate());
    const QStringList texts = p.texts();
    const qsizetype at = texts.indexOf("Error creating MultiTaskApp:");
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, texts.size());
    EXPECT_THAT(texts[at + 1].toStdString(), HasSubstr("exists already"));
    EXPECT_TRUE(QFileInfo::exists(p.dir.filePath("Work/MTaskTmpl/MainTask/appli.k5p")));
    EXPECT_EQ(p.fileBytes(p.dir.filePath("Work/Plant/readme.txt")), "not a workspace");
    EXPECT_TRUE(p.state.BenchoraProjectList.isEmpty());
}
