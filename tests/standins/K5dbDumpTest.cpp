#include "K5dbFixture.h"

#include <QProcess>

namespace {

struct DumpRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

DumpRun runDump(const QString &project)
{
    QProcess dump;
    dump.start(QStringLiteral(TESSILY_BIN "/k5db-dump"), {project});
    DumpRun run;
    if (!dump.waitForFinished(30000))
        return run;
    run.exitCode = dump.exitCode();
    run.out = dump.readAllStandardOutput().toStdString();
    run.err = dump.readAllStandardError().toStdString();
    return run;
}

} // namespace

using K5dbDump = K5dbProject;

TEST_F(K5dbDump, PrintsTheWholeSavedProjectInAStableForm)
{
    const uint32_t gen = K5DB_CreateFolder(client, project, 0, "Gen");
    K5DB_CreateFolder(client, project, gen, "Empty");
    const uint32_t block = program("Filter", gen, K5DB_SECTION_UDFB);
    const uint32_t main = program("Main", gen);
    K5DB_SetProgramSchedule(client, project, main, 10, 3);
    K5DB_SetProgramOnCallFlag(client, project, block, 1);
    K5DB_SetProperty(client, project, main, K5DB_PROP_STRUCTURE, "Struct");
    K5DB_SetComment(client, project, main, 2, "Generated \"main\"\r\nprogram");
    program("Aside");

    const uint32_t global = group("(Global)");
    const uint32_t alarm = K5DB_CreateVar(client, project, global, K5DB_POS_APPEND, type("bool"), 0,
                                          0, K5DB_VAR_IN, "Alarm");
    K5DB_SetVarInitValue(client, project, global, alarm, "TRUE");
    K5DB_SetComment(client, project, alarm, 1, "AL-01");
    K5DB_SetComment(client, project, alarm, 2, "Alarm\t\xE9t\xE9  !CrByGen!");
    K5DB_SetProperty(client, project, alarm, K5DB_PROP_PROFILE, "P1");
    K5DB_SetProperty(client, project, alarm, K5DB_PROP_EMBED, "a=1 b=2");
    K5DB_CreateVar(client, project, global, K5DB_POS_APPEND, type("STRING"), 4, 32, K5DB_VAR_INOUT,
                   "Texts");
    K5DB_CreateVar(client, project, group("(Retain)"), K5DB_POS_APPEND, type("DINT"), 0, 0,
                   K5DB_VAR_OUT, "Count");
    K5DB_CreateVar(client, project, group("Main"), K5DB_POS_APPEND, type("filter"), 0, 0, 0, "F1");
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    program("NotSaved");

    const DumpRun run = runDump(folder);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "project \"Plant\"\n"
              "folder \"Programs\"\n"
              "  folder \"Gen\"\n"
              "    folder \"Empty\"\n"
              "    program Filter section=16(udfb) language=2 period=1 phase=0 oncall=1 flags=0 "
              "parent=- source=\"Filter.st\"\n"
              "    program Main section=1(begin) language=2 period=10 phase=3 oncall=0 flags=0 "
              "parent=- source=\"Main.st\"\n"
              "      comment 2 \"Generated \\\"main\\\"\\r\\nprogram\"\n"
              "      property 4 \"Struct\"\n"
              "program Aside section=1(begin) language=2 period=1 phase=0 oncall=0 flags=0 "
              "parent=- source=\"Aside.st\"\n"
              "group (Global)\n"
              "  var Alarm BOOL dim=0 len=0 flags=8(IN) init=\"TRUE\"\n"
              "    comment 1 \"AL-01\"\n"
              "    comment 2 \"Alarm\\t\xC3\xA9t\xC3\xA9  !CrByGen!\"\n"
              "    property 1 \"a=1 b=2\"\n"
              "    property 2 \"P1\"\n"
              "  var Texts STRING dim=4 len=32 flags=72(INOUT) init=-\n"
              "group (Retain)\n"
              "  var Count DINT dim=0 len=0 flags=16(OUT) init=-\n"
              "group Aside\n"
              "group Filter\n"
              "group Main\n"
              "  var F1 Filter dim=0 len=0 flags=0 init=-\n");
}

TEST(K5dbDumpTool, NamesTheFolderThatIsNoProject)
{
    QTemporaryDir dir;
    const DumpRun run = runDump(dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "k5db-dump: " + dir.path().toStdString() + ": " + dir.path().toStdString() +
                           ": not a project\n");
}
