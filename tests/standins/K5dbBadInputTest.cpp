#include "K5dbFixture.h"

#include <functional>

using K5dbBadInput = K5dbProject;

// Every call with null texts, null out-buffers, unknown handles and huge names: each gives a
// status, a 0 handle or a null text, and the project stays usable.
TEST_F(K5dbBadInput, NullPointersAreRefused)
{
    const uint32_t c = client, p = project;
    const uint32_t global = group("(Global)");
    const uint32_t var = variable(global, "V");
    const uint32_t main = program("Main");
    struct Case {
        const char *call;
        std::function<uint32_t()> run;
        uint32_t expected;
    };
    const Case cases[] = {
        {"Connect", [] { return K5DB_Connect(nullptr, 0, 0, 0, nullptr); }, 0},
        {"OpenProject", [&] { return K5DB_OpenProject(c, nullptr); }, 0},
        {"CreateProject", [&] { return K5DB_CreateProject(c, nullptr); }, K5DB_ERR_ARGUMENT},
        {"GetFolders", [&] { return K5DB_GetFolders(c, p, 0, nullptr); }, 0},
        {"GetFolderProgs", [&] { return K5DB_GetFolderProgs(c, p, 0, nullptr); }, 0},
        {"GetVars", [&] { return K5DB_GetVars(c, p, global, nullptr); }, 0},
        {"CreateFolder", [&] { return K5DB_CreateFolder(c, p, 0, nullptr); }, 0},
        {"FindProgram", [&] { return K5DB_FindProgram(c, p, nullptr); }, 0},
        {"FindGroup", [&] { return K5DB_FindGroup(c, p, nullptr); }, 0},
        {"FindType", [&] { return K5DB_FindType(c, p, nullptr); }, 0},
        {"FindVarInGroup", [&] { return K5DB_FindVarInGroup(c, p, global, nullptr); }, 0},
        {"CreateVar",
         [&] {
             return K5DB_CreateVar(c, p, global, K5DB_POS_APPEND, type("BOOL"), 0, 0, 0, nullptr);
         },
         0},
        {"GetProgramPath", [&] { return K5DB_GetProgramPath(c, p, main, nullptr); },
         K5DB_ERR_ARGUMENT},
        {"SetVarInitValue", [&] { return K5DB_SetVarInitValue(c, p, global, var, nullptr); },
         K5DB_ERR_ARGUMENT},
        {"SetProperty", [&] { return K5DB_SetProperty(c, p, var, 1, nullptr); }, K5DB_ERR_ARGUMENT},
        {"SetComment", [&] { return K5DB_SetComment(c, p, var, 1, nullptr); }, K5DB_ERR_ARGUMENT},
        {"GetComment", [&] { return K5DB_GetComment(c, p, var, 1, nullptr, 2049); },
         K5DB_ERR_ARGUMENT},
        {"GetComment size 0",
         [&] {
             char b[1];
             return K5DB_GetComment(c, p, var, 1, b, 0);
         },
         K5DB_ERR_ARGUMENT},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.call);
        EXPECT_EQ(k.run(), k.expected);
    }
    // Null out-pointers are allowed where the header says so.
    EXPECT_EQ(k5Text(K5DB_GetVarDesc(c, p, global, var, nullptr, nullptr, nullptr, nullptr)), "V");
    EXPECT_EQ(k5Text(K5DB_GetVarInitValue(c, p, global, var, nullptr)), "");
    EXPECT_EQ(k5Text(K5DB_GetTypeDesc(c, p, type("INT"), nullptr)), "INT");
    EXPECT_EQ(K5DB_FindProgram(c, p, "Main"), main);
}

TEST_F(K5dbBadInput, UnknownHandlesAreRefused)
{
    const uint32_t global = group("(Global)");
    const uint32_t main = program("Main");
    const uint32_t var = variable(global, "V");
    // None of these is a client, project or object handle of this test, whatever ran before.
    const uint32_t badHandles[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, main + 1000, var + 1000};
    for (const uint32_t h : badHandles) {
        SCOPED_TRACE(h);
        char buffer[K5DB_PATH_BUFFER];
        uint32_t handles[4] = {};
        EXPECT_EQ(K5DB_Disconnect(h), K5DB_ERR_CLIENT);
        EXPECT_EQ(K5DB_OpenProject(h, path.c_str()), 0u);
        EXPECT_EQ(K5DB_SaveProject(client, h), K5DB_ERR_PROJECT);
        EXPECT_EQ(K5DB_SaveProject(h, project), K5DB_ERR_CLIENT);
        EXPECT_EQ(K5DB_CloseProject(client, h), K5DB_ERR_PROJECT);
        EXPECT_EQ(K5DB_SetProjectModified(client, h), K5DB_ERR_PROJECT);
        if (h != 0) {
            EXPECT_EQ(K5DB_GetNbFolder(client, project, h), 0u);
            EXPECT_EQ(K5DB_GetFolders(client, project, h, handles), 0u);
            EXPECT_EQ(K5DB_GetNbFolderProg(client, project, h), 0u);
            EXPECT_EQ(K5DB_CreateFolder(client, project, h, "X"), 0u);
            EXPECT_EQ(k5Text(K5DB_GetFolderDesc(client, project, h)), "<null>");
        }
        EXPECT_EQ(K5DB_GetNbVar(client, project, h), 0u);
        EXPECT_EQ(K5DB_GetVars(client, project, h, handles), 0u);
        EXPECT_EQ(K5DB_DeleteFolder(client, project, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_DeleteProgram(client, project, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(k5Text(K5DB_GetProgramDesc(client, project, h, nullptr, nullptr, nullptr)),
                  "<null>");
        EXPECT_EQ(K5DB_LockProgram(client, project, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_LockGroup(client, project, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_SaveProgramChanges(client, project, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_GetProgramPath(client, project, h, buffer), K5DB_ERR_HANDLE);
        EXPECT_EQ(k5Text(K5DB_GetTypeDesc(client, project, h, nullptr)), "<null>");
        EXPECT_EQ(K5DB_FindVarInGroup(client, project, h, "V"), 0u);
        EXPECT_EQ(K5DB_CreateVar(client, project, h, K5DB_POS_APPEND, type("BOOL"), 0, 0, 0, "W"),
                  0u);
        EXPECT_EQ(K5DB_CreateVar(client, project, global, K5DB_POS_APPEND, h, 0, 0, 0, "W"), 0u);
        EXPECT_EQ(K5DB_DeleteVar(client, project, global, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_SetVarInitValue(client, project, global, h, "1"), K5DB_ERR_HANDLE);
        EXPECT_EQ(
            k5Text(K5DB_GetVarDesc(client, project, h, var, nullptr, nullptr, nullptr, nullptr)),
            "<null>");
        EXPECT_EQ(K5DB_SetProperty(client, project, h, 1, "x"), K5DB_ERR_HANDLE);
        EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, h, 1)), "<null>");
        EXPECT_EQ(K5DB_RemoveProperties(client, project, h), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_GetCommentLength(client, project, h, 1), 0u);
        EXPECT_EQ(K5DB_GetComment(client, project, h, 1, buffer, sizeof buffer), K5DB_ERR_HANDLE);
    }
    EXPECT_EQ(varNames(global), std::vector<std::string>{"V"});
}

TEST_F(K5dbBadInput, HugeNamesAndValuesAreRefusedWhole)
{
    const std::string huge(1 << 20, 'A');
    const uint32_t global = group("(Global)");
    const uint32_t var = variable(global, "V");
    EXPECT_EQ(K5DB_Connect(nullptr, 0, 0, 0, huge.c_str()), 0u);
    EXPECT_EQ(K5DB_OpenProject(client, huge.c_str()), 0u);
    EXPECT_EQ(K5DB_CreateProject(client, huge.c_str()), K5DB_ERR_ARGUMENT);
    EXPECT_EQ(K5DB_CreateFolder(client, project, 0, huge.c_str()), 0u);
    EXPECT_EQ(program(huge.c_str()), 0u);
    EXPECT_EQ(K5DB_FindProgram(client, project, huge.c_str()), 0u);
    EXPECT_EQ(K5DB_FindType(client, project, huge.c_str()), 0u);
    EXPECT_EQ(variable(global, huge.c_str()), 0u);
    EXPECT_EQ(K5DB_SetComment(client, project, var, 2, huge.c_str()), K5DB_ERR_ARGUMENT);
    EXPECT_EQ(K5DB_SetVarInitValue(client, project, global, var, huge.c_str()), K5DB_ERR_ARGUMENT);

    // The longest accepted name works.
    const std::string longest(255, 'N');
    EXPECT_NE(variable(global, longest.c_str()), 0u);
    EXPECT_NE(program(longest.c_str()), 0u);
    const std::string comment8k(8000, 'c');
    EXPECT_EQ(K5DB_SetComment(client, project, var, 2, comment8k.c_str()), K5DB_OK);
    EXPECT_EQ(K5DB_GetCommentLength(client, project, var, 2), 8000u);
}

TEST(K5dbClients, ADisconnectedClientsHandlesAreDead)
{
    const uint32_t client = K5DB_Connect(nullptr, 0, 0, 0, "");
    ASSERT_NE(client, 0u);
    EXPECT_EQ(K5DB_Disconnect(client), K5DB_OK);
    EXPECT_EQ(K5DB_Disconnect(client), K5DB_ERR_CLIENT);
    EXPECT_EQ(K5DB_FindProgram(client, 1, "Main"), 0u);
    const uint32_t next = K5DB_Connect(nullptr, 0, 0, 0, "next");
    EXPECT_NE(next, client); // handles are not handed out again at once
    K5DB_Disconnect(next);
}
