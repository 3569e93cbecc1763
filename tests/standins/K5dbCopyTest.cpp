#include "K5dbFixture.h"

#include <QDirIterator>
#include <QFileInfo>

namespace {

// Every file of a folder with its size and modification time.
QStringList folderState(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files << info.fileName() + ' ' + QString::number(info.size()) + ' ' +
                     info.lastModified().toString(Qt::ISODateWithMs);
    }
    files.sort();
    return files;
}

// A saved project with one global, and a second client working on a copy of it.
class K5dbCopy : public K5dbProject {
protected:
    void SetUp() override
    {
        K5dbProject::SetUp();
        ASSERT_NE(variable(group("(Global)"), "Saved"), 0u);
        ASSERT_NE(program("Main", topFolder()), 0u);
        ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
        ASSERT_NE(variable(group("(Global)"), "Unsaved"), 0u); // not in the copy
        other = K5DB_Connect(nullptr, 0, 0, 0, "planner");
        ASSERT_NE(other, 0u);
    }
    void TearDown() override
    {
        K5DB_Disconnect(other);
        K5dbProject::TearDown();
    }
    std::vector<std::string> copyVarNames(uint32_t copy, uint32_t hGroup) const
    {
        std::vector<uint32_t> handles(K5DB_GetNbVar(other, copy, hGroup));
        handles.resize(K5DB_GetVars(other, copy, hGroup, handles.data()));
        std::vector<std::string> names;
        for (const uint32_t h : handles)
            names.push_back(k5Text(
                K5DB_GetVarDesc(other, copy, hGroup, h, nullptr, nullptr, nullptr, nullptr)));
        return names;
    }
    uint32_t other = 0;
};

} // namespace

TEST_F(K5dbCopy, ACopyStartsFromTheSavedStateAndItsChangesAndSavesReachNothing)
{
    const QStringList before = folderState(folder);
    const uint32_t copy = K5DB_OpenProjectCopy(other, path.c_str());
    ASSERT_NE(copy, 0u);
    const uint32_t global = K5DB_FindGroup(other, copy, "(Global)");
    EXPECT_EQ(copyVarNames(copy, global), std::vector<std::string>{"Saved"});
    ASSERT_NE(K5DB_CreateVar(other, copy, global, K5DB_POS_APPEND,
                             K5DB_FindType(other, copy, "INT"), 0, 0, 0, "Planned"),
              0u);
    const uint32_t main = K5DB_FindProgram(other, copy, "Main");
    EXPECT_EQ(K5DB_DeleteProgram(other, copy, main), K5DB_OK);
    EXPECT_EQ(K5DB_SaveProject(other, copy), K5DB_OK);
    EXPECT_EQ(copyVarNames(copy, global), (std::vector<std::string>{"Saved", "Planned"}));
    EXPECT_EQ(K5DB_CloseProject(other, copy), K5DB_OK);

    EXPECT_EQ(folderState(folder), before);
    reopen(false);
    EXPECT_EQ(varNames(group("(Global)")), std::vector<std::string>{"Saved"});
    EXPECT_NE(K5DB_FindProgram(client, project, "Main"), 0u);
}

TEST_F(K5dbCopy, LocksOfOthersAreSeenAndTheCopysOwnBlockNobody)
{
    const uint32_t global = group("(Global)");
    ASSERT_EQ(K5DB_LockGroup(client, project, global), K5DB_OK);
    // The lock holder is in this process, where SQLite shares one lock-table index between
    // connections, so the folder is not compared here: the change plan's tests hold the lock
    // from another process, as the workbench does, and compare it there.
    const uint32_t copy = K5DB_OpenProjectCopy(other, path.c_str());
    ASSERT_NE(copy, 0u);
    EXPECT_EQ(K5DB_LockGroup(other, copy, K5DB_FindGroup(other, copy, "(Global)")),
              K5DB_ERR_LOCKED);
    const uint32_t retain = K5DB_FindGroup(other, copy, "(Retain)");
    EXPECT_EQ(K5DB_LockGroup(other, copy, retain), K5DB_OK);
    EXPECT_EQ(K5DB_LockGroup(client, project, group("(Retain)")), K5DB_OK)
        << "the copy's lock blocked the project's own client";
    EXPECT_EQ(K5DB_CloseProject(other, copy), K5DB_OK);
}

TEST_F(K5dbCopy, AFolderWithoutAProjectGivesTheEmptyProjectAndStaysMissing)
{
    const std::string missing = (m_dir.path() + "/Nowhere/Plant").toStdString();
    const uint32_t copy = K5DB_OpenProjectCopy(other, missing.c_str());
    ASSERT_NE(copy, 0u);
    uint32_t top = 0;
    ASSERT_EQ(K5DB_GetNbFolder(other, copy, 0), 1u);
    K5DB_GetFolders(other, copy, 0, &top);
    EXPECT_EQ(k5Text(K5DB_GetFolderDesc(other, copy, top)), "Programs");
    EXPECT_NE(K5DB_FindGroup(other, copy, "(Global)"), 0u);
    EXPECT_NE(K5DB_CreateProgramEx(other, copy, 2, 1, 0, "Main", 0, top), 0u);
    EXPECT_EQ(K5DB_SaveProject(other, copy), K5DB_OK);
    EXPECT_EQ(K5DB_CloseProject(other, copy), K5DB_OK);
    EXPECT_FALSE(QFileInfo::exists(m_dir.path() + "/Nowhere"));
}
