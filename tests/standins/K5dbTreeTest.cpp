#include "K5dbFixture.h"

#include <QFileInfo>

using K5dbTree = K5dbProject;

TEST_F(K5dbTree, FolderZeroMeansTheTopFolderAndAnExistingNameGivesZero)
{
    const uint32_t gen = K5DB_CreateFolder(client, project, 0, "Gen");
    ASSERT_NE(gen, 0u);
    EXPECT_EQ(K5DB_CreateFolder(client, project, 0, "GEN"), 0u);
    EXPECT_EQ(K5DB_CreateFolder(client, project, topFolder(), "gen"), 0u);
    const uint32_t sub = K5DB_CreateFolder(client, project, gen, "Gen");
    EXPECT_NE(sub, 0u); // the same name under another parent is another folder

    ASSERT_EQ(K5DB_GetNbFolder(client, project, topFolder()), 1u);
    uint32_t child = 0;
    ASSERT_EQ(K5DB_GetFolders(client, project, topFolder(), &child), 1u);
    EXPECT_EQ(child, gen);
    EXPECT_EQ(k5Text(K5DB_GetFolderDesc(client, project, sub)), "Gen");
}

TEST_F(K5dbTree, InvalidFolderNamesAndParentsAreRefused)
{
    const std::string tooLong(256, 'x');
    const char *names[] = {"", "a\\b", "a/b", "..", ".", "tab\there", tooLong.c_str(), nullptr};
    for (const char *name : names) {
        SCOPED_TRACE(name ? name : "<null>");
        EXPECT_EQ(K5DB_CreateFolder(client, project, 0, name), 0u);
    }
    EXPECT_NE(K5DB_CreateFolder(client, project, 0, "With blanks & signs"), 0u);
    const uint32_t main = program("Main");
    for (const uint32_t parent : {0x1FFFFFFFu, main, 7u}) {
        SCOPED_TRACE(parent);
        EXPECT_EQ(K5DB_CreateFolder(client, project, parent, "Sub"), 0u);
    }
}

TEST_F(K5dbTree, OnlyAnEmptyFolderOtherThanTheTopIsDeleted)
{
    const uint32_t gen = K5DB_CreateFolder(client, project, 0, "Gen");
    const uint32_t sub = K5DB_CreateFolder(client, project, gen, "Sub");
    const uint32_t prog = program("InSub", sub);
    ASSERT_NE(prog, 0u);
    EXPECT_EQ(K5DB_DeleteFolder(client, project, gen), K5DB_ERR_NOT_EMPTY);
    EXPECT_EQ(K5DB_DeleteFolder(client, project, sub), K5DB_ERR_NOT_EMPTY);
    EXPECT_EQ(K5DB_DeleteFolder(client, project, topFolder()), K5DB_ERR_NOT_ALLOWED);
    EXPECT_EQ(K5DB_DeleteProgram(client, project, prog), K5DB_OK);
    EXPECT_EQ(K5DB_DeleteFolder(client, project, sub), K5DB_OK);
    EXPECT_EQ(K5DB_DeleteFolder(client, project, gen), K5DB_OK);
    EXPECT_EQ(K5DB_DeleteFolder(client, project, gen), K5DB_ERR_HANDLE);
    EXPECT_EQ(K5DB_GetNbFolder(client, project, topFolder()), 0u);
}

TEST_F(K5dbTree, ProgramsAreFoundWithoutRegardToCase)
{
    const uint32_t gen = K5DB_CreateFolder(client, project, 0, "Gen");
    const uint32_t main = K5DB_CreateProgramEx(client, project, 2, 1, 0, "Main", 0, gen);
    ASSERT_NE(main, 0u);
    EXPECT_EQ(K5DB_FindProgram(client, project, "MAIN"), main);
    EXPECT_EQ(K5DB_FindProgram(client, project, "main"), main);
    EXPECT_EQ(K5DB_FindProgram(client, project, "Mai"), 0u);
    EXPECT_EQ(program("mAIN"), 0u);

    uint32_t language = 0, section = 0, parent = 99;
    EXPECT_EQ(k5Text(K5DB_GetProgramDesc(client, project, main, &language, &section, &parent)),
              "Main");
    EXPECT_EQ(language, 2u);
    EXPECT_EQ(section, 1u);
    EXPECT_EQ(parent, 0u);
    EXPECT_EQ(k5Text(K5DB_GetProgramDesc(client, project, main, nullptr, nullptr, nullptr)),
              "Main");

    uint32_t listed = 0;
    ASSERT_EQ(K5DB_GetNbFolderProg(client, project, gen), 1u);
    ASSERT_EQ(K5DB_GetFolderProgs(client, project, gen, &listed), 1u);
    EXPECT_EQ(listed, main);
}

TEST_F(K5dbTree, ProgramsInFolderZeroSitAtTheRoot)
{
    const uint32_t loose = program("Loose");
    ASSERT_NE(loose, 0u);
    EXPECT_EQ(K5DB_GetNbFolderProg(client, project, 0), 1u);
    EXPECT_EQ(K5DB_GetNbFolderProg(client, project, topFolder()), 0u);
}

TEST_F(K5dbTree, InvalidProgramsAreRefused)
{
    const std::string tooLong(300, 'P');
    struct Case {
        const char *name;
        uint32_t section;
        uint32_t folder;
    };
    const Case cases[] = {
        {"1st", 1, 0},      {"has blank", 1, 0}, {"(Global)", 1, 0},      {"TON", 1, 0},
        {"", 1, 0},         {nullptr, 1, 0},     {tooLong.c_str(), 1, 0}, {"Good", 3, 0},
        {"Good", 1, 12345}, {"Ünïcode", 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name ? c.name : "<null>");
        EXPECT_EQ(program(c.name, c.folder, c.section), 0u);
    }
    EXPECT_NE(program("Good"), 0u);
}

TEST_F(K5dbTree, EveryProgramHasAGroupNamedLikeIt)
{
    const uint32_t main = program("Main");
    const uint32_t local = group("MAIN");
    ASSERT_NE(local, 0u);
    ASSERT_NE(variable(local, "Counter", "INT"), 0u);
    ASSERT_EQ(K5DB_SetComment(client, project, main, 2, "main program"), K5DB_OK);

    ASSERT_EQ(K5DB_DeleteProgram(client, project, main), K5DB_OK);
    EXPECT_EQ(K5DB_FindProgram(client, project, "Main"), 0u);
    EXPECT_EQ(group("Main"), 0u);
    EXPECT_EQ(K5DB_GetNbVar(client, project, local), 0u);
    EXPECT_EQ(K5DB_DeleteProgram(client, project, main), K5DB_ERR_HANDLE);

    // A program made again under the same name starts without the old one's things.
    const uint32_t again = program("Main");
    ASSERT_NE(again, 0u);
    EXPECT_EQ(K5DB_GetNbVar(client, project, group("Main")), 0u);
    EXPECT_EQ(K5DB_GetCommentLength(client, project, again, 2), 0u);
}

TEST_F(K5dbTree, TheSourceFileIsNamedForTheProgramInTheProjectFolder)
{
    const uint32_t main = program("Main", K5DB_CreateFolder(client, project, 0, "Gen"));
    char source[K5DB_PATH_BUFFER] = "junk";
    ASSERT_EQ(K5DB_GetProgramPath(client, project, main, source), K5DB_OK);
    EXPECT_EQ(std::string(source), path + "/Main.st");
    EXPECT_EQ(K5DB_GetProgramPath(client, project, main + 1, source), K5DB_ERR_HANDLE);
    EXPECT_EQ(std::string(source), "");
}

TEST_F(K5dbTree, APathThatDoesNotFitTheBufferIsRefusedWhole)
{
    // A project folder of some 300 bytes and a long program name: the source's path needs more
    // than the 512 bytes the buffer holds.
    QString deep = folder;
    while (deep.size() < 300)
        deep += QStringLiteral("/deeper_folder_name");
    const std::string deepPath = deep.toStdString();
    ASSERT_EQ(K5DB_CreateProject(client, deepPath.c_str()), K5DB_OK);
    const uint32_t other = K5DB_OpenProject(client, deepPath.c_str());
    const std::string name(250, 'P');
    const uint32_t longName = K5DB_CreateProgramEx(client, other, 2, 1, 0, name.c_str(), 0, 0);
    ASSERT_NE(longName, 0u);
    char source[K5DB_PATH_BUFFER] = "junk";
    EXPECT_EQ(K5DB_GetProgramPath(client, other, longName, source), K5DB_ERR_BUFFER);
    EXPECT_EQ(std::string(source), "");
    const uint32_t shortName = K5DB_CreateProgramEx(client, other, 2, 1, 0, "Main", 0, 0);
    EXPECT_EQ(K5DB_GetProgramPath(client, other, shortName, source), K5DB_OK);
    EXPECT_EQ(std::string(source), deepPath + "/Main.st");
    K5DB_CloseProject(client, other);
}

TEST_F(K5dbTree, ScheduleAndOnCallFlagNeedAProgram)
{
    const uint32_t main = program("Main");
    EXPECT_EQ(K5DB_SetProgramSchedule(client, project, main, 5, 2), K5DB_OK);
    EXPECT_EQ(K5DB_SetProgramOnCallFlag(client, project, main, 1), K5DB_OK);
    EXPECT_EQ(K5DB_SetProgramSchedule(client, project, group("Main"), 5, 2), K5DB_ERR_HANDLE);
    EXPECT_EQ(K5DB_SetProgramOnCallFlag(client, project, 0, 1), K5DB_ERR_HANDLE);
}
