#include "common/CommaText.h"
#include "common/Failure.h"
#include "common/RunLog.h"
#include "project/MultiTaskProject.h"
#include "project/ProgramGeneration.h"
#include "project/ProjectContext.h"
#include "project/TK5DB.h"
#include "project/UnzipFile.h"
#include "project/VariableCreation.h"
#include "run/RunState.h"
#include "support/LineList.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"
#include "support/ZipPackage.h"
#include "template/TCodeTab.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// A new project, open for one client, with the context the project writer works in.
struct OpenProject {
    QTemporaryDir dir;
    RunState state;
    RunLog log;
    TK5DB db;
    ProjectContext c{projectRunState(state), log, db, BuildSettings()};

    OpenProject()
    {
        EXPECT_TRUE(db.Result);
        EXPECT_TRUE(db.Connect(nullptr, 0, 0, 0, "test"));
        EXPECT_EQ(db.CreateProject(path()), 0u);
        EXPECT_TRUE(db.OpenProject(path()));
    }
    ~OpenProject()
    {
        db.CloseProject();
        db.Disconnect();
    }
    QString path() const { return dir.filePath("P"); }
    std::string dump()
    {
        EXPECT_EQ(db.SaveProject(), 0u);
        QProcess p;
        p.start(QStringLiteral(TESSILY_BIN "/k5db-dump"), {path()});
        p.waitForFinished(30000);
        return p.readAllStandardOutput().toStdString();
    }
    quint32 folder(quint32 parent, const char *name)
    {
        return db.K5DB_CreateFolder(db.hClient, db.hProject, parent, name);
    }
    // Runs the lines into a group and returns the texts logged.
    QStringList create(const QString &group, const QStringList &lines, bool marker = true)
    {
        log.clear();
        VariableCreation v(c);
        EXPECT_TRUE(v.CreateGroupVariables(group, db.FindGroup(group), lines, marker));
        return logTexts(log);
    }
    quint32 var(const QString &group, const QString &name)
    {
        return db.FindVarInGroup(db.FindGroup(group), name);
    }
};

TCodeTab program(const QString &name, const QString &folder = {})
{
    TCodeTab tab(name);
    tab.StratonInfo.FileName = name;
    tab.StratonInfo.FolderName = folder;
    tab.StratonInfo.iSection = 1;
    tab.StratonInfo.ScanPeriod = 1;
    tab.StratonInfo.Enabled = true;
    tab.StratonInfo.Overwrite = true;
    tab.reCode = lines({"x := 1;"});
    return tab;
}

} // namespace

TEST(LocateProgramFolder, FindsExistingFoldersByNameAndMakesTheMissingOnes)
{
    OpenProject p;
    ProgramGeneration g(p.c);
    const quint32 a = p.folder(0, "Alpha");
    ASSERT_NE(a, 0u);
    const quint32 c = g.LocateProgramFolder(0, "ALPHA\\Beta\\Gamma");
    EXPECT_NE(c, 0u);
    EXPECT_EQ(g.LocateProgramFolder(0, "alpha\\beta\\gamma"), c); // found again, any case
    EXPECT_EQ(g.LocateProgramFolder(0, ""), 0u);
    EXPECT_NE(g.LocateProgramFolder(0, "My Folder"), 0u); // a blank separates two folders
    EXPECT_THAT(logTexts(p.log), IsEmpty());
    EXPECT_THAT(p.dump(),
                HasSubstr("folder \"Programs\"\n"
                          "  folder \"Alpha\"\n    folder \"Beta\"\n      folder \"Gamma\"\n"
                          "  folder \"My\"\n    folder \"Folder\"\n"));
}

TEST(LocateProgramFolder, AFolderThatCannotBeMadeLeavesTheProgramAtTheRoot)
{
    OpenProject p;
    ProgramGeneration g(p.c);
    EXPECT_EQ(g.LocateProgramFolder(0, "A\\\\B"), 0u); // an empty name cannot be a folder
    EXPECT_THAT(logTexts(p.log), ElementsAre(QString("Not able to create or locate folder \\B")));
}

TEST(GenerateStratonProgram, WritesANewProgramWithItsAttributesAndSource)
{
    OpenProject p;
    ProgramGeneration g(p.c);
    TCodeTab tab = program("Scan", "Ports");
    tab.StratonInfo.iSection = 8;
    tab.StratonInfo.SubProgram = true;
    tab.StratonInfo.StructureType = true;
    tab.StratonInfo.Enabled = false;
    tab.StratonInfo.ScanPeriod = 5;
    tab.StratonInfo.ScanPhase = 1;
    tab.StratonInfo.Description = "Port scan é";
    tab.reCode = lines({"a := 1; (* é *)", "b := 2;"});
    tab.reLocVar = lines({"Count,INT,,,,7,,\"\",\"\",\"\",,"});
    EXPECT_TRUE(g.GenerateStratonProgram(tab));
    EXPECT_THAT(logTexts(p.log), ElementsAre(QString("Generating:Ports\\Scan")));
    const std::string dump = p.dump();
    EXPECT_THAT(dump,
                HasSubstr("program Scan section=8(child) language=2 period=5 phase=1 oncall=1"));
    EXPECT_THAT(dump, HasSubstr("property 4 \"Struct\""));
    EXPECT_THAT(dump, HasSubstr("property 5 \"#FALSE#\""));
    EXPECT_THAT(dump, HasSubstr("comment 2 \"Port scan é\""));
    EXPECT_THAT(dump, HasSubstr("group Scan\n  var Count INT dim=0 len=0 flags=0 init=\"7\"\n"));
    EXPECT_THAT(dump, Not(HasSubstr("!CrByGen!"))); // never in a program's own group
    QFile source(p.path() + "/Scan.st");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(source.readAll(), QByteArray("a := 1; (* \xE9 *)\r\nb := 2;\r\n"));
}

TEST(GenerateStratonProgram, ADeletionThatFailsIsReportedAndCreationIsStillTried)
{
    OpenProject p;
    ProgramGeneration g(p.c);
    ASSERT_TRUE(g.GenerateStratonProgram(program("Held")));
    ASSERT_EQ(p.db.SaveProject(), 0u);
    TK5DB other;
    ASSERT_TRUE(other.Connect(nullptr, 0, 0, 0, "workbench"));
    ASSERT_TRUE(other.OpenProject(p.path()));
    ASSERT_EQ(other.K5DB_LockProgram(other.hClient, other.hProject, other.FindProgram("Held")), 0u);
    p.log.clear();
    EXPECT_FALSE(g.GenerateStratonProgram(program("Held")));
    EXPECT_THAT(logTexts(p.log), ElementsAre(QString("Generating:\\Held"),
                                             QString("Not able to delete program: Held"),
                                             QString("Not able to create program: Held")));
    other.CloseProject();
    other.Disconnect();
}

TEST(GenerateStratonProgram, AnExistingProgramKeepsItsSourceAndGetsItsVariables)
{
    OpenProject p;
    ProgramGeneration g(p.c);
    TCodeTab tab = program("Main");
    ASSERT_TRUE(g.GenerateStratonProgram(tab));
    tab.StratonInfo.Overwrite = false;
    tab.reCode = lines({"changed;"});
    tab.reGloVar = lines({"G1,INT,,,,,,\"\",\"\",\"\",,"});
    tab.reLocVar = lines({"L1,INT,,,,,,\"\",\"\",\"\",,"});
    ASSERT_TRUE(g.GenerateStratonProgram(tab));
    EXPECT_NE(p.var("(Global)", "G1"), 0u);
    EXPECT_NE(p.var("Main", "L1"), 0u);
    QFile source(p.path() + "/Main.st");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(source.readAll(), QByteArray("x := 1;\r\n"));
}

TEST(CreateGroupVariables, ReportsEachBadLineAndGoesOn)
{
    OpenProject p;
    const QStringList texts =
        p.create("(Global)",
                 lines({
                     "OnlyName,INT",                         // fewer than 3 fields
                     "Bad,NOTYPE,,,,,,\"\",\"\",\"\",,",     // unknown type
                     "1abc,INT,,,,,,\"\",\"\",\"\",,",       // the project refuses the name
                     ",INT,,,,,,\"\",\"\",\"\",,",           // no name: skipped silently
                     "Skipped,INT,,,,,,\"\",\"\",\"\",,a=b", // the condition is false
                     "Kept,INT,,,,,,\"\",\"\",\"\",,3>=3",
                     "Timer,TON,,,,5,,\"\",\"\",\"\",,", // a block instance takes no initial value
                 }));
    EXPECT_THAT(
        texts,
        ElementsAre(
            QString("Missing specification for variable (0) OnlyName in variable group ((Global))"),
            QString("Invalid data type \"NOTYPE\" specified for variable (1) Bad in variable group "
                    "((Global))"),
            QString("Can not create variable \"1abc\" specified in variable group ((Global))"),
            testing::Truly([](const QString &t) { return t.startsWith("Timer: error "); })));
    EXPECT_NE(p.var("(Global)", "Kept"), 0u);
    EXPECT_EQ(p.var("(Global)", "Skipped"), 0u);
}

TEST(CreateGroupVariables, LeavesUnchangedVariablesAloneAndUpdatesChangedOnesInPlace)
{
    OpenProject p;
    const QStringList first = lines({
        "Io,INT,,INOUT,,,,\"\",\"\",\"\",,",
        "Flag,BOOL,4,,,TRUE,T1,\"desc\",\"P1\",\"P1[a=1] P2[b=2]\",,",
        "Text,STRING,,,,,,\"\",\"\",\"\",20,",
    });
    ASSERT_THAT(p.create("(Global)", first), IsEmpty());
    const quint32 io = p.var("(Global)", "Io");
    const quint32 flag = p.var("(Global)", "Flag");
    EXPECT_THAT(p.dump(), HasSubstr("var Flag BOOL dim=4 len=0 flags=0 init=\"TRUE\"\n"
                                    "    comment 1 \"T1\"\n    comment 2 \"desc  !CrByGen!\"\n"
                                    "    property 1 \"a=1\"\n    property 2 \"P1\"\n"));
    EXPECT_THAT(p.dump(), HasSubstr("var Text STRING dim=0 len=20 flags=0"));

    // The same lines again: every variable reads back equal, the INOUT one too.
    EXPECT_THAT(p.create("(Global)", first), IsEmpty());
    EXPECT_EQ(p.var("(Global)", "Io"), io);
    EXPECT_EQ(p.state.RecreatingVarCount, 0);

    // A changed tag is updated in place and counted; a changed dimension recreates.
    EXPECT_THAT(p.create("(Global)", lines({"Flag,BOOL,4,,,TRUE,T2,\"desc\",\"P1\",\"P1[a=1]\",,",
                                            "Io,INT,2,INOUT,,,,\"\",\"\",\"\",,"})),
                ElementsAre(QString("Recreating Flag,BOOL,4,,,TRUE,T2,desc,P1,a=1,,"),
                            QString("Recreating Io,INT,2,INOUT,,,,,,,,")));
    EXPECT_EQ(p.var("(Global)", "Flag"), flag);
    EXPECT_NE(p.var("(Global)", "Io"), io);
    EXPECT_EQ(p.state.RecreatingVarCount, 2);
    EXPECT_THAT(p.dump(), HasSubstr("var Io INT dim=2 len=0 flags=72"));
}

TEST(CreateGroupVariables, ARecreatedVariableGetsItsInitialValueAgain)
{
    OpenProject p;
    ASSERT_THAT(p.create("(Global)", lines({"V,INT,,,,5,,\"\",\"\",\"\",,"})), IsEmpty());
    p.create("(Global)", lines({"V,DINT,,,,5,,\"\",\"\",\"\",,"}));
    EXPECT_THAT(p.dump(), HasSubstr("var V DINT dim=0 len=0 flags=0 init=\"5\""));
}

TEST(CreateGroupVariables, KeepsSybInFrontOfNewEmbeddedPropertiesAndDropsARemovedProfile)
{
    OpenProject p;
    ASSERT_THAT(p.create("(Global)", lines({"V,INT,,,,,,\"\",\"P1\",\"P1[<syb> a=1]\",,"})),
                IsEmpty());
    p.create("(Global)", lines({"V,INT,,,,,,\"\",\"P1\",\"P1[b=2]\",,"}));
    EXPECT_THAT(p.dump(), HasSubstr("property 1 \"<syb> b=2\""));
    p.create("(Global)", lines({"V,INT,,,,,,\"\",\"\",\"\",,"}));
    EXPECT_THAT(p.dump(), Not(HasSubstr("property")));
}

TEST(CreateGroupVariables, WithoutTheMarkerOptionNoMarkerIsWritten)
{
    OpenProject p;
    p.state.XmlGeneratorOptions.DisableVarIndicationCreatedByGenerator = true;
    p.create("(Global)", lines({"V,INT,,,,,,\"d\",\"\",\"\",,"}));
    EXPECT_THAT(p.dump(), HasSubstr("comment 2 \"d\"\n"));
}

TEST(CreateGroupVariables, AGroupLockedElsewhereCreatesNothing)
{
    OpenProject p;
    ASSERT_EQ(p.db.SaveProject(), 0u);
    TK5DB other;
    ASSERT_TRUE(other.Connect(nullptr, 0, 0, 0, "workbench"));
    ASSERT_TRUE(other.OpenProject(p.path()));
    ASSERT_EQ(other.LockGroup(other.FindGroup("(Retain)")), 0u);
    VariableCreation v(p.c);
    EXPECT_FALSE(v.CreateGroupVariables("(Retain)", p.db.FindGroup("(Retain)"),
                                        lines({"V,INT,,,,,,\"\",\"\",\"\",,"}), true));
    EXPECT_THAT(
        logTexts(p.log),
        ElementsAre(QString("Unable to lock variable group ((Retain)), variables not created")));
    other.CloseProject();
    other.Disconnect();
}

// A group's variables are read in one call when its lines begin; a line must still see what
// the lines before it did, and the log, the project and the failures stay those of reading
// each variable on its own.
TEST(CreateGroupVariables, ReadingTheGroupInOneCallChangesNothing)
{
    const QString tooLong = QString(2100, u'd');
    const struct {
        const char *what;
        QStringList before, lines;
    } cases[] = {
        {"a name twice, in another case", lines({"V,INT,,,,1,,\"a\",\"\",\"\",,"}),
         lines({"V,DINT,,,,2,,\"b\",\"\",\"\",,", "v,DINT,,,,3,T,\"b\",\"P1\",\"P1[x=1]\",,",
                "V,DINT,,,,3,T,\"b\",\"P1\",\"P1[x=1]\",,"})},
        {"unchanged, changed in place, recreated, new",
         lines({"A,INT,,,,,,\"\",\"\",\"\",,", "B,BOOL,,,,TRUE,T1,\"d\",\"P1\",\"P1[<syb> a=1]\",,",
                "C,STRING,,,,,,\"\",\"\",\"\",20,"}),
         lines({"A,INT,,,,,,\"\",\"\",\"\",,", "B,BOOL,,,,TRUE,T2,\"d\",\"P1\",\"P1[b=2]\",,",
                "C,STRING,,,,,,\"\",\"\",\"\",30,", "D,TON,,,,,,\"\",\"\",\"\",,"})},
        {"a user's variable takes the marker", {}, lines({"Mine,INT,,,,,,\"u\",\"\",\"\",,"})},
        {"a description too long to read",
         QStringList{"L,INT,,,,,,\"" + tooLong + "\",\"\",\"\",,"},
         lines({"New,INT,,,,,,\"\",\"\",\"\",,", "L,INT,,,,,,\"x\",\"\",\"\",,"})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string dumps[2];
        QStringList logs[2];
        QString failures[2];
        for (const bool oneCall : {true, false}) {
            OpenProject p;
            p.create("(Global)", c.before);
            p.create("(Global)", lines({"Mine,INT,,,,,,\"u\",\"\",\"\",,"}), false);
            if (!oneCall)
                p.db.K5DB_GetGroupVarInfos = nullptr;
            try {
                logs[oneCall] = p.create("(Global)", c.lines);
            } catch (const Failure &e) {
                failures[oneCall] = e.message();
                logs[oneCall] = logTexts(p.log);
            }
            dumps[oneCall] = p.dump();
        }
        EXPECT_EQ(logs[1], logs[0]);
        EXPECT_EQ(failures[1], failures[0]);
        EXPECT_EQ(dumps[1], dumps[0]);
    }
}

TEST(DeleteGeneratedVariables, RemovesOnlyMarkedVariablesAndCountsThem)
{
    OpenProject p;
    p.create("(Global)", lines({"A,INT,,,,,,\"\",\"\",\"\",,", "B,INT,,,,,,\"\",\"\",\"\",,"}));
    p.create("(Global)", lines({"Mine,INT,,,,,,\"\",\"\",\"\",,"}), false);
    p.log.clear();
    VariableCreation v(p.c);
    v.DeleteGeneratedVariables("(Global)");
    v.DeleteGeneratedVariables("(Nowhere)");
    EXPECT_THAT(logTexts(p.log), ElementsAre(QString("Deleted variables (Global)(2)"),
                                             QString("Unable to open variable group (Nowhere)")));
    EXPECT_EQ(p.var("(Global)", "A"), 0u);
    EXPECT_NE(p.var("(Global)", "Mine"), 0u);
}

TEST(UnzipFile, UnpacksFoldersAndFilesAndRefusesEntriesLeavingTheDestination)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.zip");
    writeZipPackage(good,
                    {{"Top/", {}}, {"Top/a.txt", "a"}, {"Top/Sub/b.txt", "b"}, {"c.txt", "c"}});
    const QString out = dir.filePath("out");
    ASSERT_TRUE(UnzipFile(good, out));
    EXPECT_TRUE(QFile::exists(out + "/Top/Sub/b.txt"));
    EXPECT_TRUE(QFile::exists(out + "/c.txt"));

    const QString filtered = dir.filePath("filtered");
    ASSERT_TRUE(UnzipFile(good, filtered, "*.txt"));
    EXPECT_FALSE(QFile::exists(filtered + "/Top"));
    EXPECT_TRUE(QFile::exists(filtered + "/c.txt"));

    for (const char *hostile :
         {"../evil.txt", "Top/../../evil.txt", "/tmp/evil.txt", "..\\evil.txt"}) {
        SCOPED_TRACE(hostile);
        const QString bad = dir.filePath("bad.zip");
        writeZipPackage(bad, {{"ok.txt", "ok"}, {hostile, "evil"}});
        const QString into = dir.filePath("inner/out");
        try {
            UnzipFile(bad, into);
            ADD_FAILURE() << "not refused";
        } catch (const Failure &e) {
            EXPECT_THAT(e.message().toStdString(), HasSubstr("would be written outside"));
        }
        EXPECT_FALSE(QFile::exists(dir.filePath("evil.txt")));
        EXPECT_FALSE(QFile::exists(dir.filePath("inner/evil.txt")));
        EXPECT_FALSE(QFile::exists(into + "/ok.txt")); // refused before anything is written
    }
}

TEST(CreateMultiTaskProject, APathWithoutAFolderIsRefused)
{
    MultiTaskWorkspace out;
    EXPECT_FALSE(CreateMultiTaskProject("Plant", out));
    EXPECT_EQ(out.Msg, "Invalid project folder specified:\"Plant\"");
    EXPECT_TRUE(out.WorkspaceFile.isEmpty());
    EXPECT_TRUE(out.MainTaskFolder.isEmpty());
}

TEST(CreateMultiTaskProject, TheWorkspaceListsItsProjectsAndTheTasksDifferInNumberAndPort)
{
    QTemporaryDir dir;
    MultiTaskWorkspace out;
    ASSERT_TRUE(CreateMultiTaskProject(dir.filePath("Plant"), out)) << out.Msg.toStdString();
    QFile w5l(dir.filePath("Plant/Plant.w5l"));
    ASSERT_TRUE(w5l.open(QIODevice::ReadOnly));
    const std::string workspace = w5l.readAll().toStdString();
    EXPECT_THAT(workspace, HasSubstr("encoding=\"iso-8859-1\""));
    EXPECT_THAT(
        workspace,
        HasSubstr(
            "<PROJECT NAME=\"MainTask\" PATH=\"\\MainTask\" HISTORY=\"OFF\" ACTIVE=\"TRUE\"/>"));
    EXPECT_THAT(workspace,
                HasSubstr("<PROJECT NAME=\"Library\" PATH=\"\\Library\" HISTORY=\"OFF\"/>"));
    for (int task = 1; task <= 4; ++task) {
        const QString folder =
            dir.filePath(task == 1 ? QString("Plant/MainTask") : QString("Plant/Task%1").arg(task));
        QFile k5p(folder + "/appli.k5p"), online(folder + "/K5DBXS.INI");
        ASSERT_TRUE(k5p.open(QIODevice::ReadOnly) && online.open(QIODevice::ReadOnly));
        EXPECT_THAT(k5p.readAll().toStdString(), HasSubstr("Task=" + std::to_string(task)));
        EXPECT_THAT(online.readAll().toStdString(), HasSubstr(":" + std::to_string(501 + task)));
    }
}
