#include "K5dbFixture.h"

#include <vector>

namespace {

// One variable as the one-by-one calls read it, to hold the one-call read against.
struct VarView {
    uint32_t hVar = 0, hType = 0, dim = 0, length = 0, flags = 0, initValid = 0;
    std::string name, type, init, tag, description, profile, embed;
    bool operator==(const VarView &) const = default;
};

std::ostream &operator<<(std::ostream &out, const VarView &v)
{
    return out << v.name << " " << v.type << "/" << v.hType << " dim=" << v.dim
               << " len=" << v.length << " flags=" << v.flags << " init=" << v.initValid << ":"
               << v.init << " tag=" << v.tag << " desc=" << v.description
               << " profile=" << v.profile << " embed=" << v.embed;
}

VarView fromInfo(const K5DB_VARINFO &i)
{
    return {i.hVar,
            i.hType,
            i.dwDim,
            i.dwStringLength,
            i.dwFlags,
            i.dwInitValid,
            k5Text(i.szName),
            k5Text(i.szType),
            k5Text(i.szInitValue),
            k5Text(i.szTag),
            k5Text(i.szDescription),
            k5Text(i.szProfile),
            k5Text(i.szEmbed)};
}

class K5dbGroupRead : public K5dbProject {
protected:
    // The group as the calls per variable and field read it.
    std::vector<VarView> readOneByOne(uint32_t hGroup) const
    {
        std::vector<VarView> all;
        std::vector<uint32_t> handles(K5DB_GetNbVar(client, project, hGroup));
        handles.resize(K5DB_GetVars(client, project, hGroup, handles.data()));
        for (const uint32_t h : handles) {
            VarView v;
            v.hVar = h;
            v.name = k5Text(
                K5DB_GetVarDesc(client, project, hGroup, h, &v.hType, &v.dim, &v.length, &v.flags));
            const char *typeName = K5DB_GetTypeDesc(client, project, v.hType, nullptr);
            v.type = typeName ? typeName : "";
            v.init = k5Text(K5DB_GetVarInitValue(client, project, hGroup, h, &v.initValid));
            v.tag = comment(h, K5DB_COMMENT_TAG);
            v.description = comment(h, K5DB_COMMENT_DESC);
            v.profile = k5Text(K5DB_GetProperty(client, project, h, K5DB_PROP_PROFILE));
            v.embed = k5Text(K5DB_GetProperty(client, project, h, K5DB_PROP_EMBED));
            all.push_back(v);
        }
        return all;
    }

    // The group as the one call reads it; empty when the call fails.
    std::vector<VarView> readInOneCall(uint32_t hGroup) const
    {
        std::vector<K5DB_VARINFO> infos(K5DB_GetNbVar(client, project, hGroup));
        uint32_t count = 0;
        std::vector<VarView> all;
        if (K5DB_GetGroupVarInfos(client, project, hGroup, infos.data(), uint32_t(infos.size()),
                                  &count) != K5DB_OK ||
            count != infos.size())
            return all;
        for (const K5DB_VARINFO &info : infos)
            all.push_back(fromInfo(info));
        return all;
    }

    // A variable with every note set, each naming the variable.
    uint32_t noted(uint32_t hGroup, const std::string &name) const
    {
        const uint32_t h = variable(hGroup, name.c_str());
        K5DB_SetComment(client, project, h, K5DB_COMMENT_TAG, (name + " tag").c_str());
        K5DB_SetComment(client, project, h, K5DB_COMMENT_DESC, (name + " desc").c_str());
        K5DB_SetProperty(client, project, h, K5DB_PROP_PROFILE, (name + " profile").c_str());
        K5DB_SetProperty(client, project, h, K5DB_PROP_EMBED, (name + " embed").c_str());
        return h;
    }
};

} // namespace

TEST_F(K5dbGroupRead, OneCallGivesWhatTheCallsPerVariableAndFieldGive)
{
    const uint32_t global = group("(Global)");
    const uint32_t text = K5DB_CreateVar(client, project, global, K5DB_POS_APPEND, type("string"),
                                         2, 40, K5DB_VAR_OUT, "Label");
    ASSERT_NE(text, 0u);
    ASSERT_EQ(K5DB_SetVarInitValue(client, project, global, text, "'caf\xe9'"), K5DB_OK);
    ASSERT_EQ(K5DB_SetComment(client, project, text, K5DB_COMMENT_TAG, "T\xe9"), K5DB_OK);
    ASSERT_EQ(K5DB_SetComment(client, project, text, K5DB_COMMENT_DESC, "d  !CrByGen!"), K5DB_OK);
    ASSERT_EQ(K5DB_SetProperty(client, project, text, K5DB_PROP_PROFILE, "P1"), K5DB_OK);
    ASSERT_EQ(K5DB_SetProperty(client, project, text, K5DB_PROP_EMBED, "a=1\tb=2"), K5DB_OK);
    ASSERT_EQ(K5DB_SetProperty(client, project, text, 9, "not read"), K5DB_OK);
    ASSERT_NE(variable(global, "Timer", "ton", K5DB_VAR_IN), 0u); // nothing set on it
    // Inserted first: the group's order, not the creation order.
    ASSERT_NE(K5DB_CreateVar(client, project, global, 0, type("BOOL"), 0, 0, 0, "First"), 0u);
    // A variable of a function block program that is gone has no type any more.
    const uint32_t block = program("Block", 0, K5DB_SECTION_UDFB);
    ASSERT_NE(block, 0u);
    ASSERT_NE(variable(global, "Orphan", "Block"), 0u);
    ASSERT_EQ(K5DB_DeleteProgram(client, project, block), K5DB_OK);
    ASSERT_NE(variable(group("(Retain)"), "Elsewhere"), 0u);

    const std::vector<VarView> oneByOne = readOneByOne(global);
    ASSERT_EQ(oneByOne.size(), 4u);
    EXPECT_EQ(oneByOne[3].hType, 0u); // the orphan, read as the one-by-one calls read it

    const std::vector<VarView> inOneCall = readInOneCall(global);
    EXPECT_EQ(inOneCall, oneByOne);
}

// Variables of other groups made in between, with notes of their own, and a group whose
// variables were made far apart: every group reads as the calls per variable read it.
TEST_F(K5dbGroupRead, GroupsMadeInterleavedAndFarApartReadAsTheCallsPerVariable)
{
    const uint32_t global = group("(Global)");
    const uint32_t retain = group("(Retain)");
    ASSERT_NE(noted(global, "A"), 0u);
    ASSERT_NE(noted(retain, "R"), 0u);
    ASSERT_NE(variable(global, "B"), 0u); // no notes, between two that have them
    ASSERT_NE(noted(global, "C"), 0u);
    // Inserted at the front: the group's order is not the order of the ids.
    ASSERT_NE(K5DB_CreateVar(client, project, global, 0, type("BOOL"), 0, 0, 0, "Front"), 0u);
    for (const uint32_t g : {global, retain}) {
        EXPECT_EQ(readInOneCall(g), readOneByOne(g));
    }
    ASSERT_EQ(readInOneCall(global).size(), 4u);

    for (int i = 0; i < 150; ++i)
        ASSERT_NE(noted(retain, "Far" + std::to_string(i)), 0u);
    ASSERT_NE(noted(global, "Last"), 0u);
    // a variable removed from the middle leaves a gap its notes went with
    ASSERT_EQ(K5DB_DeleteVar(client, project, retain,
                             K5DB_FindVarInGroup(client, project, retain, "Far7")),
              K5DB_OK);
    for (const uint32_t g : {global, retain}) {
        EXPECT_EQ(readInOneCall(g), readOneByOne(g));
    }
    ASSERT_EQ(readInOneCall(global).size(), 5u);
    EXPECT_EQ(readInOneCall(retain).size(), 150u);
}

TEST_F(K5dbGroupRead, CommentsComeWholeAndTextsLastUntilTheNextTextCall)
{
    const uint32_t global = group("(Global)");
    const uint32_t var = variable(global, "V");
    const std::string longText(5000, 'x');
    ASSERT_EQ(K5DB_SetComment(client, project, var, K5DB_COMMENT_DESC, longText.c_str()), K5DB_OK);
    K5DB_VARINFO info{};
    uint32_t count = 0;
    ASSERT_EQ(K5DB_GetGroupVarInfos(client, project, global, &info, 1, &count), K5DB_OK);
    EXPECT_EQ(k5Text(info.szDescription), longText);
    EXPECT_EQ(k5Text(info.szName), "V"); // a call without text leaves them alone
    EXPECT_EQ(K5DB_GetNbVar(client, project, global), 1u);
    EXPECT_EQ(k5Text(info.szName), "V");
}

TEST_F(K5dbGroupRead, RefusesWhatItCannotFillAndTellsTheCount)
{
    const uint32_t global = group("(Global)");
    ASSERT_NE(variable(global, "A"), 0u);
    ASSERT_NE(variable(global, "B"), 0u);
    K5DB_VARINFO infos[2]{};
    const struct {
        const char *what;
        uint32_t client, project, group;
        K5DB_VARINFO *vars;
        uint32_t max;
        bool withCount;
        uint32_t status, count;
    } cases[] = {
        {"all of them", client, project, global, infos, 2, true, K5DB_OK, 2},
        {"only the count", client, project, global, nullptr, 0, true, K5DB_ERR_BUFFER, 2},
        {"too small an array", client, project, global, infos, 1, true, K5DB_ERR_BUFFER, 2},
        {"an empty group", client, project, group("(Retain)"), nullptr, 0, true, K5DB_OK, 0},
        {"no array for one", client, project, global, nullptr, 1, true, K5DB_ERR_ARGUMENT, 0},
        {"no count", client, project, global, infos, 2, false, K5DB_ERR_ARGUMENT, 0},
        {"a variable for a group", client, project,
         K5DB_FindVarInGroup(client, project, global, "A"), infos, 2, true, K5DB_ERR_HANDLE, 0},
        {"an unknown group", client, project, 0, infos, 2, true, K5DB_ERR_HANDLE, 0},
        {"an unknown project", client, project + 100, global, infos, 2, true, K5DB_ERR_PROJECT, 0},
        {"an unknown client", client + 100, project, global, infos, 2, true, K5DB_ERR_CLIENT, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t count = 99;
        EXPECT_EQ(K5DB_GetGroupVarInfos(c.client, c.project, c.group, c.vars, c.max,
                                        c.withCount ? &count : nullptr),
                  c.status);
        if (c.withCount) {
            EXPECT_EQ(count, c.count);
        }
    }
    // The array too small for the group still gets its first entries.
    infos[0] = K5DB_VARINFO{};
    uint32_t count = 0;
    ASSERT_EQ(K5DB_GetGroupVarInfos(client, project, global, infos, 1, &count), K5DB_ERR_BUFFER);
    EXPECT_EQ(k5Text(infos[0].szName), "A");
}
