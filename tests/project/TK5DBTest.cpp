#include "project/TK5DB.h"

#include "common/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

// The number of entry-point fields that hold an address.
int boundEntryPoints(const TK5DB &db)
{
    int bound = db.K5DB_Connect ? 1 : 0;
#define COUNT_BOUND(name) bound += db.name ? 1 : 0;
    TK5DB_ENTRY_POINTS(COUNT_BOUND)
#undef COUNT_BOUND
    return bound;
}

constexpr int kEntryPoints = 43;

QStringList names(const TK5DB::HandleList &list)
{
    QStringList all;
    for (const auto &entry : list)
        all.append(entry.name);
    return all;
}

} // namespace

TEST(TK5DBLoading, AMissingLibraryLeavesResultFalseAndNothingBound)
{
    const TK5DB db(QStringLiteral("NoSuchProjectDatabase"));
    EXPECT_FALSE(db.Result);
    EXPECT_EQ(db.Handle, nullptr);
    EXPECT_EQ(boundEntryPoints(db), 0);
}

TEST(TK5DBLoading, ALibraryLackingOneEntryPointLeavesResultFalseAndTheRestBound)
{
    const TK5DB db(QStringLiteral(TESSILY_BIN "/incomplete_k5db"));
    ASSERT_NE(db.Handle, nullptr);
    EXPECT_FALSE(db.Result);
    EXPECT_EQ(db.K5DB_FindType, nullptr);
    EXPECT_NE(db.K5DB_Connect, nullptr);
    EXPECT_NE(db.K5DB_CreateProgramEx, nullptr);
    EXPECT_EQ(boundEntryPoints(db), kEntryPoints - 1);
}

TEST(TK5DBLoading, TheStandInBesideTheProgramIsFoundByItsBareName)
{
    const TK5DB db;
    EXPECT_TRUE(db.Result);
    EXPECT_EQ(boundEntryPoints(db), kEntryPoints);
    EXPECT_EQ(QFileInfo(db.Handle->fileName()).absolutePath(),
              QFileInfo(QStringLiteral(TESSILY_BIN)).absoluteFilePath());
}

TEST(TK5DBText, ConvertsBetweenUnicodeAndWindows1252)
{
    EXPECT_EQ(TK5DB::ansiText(QStringLiteral("Été €")), QByteArray("\xC9t\xE9 \x80"));
    EXPECT_EQ(TK5DB::ansiText(QStringLiteral("Ω")), QByteArray("?"));
    EXPECT_EQ(TK5DB::nativeText("\xC9t\xE9 \x80"), QStringLiteral("Été €"));
    EXPECT_EQ(TK5DB::nativeText(nullptr), QString());
}

// The wrapper over the real stand-in, connected to a new project in a folder whose name
// needs Windows-1252.
class TK5DBProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.Result);
        ASSERT_TRUE(db.Connect(nullptr, 0, 0, 0, QStringLiteral("Orvane_Tessilator")));
        folder = dir.path() + QStringLiteral("/Usine Été");
        ASSERT_EQ(db.CreateProject(folder), K5DB_OK);
        ASSERT_TRUE(db.OpenProject(folder));
    }
    void TearDown() override
    {
        db.CloseProject();
        db.Disconnect();
    }
    quint32 folderIn(quint32 parent, const char *name)
    {
        return db.K5DB_CreateFolder(db.hClient, db.hProject, parent, name);
    }
    quint32 program(const QString &name, quint32 hFolder)
    {
        return db.CreateProgramEx(2, 1, 0, name, 0, hFolder);
    }
    quint32 setComment(quint32 object, quint32 kind, const QString &text)
    {
        return db.K5DB_SetComment(db.hClient, db.hProject, object, kind,
                                  TK5DB::ansiText(text).constData());
    }

    TK5DB db;
    QTemporaryDir dir;
    QString folder;
};

TEST_F(TK5DBProject, ProgramsAndPathsTravelAsNativeText)
{
    const quint32 main = program(QStringLiteral("Main"), 0);
    ASSERT_NE(main, 0u);
    EXPECT_EQ(db.FindProgram(QStringLiteral("MAIN")), main);
    EXPECT_EQ(db.GetProgramPath(main), folder + QStringLiteral("/Main.st"));
    EXPECT_EQ(db.GetProgramPath(main + 1000), QString());
    EXPECT_EQ(db.SetProgramSchedule(main, 2, 1), K5DB_OK);
    EXPECT_EQ(db.SetProgramOnCallFlag(main, 1), K5DB_OK);
    EXPECT_TRUE(db.SetProjectModified());
    EXPECT_EQ(db.SaveProject(), K5DB_OK);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/appli.xml")));
    EXPECT_EQ(db.DeleteProgram(main), K5DB_OK);
    EXPECT_EQ(db.FindProgram(QStringLiteral("Main")), 0u);
}

TEST_F(TK5DBProject, VariablesReadBackWithTheirDescription)
{
    const quint32 global = db.FindGroup(QStringLiteral("(Global)"));
    ASSERT_EQ(db.LockGroup(global), K5DB_OK);
    const quint32 hType = db.FindType(QStringLiteral("string"));
    const quint32 var = db.CreateVar(global, K5DB_POS_APPEND, hType, 2, 40, K5DB_VAR_OUT,
                                     QStringLiteral("Libellé"));
    EXPECT_EQ(var, 0u); // not an identifier
    const quint32 text =
        db.CreateVar(global, K5DB_POS_APPEND, hType, 2, 40, K5DB_VAR_OUT, QStringLiteral("Label"));
    ASSERT_NE(text, 0u);
    EXPECT_EQ(db.FindVarInGroup(global, QStringLiteral("LABEL")), text);
    quint32 readType = 0, dim = 0, length = 0, flags = 0;
    EXPECT_EQ(db.GetVarDesc(global, text, readType, dim, length, flags), QStringLiteral("Label"));
    EXPECT_EQ(readType, hType);
    EXPECT_EQ(dim, 2u);
    EXPECT_EQ(length, 40u);
    EXPECT_EQ(flags, K5DB_VAR_OUT);
    EXPECT_EQ(db.SetProperty(text, K5DB_PROP_PROFILE, QStringLiteral("Prôfil")), K5DB_OK);
    EXPECT_EQ(TK5DB::nativeText(db.K5DB_GetProperty(db.hClient, db.hProject, text, 2)),
              QStringLiteral("Prôfil"));
    EXPECT_EQ(db.UnlockGroup(global), K5DB_OK);
    EXPECT_EQ(db.DeleteVar(global, text), K5DB_OK);
}

TEST_F(TK5DBProject, GetCommentTakesUpTo2048BytesAndRaisesBeyond)
{
    const quint32 global = db.FindGroup(QStringLiteral("(Global)"));
    const quint32 var = db.CreateVar(global, K5DB_POS_APPEND, db.FindType(QStringLiteral("BOOL")),
                                     0, 0, 0, QStringLiteral("V"));
    const QString longest = QStringLiteral("é").repeated(2048);
    ASSERT_EQ(setComment(var, K5DB_COMMENT_DESC, longest), K5DB_OK);
    EXPECT_EQ(db.GetComment(var, K5DB_COMMENT_DESC), longest);

    ASSERT_EQ(setComment(var, K5DB_COMMENT_DESC, longest + QLatin1Char('x')), K5DB_OK);
    try {
        db.GetComment(var, K5DB_COMMENT_DESC);
        FAIL() << "no error for 2049 bytes";
    } catch (const Failure &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Need buffer size of 2049 bytes in GetComment"));
    }
    EXPECT_EQ(db.GetComment(var, K5DB_COMMENT_TAG), QString());
}

TEST_F(TK5DBProject, ListingsGiveNamesWithHandlesInTheLibrarysOrder)
{
    const quint32 global = db.FindGroup(QStringLiteral("(Global)"));
    const quint32 bool_ = db.FindType(QStringLiteral("BOOL"));
    const quint32 a = db.CreateVar(global, K5DB_POS_APPEND, bool_, 0, 0, 0, QStringLiteral("A"));
    const quint32 b = db.CreateVar(global, K5DB_POS_APPEND, bool_, 0, 0, 0, QStringLiteral("B"));
    setComment(a, K5DB_COMMENT_DESC, QStringLiteral("first  !CrByGen!"));
    TK5DB::HandleList list;
    list.add(QStringLiteral("stale"), 99);
    db.GetVarsDescriptions(global, list);
    EXPECT_THAT(names(list), ElementsAre(QStringLiteral("first  !CrByGen!"), QString()));
    EXPECT_EQ(list.valueAt(0), a);
    EXPECT_EQ(list.valueAt(1), b);

    const quint32 gen = folderIn(0, "Gen");
    folderIn(0, "Alpha");
    const quint32 main = program(QStringLiteral("Main"), gen);
    db.GetFolders(0, list);
    EXPECT_THAT(names(list), ElementsAre(QStringLiteral("Programs")));
    db.GetFolders(list.valueAt(0), list);
    EXPECT_THAT(names(list), ElementsAre(QStringLiteral("Alpha"), QStringLiteral("Gen")));
    ASSERT_NE(list.find(QStringLiteral("GEN")), nullptr);
    EXPECT_EQ(*list.find(QStringLiteral("GEN")), gen);
    db.GetFolderPrograms(gen, list);
    EXPECT_THAT(names(list), ElementsAre(QStringLiteral("Main")));
    EXPECT_EQ(list.valueAt(0), main);
    db.GetFolderPrograms(0, list);
    EXPECT_TRUE(list.isEmpty());
}

class TK5DBFolderDeletion : public TK5DBProject {
protected:
    void SetUp() override
    {
        TK5DBProject::SetUp();
        // Programs\Gen\Sub, Programs\OldGenerated, Programs\Keep, with a program in each.
        gen = folderIn(0, "Gen");
        sub = folderIn(gen, "Sub");
        old = folderIn(0, "OldGenerated");
        keep = folderIn(0, "Keep");
        program(QStringLiteral("Main"), gen);
        program(QStringLiteral("Helper"), sub);
        program(QStringLiteral("Legacy"), old);
        program(QStringLiteral("Kept"), keep);
    }
    QStringList deleteFolder(const QString &name)
    {
        QStringList log;
        db.DeleteProjectFolder(
            name, true, [&log](const QString &Msg) { log.append(Msg); }, QString(), 0);
        return log;
    }
    QStringList remainingFolders()
    {
        TK5DB::HandleList top, list;
        db.GetFolders(0, top);
        db.GetFolders(top.valueAt(0), list);
        return names(list);
    }
    quint32 gen = 0, sub = 0, old = 0, keep = 0;
};

TEST_F(TK5DBFolderDeletion, EveryFolderWhosePathContainsTheTextGoesBottomUp)
{
    EXPECT_THAT(deleteFolder(QStringLiteral("gen")),
                ElementsAre(QStringLiteral("Deleting: <PROGRAMS\\GEN\\SUB\\Helper>"),
                            QStringLiteral("Deleting: <PROGRAMS\\GEN\\SUB\\>"),
                            QStringLiteral("Deleting: <PROGRAMS\\GEN\\Main>"),
                            QStringLiteral("Deleting: <PROGRAMS\\GEN\\>"),
                            QStringLiteral("Deleting: <PROGRAMS\\OLDGENERATED\\Legacy>"),
                            QStringLiteral("Deleting: <PROGRAMS\\OLDGENERATED\\>")));
    EXPECT_THAT(remainingFolders(), ElementsAre(QStringLiteral("Keep")));
    EXPECT_EQ(db.FindProgram(QStringLiteral("Helper")), 0u);
    EXPECT_NE(db.FindProgram(QStringLiteral("Kept")), 0u);
}

TEST_F(TK5DBFolderDeletion, AnEmptyOrUnmatchedTextDeletesNothing)
{
    EXPECT_TRUE(deleteFolder(QString()).isEmpty());
    EXPECT_TRUE(deleteFolder(QStringLiteral("NOWHERE")).isEmpty());
    EXPECT_THAT(remainingFolders(), ElementsAre(QStringLiteral("Gen"), QStringLiteral("Keep"),
                                                QStringLiteral("OldGenerated")));
}

TEST_F(TK5DBFolderDeletion, AProgramThatCannotGoIsReportedAndItsFolderStillTried)
{
    ASSERT_EQ(db.SaveProject(), K5DB_OK);
    TK5DB workbench;
    ASSERT_TRUE(workbench.Connect(nullptr, 0, 0, 0, QStringLiteral("workbench")));
    ASSERT_TRUE(workbench.OpenProject(folder));
    const quint32 legacy = workbench.FindProgram(QStringLiteral("Legacy"));
    ASSERT_EQ(workbench.K5DB_LockProgram(workbench.hClient, workbench.hProject, legacy), K5DB_OK);

    EXPECT_THAT(deleteFolder(QStringLiteral("OLDGEN")),
                ElementsAre(QStringLiteral("Deleting: <PROGRAMS\\OLDGENERATED\\Legacy>"),
                            QStringLiteral("Error 6 while deleting PROGRAMS\\OLDGENERATED\\Legacy"),
                            QStringLiteral("Deleting: <PROGRAMS\\OLDGENERATED\\>"),
                            QStringLiteral("Error 7 while deleting PROGRAMS\\OLDGENERATED\\")));
    workbench.CloseProject();
    workbench.Disconnect();
}

TEST_F(TK5DBFolderDeletion, TheTopFolderLosesItsContentButStays)
{
    const QStringList log = deleteFolder(QStringLiteral("Programs"));
    EXPECT_EQ(log.last(), QStringLiteral("Error 8 while deleting PROGRAMS\\"));
    EXPECT_TRUE(remainingFolders().isEmpty());
    EXPECT_EQ(db.FindProgram(QStringLiteral("Kept")), 0u);
}
