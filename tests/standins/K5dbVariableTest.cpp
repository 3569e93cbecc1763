#include "K5dbFixture.h"

using K5dbVariables = K5dbProject;

TEST_F(K5dbVariables, AVariableKeepsEveryAttribute)
{
    const uint32_t global = group("(Global)");
    const uint32_t var = K5DB_CreateVar(client, project, global, K5DB_POS_APPEND, type("STRING"), 4,
                                        80, K5DB_VAR_INOUT, "Names");
    ASSERT_NE(var, 0u);
    uint32_t hType = 0, dim = 0, length = 0, flags = 0;
    EXPECT_EQ(k5Text(K5DB_GetVarDesc(client, project, global, var, &hType, &dim, &length, &flags)),
              "Names");
    EXPECT_EQ(hType, type("string"));
    EXPECT_EQ(dim, 4u);
    EXPECT_EQ(length, 80u);
    EXPECT_EQ(flags, K5DB_VAR_INOUT);
    uint32_t typeFlags = 0;
    EXPECT_EQ(k5Text(K5DB_GetTypeDesc(client, project, hType, &typeFlags)), "STRING");
    EXPECT_EQ(typeFlags, K5DB_TYPE_STRING);

    uint32_t valid = 7;
    EXPECT_EQ(k5Text(K5DB_GetVarInitValue(client, project, global, var, &valid)), "");
    EXPECT_EQ(valid, 0u);
    EXPECT_EQ(K5DB_SetVarInitValue(client, project, global, var, "'none'"), K5DB_OK);
    EXPECT_EQ(k5Text(K5DB_GetVarInitValue(client, project, global, var, &valid)), "'none'");
    EXPECT_EQ(valid, 1u);
    EXPECT_EQ(K5DB_SetVarInitValue(client, project, global, var, ""), K5DB_OK);
    EXPECT_EQ(k5Text(K5DB_GetVarInitValue(client, project, global, var, &valid)), "");
    EXPECT_EQ(valid, 0u);

    EXPECT_EQ(K5DB_SetComment(client, project, var, K5DB_COMMENT_TAG, "tag text"), K5DB_OK);
    EXPECT_EQ(K5DB_SetComment(client, project, var, K5DB_COMMENT_DESC, "desc  !CrByGen!"), K5DB_OK);
    EXPECT_EQ(comment(var, K5DB_COMMENT_TAG), "tag text");
    EXPECT_EQ(comment(var, K5DB_COMMENT_DESC), "desc  !CrByGen!");
    EXPECT_EQ(K5DB_SetProperty(client, project, var, K5DB_PROP_PROFILE, "P1"), K5DB_OK);
    EXPECT_EQ(K5DB_SetProperty(client, project, var, K5DB_PROP_EMBED, "a=1\tb=2"), K5DB_OK);
    EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, var, K5DB_PROP_PROFILE)), "P1");
    EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, var, K5DB_PROP_EMBED)), "a=1\tb=2");
    EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, var, 9)), "");

    EXPECT_EQ(K5DB_RemoveProperties(client, project, var), K5DB_OK);
    EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, var, K5DB_PROP_PROFILE)), "");
    EXPECT_EQ(comment(var, K5DB_COMMENT_TAG), "tag text"); // comments are no properties
}

TEST_F(K5dbVariables, NamesAreUniqueInAGroupWithoutRegardToCase)
{
    const uint32_t global = group("(Global)");
    const uint32_t retain = group("(Retain)");
    const uint32_t a = variable(global, "Alarm");
    ASSERT_NE(a, 0u);
    EXPECT_EQ(variable(global, "ALARM"), 0u);
    EXPECT_EQ(K5DB_FindVarInGroup(client, project, global, "aLaRm"), a);
    EXPECT_EQ(K5DB_FindVarInGroup(client, project, retain, "Alarm"), 0u);
    EXPECT_NE(variable(retain, "alarm"), 0u); // another group may hold the name
    // A variable is reached only through its own group.
    EXPECT_EQ(
        k5Text(K5DB_GetVarDesc(client, project, retain, a, nullptr, nullptr, nullptr, nullptr)),
        "<null>");
    EXPECT_EQ(K5DB_DeleteVar(client, project, retain, a), K5DB_ERR_HANDLE);
}

TEST_F(K5dbVariables, VariablesKeepTheirOrderAndAPositionInserts)
{
    const uint32_t global = group("(Global)");
    for (const char *name : {"A", "B", "C"})
        ASSERT_NE(variable(global, name), 0u);
    ASSERT_NE(K5DB_CreateVar(client, project, global, 1, type("BOOL"), 0, 0, 0, "AB"), 0u);
    ASSERT_NE(K5DB_CreateVar(client, project, global, 0, type("BOOL"), 0, 0, 0, "First"), 0u);
    ASSERT_NE(K5DB_CreateVar(client, project, global, 99, type("BOOL"), 0, 0, 0, "Last"), 0u);
    EXPECT_EQ(varNames(global), (std::vector<std::string>{"First", "A", "AB", "B", "C", "Last"}));

    ASSERT_EQ(
        K5DB_DeleteVar(client, project, global, K5DB_FindVarInGroup(client, project, global, "B")),
        K5DB_OK);
    ASSERT_NE(variable(global, "B"), 0u);
    EXPECT_EQ(varNames(global), (std::vector<std::string>{"First", "A", "AB", "C", "Last", "B"}));
}

TEST_F(K5dbVariables, DeletingAVariableDropsItsCommentsAndProperties)
{
    const uint32_t global = group("(Global)");
    const uint32_t var = variable(global, "V");
    K5DB_SetComment(client, project, var, 1, "tag");
    K5DB_SetProperty(client, project, var, 2, "P");
    ASSERT_EQ(K5DB_DeleteVar(client, project, global, var), K5DB_OK);
    const uint32_t again = variable(global, "V");
    ASSERT_NE(again, 0u);
    EXPECT_EQ(comment(again, 1), "");
    EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, again, 2)), "");
}

TEST_F(K5dbVariables, TypesAreFoundWithoutRegardToCase)
{
    struct Case {
        const char *name;
        const char *described; // nullptr: not a type
        uint32_t flags;
    };
    const Case cases[] = {
        {"BOOL", "BOOL", 0},
        {"bool", "BOOL", 0},
        {"Lreal", "LREAL", 0},
        {"time", "TIME", 0},
        {"tod", "TOD", 0},
        {"Ton", "TON", K5DB_TYPE_FB},
        {"r_trig", "R_TRIG", K5DB_TYPE_FB},
        {"ctud", "CTUD", K5DB_TYPE_FB},
        {"rs", "RS", K5DB_TYPE_FB},
        {"sr", "SR", K5DB_TYPE_FB},
        {"Ton2", nullptr, 0},
        {"", nullptr, 0},
        {"Main", nullptr, 0},
        {"MyBlock", "MyBlock", K5DB_TYPE_FB | K5DB_TYPE_UDFB},
        {"MYBLOCK", "MyBlock", K5DB_TYPE_FB | K5DB_TYPE_UDFB},
    };
    ASSERT_NE(program("Main"), 0u);
    ASSERT_NE(program("MyBlock", 0, K5DB_SECTION_UDFB), 0u);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t h = type(c.name);
        if (!c.described) {
            EXPECT_EQ(h, 0u);
            continue;
        }
        uint32_t flags = 99;
        EXPECT_EQ(k5Text(K5DB_GetTypeDesc(client, project, h, &flags)), c.described);
        EXPECT_EQ(flags, c.flags);
    }
}

TEST_F(K5dbVariables, AVariableOfTheProjectsFunctionBlockReadsBackItsType)
{
    ASSERT_NE(program("Filter", 0, K5DB_SECTION_UDFB), 0u);
    const uint32_t global = group("(Global)");
    const uint32_t var = variable(global, "F1", "FILTER");
    ASSERT_NE(var, 0u);
    uint32_t hType = 0;
    K5DB_GetVarDesc(client, project, global, var, &hType, nullptr, nullptr, nullptr);
    EXPECT_EQ(k5Text(K5DB_GetTypeDesc(client, project, hType, nullptr)), "Filter");
    // An instance of a function block takes no initial value.
    EXPECT_EQ(K5DB_SetVarInitValue(client, project, global, var, "1"), K5DB_ERR_NOT_ALLOWED);
    const uint32_t timer = variable(global, "T1", "TON");
    EXPECT_EQ(K5DB_SetVarInitValue(client, project, global, timer, "T#1s"), K5DB_ERR_NOT_ALLOWED);
}

TEST_F(K5dbVariables, CommentsTravelAsWindows1252AndAreCutToTheBuffer)
{
    const uint32_t var = variable(group("(Global)"), "V");
    const char *text = "Temp\xE9rature \x80 \x93quoted\x94"; // é, €, curly quotes
    ASSERT_EQ(K5DB_SetComment(client, project, var, 2, text), K5DB_OK);
    EXPECT_EQ(K5DB_GetCommentLength(client, project, var, 2), std::strlen(text));
    EXPECT_EQ(comment(var, 2), text);

    char small[5] = "xxxx";
    EXPECT_EQ(K5DB_GetComment(client, project, var, 2, small, sizeof small), K5DB_ERR_BUFFER);
    EXPECT_EQ(std::string(small), "Temp");
    std::vector<char> exact(std::strlen(text) + 1, 'x'); // room for the text and its NUL
    EXPECT_EQ(K5DB_GetComment(client, project, var, 2, exact.data(), uint32_t(exact.size())),
              K5DB_OK);
    EXPECT_EQ(std::string(exact.data()), text);

    ASSERT_EQ(K5DB_SetComment(client, project, var, 2, ""), K5DB_OK);
    EXPECT_EQ(K5DB_GetCommentLength(client, project, var, 2), 0u);
}

TEST_F(K5dbVariables, ProgramsTakeCommentsAndPropertiesToo)
{
    const uint32_t main = program("Main");
    EXPECT_EQ(K5DB_SetProperty(client, project, main, K5DB_PROP_STRUCTURE, "Struct"), K5DB_OK);
    EXPECT_EQ(K5DB_SetProperty(client, project, main, K5DB_PROP_ENABLED, "#FALSE#"), K5DB_OK);
    EXPECT_EQ(K5DB_SetComment(client, project, main, 2, "the main program"), K5DB_OK);
    EXPECT_EQ(k5Text(K5DB_GetProperty(client, project, main, K5DB_PROP_ENABLED)), "#FALSE#");
    EXPECT_EQ(comment(main, 2), "the main program");
    // Folders, groups and types carry neither.
    for (const uint32_t object : {topFolder(), group("Main"), type("BOOL"), 0u}) {
        SCOPED_TRACE(object);
        EXPECT_EQ(K5DB_SetProperty(client, project, object, 1, "x"), K5DB_ERR_HANDLE);
        EXPECT_EQ(K5DB_SetComment(client, project, object, 1, "x"), K5DB_ERR_HANDLE);
    }
}
