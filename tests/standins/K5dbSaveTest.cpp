#include "K5dbFixture.h"

#include <QFileInfo>

using K5dbSave = K5dbProject;

TEST_F(K5dbSave, SavedChangesSurviveAndUnsavedOnesAreDiscarded)
{
    const uint32_t gen = K5DB_CreateFolder(client, project, 0, "Gen");
    const uint32_t main = program("Main", gen);
    const uint32_t var = variable(group("(Global)"), "Saved", "INT", K5DB_VAR_IN);
    K5DB_SetVarInitValue(client, project, group("(Global)"), var, "42");
    K5DB_SetComment(client, project, var, 2, "kept");
    K5DB_SetProgramSchedule(client, project, main, 4, 1);
    reopen(true);

    ASSERT_NE(K5DB_FindProgram(client, project, "Main"), 0u);
    const uint32_t global = group("(Global)");
    const uint32_t saved = K5DB_FindVarInGroup(client, project, global, "Saved");
    ASSERT_NE(saved, 0u);
    EXPECT_EQ(k5Text(K5DB_GetVarInitValue(client, project, global, saved, nullptr)), "42");
    EXPECT_EQ(comment(saved, 2), "kept");

    // Changes after the save go when the project is closed without another.
    ASSERT_NE(variable(global, "Unsaved"), 0u);
    ASSERT_EQ(K5DB_DeleteProgram(client, project, K5DB_FindProgram(client, project, "Main")),
              K5DB_OK);
    ASSERT_EQ(K5DB_SetComment(client, project, saved, 2, "changed"), K5DB_OK);
    reopen(false);
    EXPECT_EQ(K5DB_FindVarInGroup(client, project, group("(Global)"), "Unsaved"), 0u);
    EXPECT_NE(K5DB_FindProgram(client, project, "Main"), 0u);
    EXPECT_EQ(comment(K5DB_FindVarInGroup(client, project, group("(Global)"), "Saved"), 2), "kept");
}

TEST_F(K5dbSave, SavingWritesTheTreeExportAndAnEmptySourceForEachProgram)
{
    const uint32_t gen = K5DB_CreateFolder(client, project, 0, "Gen & Co");
    ASSERT_NE(program("Main", gen), 0u);
    ASSERT_NE(program("Block", gen, K5DB_SECTION_UDFB), 0u);
    ASSERT_NE(program("Loose"), 0u);
    EXPECT_FALSE(QFileInfo::exists(folder + "/appli.xml"));
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);

    EXPECT_EQ(readFileText(folder + "/appli.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<project name=\"Plant\">\n"
              "  <folder name=\"Programs\">\n"
              "    <folder name=\"Gen &amp; Co\">\n"
              "      <program name=\"Block\" language=\"2\" section=\"16\" source=\"Block.st\"/>\n"
              "      <program name=\"Main\" language=\"2\" section=\"1\" source=\"Main.st\"/>\n"
              "    </folder>\n"
              "  </folder>\n"
              "  <program name=\"Loose\" language=\"2\" section=\"1\" source=\"Loose.st\"/>\n"
              "</project>\n");
    EXPECT_EQ(readFileText(folder + "/Main.st"), "");
}

TEST_F(K5dbSave, ASourceWrittenByTheClientIsKeptAndADeletedProgramsGoesAtTheSave)
{
    const uint32_t main = program("Main");
    const uint32_t old = program("Old");
    char source[K5DB_PATH_BUFFER];
    ASSERT_EQ(K5DB_GetProgramPath(client, project, main, source), K5DB_OK);
    {
        QFile file(QString::fromLocal8Bit(source));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x := 1;\r\n");
    }
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    EXPECT_EQ(readFileText(folder + "/Main.st"), "x := 1;\r\n");
    ASSERT_TRUE(QFileInfo::exists(folder + "/Old.st"));

    ASSERT_EQ(K5DB_DeleteProgram(client, project, old), K5DB_OK);
    reopen(false); // not saved: the program and its source stay
    EXPECT_TRUE(QFileInfo::exists(folder + "/Old.st"));
    ASSERT_EQ(K5DB_DeleteProgram(client, project, K5DB_FindProgram(client, project, "Old")),
              K5DB_OK);
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    EXPECT_FALSE(QFileInfo::exists(folder + "/Old.st"));

    // Deleted and made again under the same name, as an overwrite does: the source stays.
    ASSERT_EQ(K5DB_DeleteProgram(client, project, K5DB_FindProgram(client, project, "Main")),
              K5DB_OK);
    ASSERT_NE(program("Main"), 0u);
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    EXPECT_EQ(readFileText(folder + "/Main.st"), "x := 1;\r\n");
}

TEST_F(K5dbSave, AnotherClientSeesOnlySavedChangesAndCannotWriteOverUnsavedOnes)
{
    ASSERT_NE(program("Saved"), 0u);
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    ASSERT_NE(program("Unsaved"), 0u);

    const uint32_t other = K5DB_Connect(nullptr, 0, 0, 0, "workbench");
    const uint32_t otherProject = K5DB_OpenProject(other, path.c_str());
    ASSERT_NE(otherProject, 0u);
    EXPECT_NE(K5DB_FindProgram(other, otherProject, "Saved"), 0u);
    EXPECT_EQ(K5DB_FindProgram(other, otherProject, "Unsaved"), 0u);
    EXPECT_EQ(K5DB_CreateProgramEx(other, otherProject, 2, 1, 0, "Third", 0, 0), 0u);
    EXPECT_EQ(K5DB_CreateFolder(other, otherProject, 0, "Busy"), 0u);
    // A client's handles mean nothing to another.
    EXPECT_EQ(K5DB_FindProgram(other, project, "Saved"), 0u);
    K5DB_Disconnect(other);

    // Disconnecting closed the other client's project, so this one saves.
    EXPECT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
}
