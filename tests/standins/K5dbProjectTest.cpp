#include "K5dbFixture.h"

#include <QFileInfo>

using K5dbProjectFiles = K5dbProject;

TEST_F(K5dbProjectFiles, CreateMakesTheProjectFileTheStoreAndTheTopFolder)
{
    EXPECT_EQ(readFileText(folder + "/appli.k5p"),
              "[Project]\r\nName=Plant\r\nTopFolder=Programs\r\n");
    EXPECT_TRUE(QFileInfo::exists(folder + "/appli.k5db"));
    ASSERT_EQ(K5DB_GetNbFolder(client, project, 0), 1u);
    EXPECT_EQ(k5Text(K5DB_GetFolderDesc(client, project, topFolder())), "Programs");
    EXPECT_NE(group("(Global)"), 0u);
    EXPECT_NE(group("(RETAIN)"), 0u);
    EXPECT_EQ(group("(Local)"), 0u);
}

TEST_F(K5dbProjectFiles, CreateRefusesAFolderThatHoldsAProject)
{
    EXPECT_EQ(K5DB_CreateProject(client, path.c_str()), K5DB_ERR_EXISTS);
    reopen(false);
    EXPECT_EQ(K5DB_GetNbFolder(client, project, 0), 1u); // nothing was lost
}

TEST_F(K5dbProjectFiles, CreateMakesMissingParentFoldersAndDoesNotOpen)
{
    const std::string deep = (folder + "/a/b/Deep").toStdString();
    ASSERT_EQ(K5DB_CreateProject(client, deep.c_str()), K5DB_OK);
    EXPECT_TRUE(QFileInfo::exists(folder + "/a/b/Deep/appli.k5p"));
    const uint32_t other = K5DB_OpenProject(client, deep.c_str());
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, project);
    EXPECT_EQ(K5DB_CloseProject(client, other), K5DB_OK);
}

TEST_F(K5dbProjectFiles, OpenRefusesAFolderThatIsNoProject)
{
    QDir(folder).mkpath(QStringLiteral("Empty"));
    for (const QString &p : {folder + "/Missing", folder + "/Empty", folder + "/appli.k5p"}) {
        SCOPED_TRACE(p.toStdString());
        EXPECT_EQ(K5DB_OpenProject(client, p.toStdString().c_str()), 0u);
    }
}

TEST_F(K5dbProjectFiles, BackslashesAndATrailingSeparatorNameTheSameFolder)
{
    ASSERT_NE(program("Main"), 0u);
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    std::string windowsStyle = path;
    std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');
    for (const std::string &p : {windowsStyle, path + "/", windowsStyle + "\\"}) {
        SCOPED_TRACE(p);
        const uint32_t other = K5DB_OpenProject(client, p.c_str());
        ASSERT_NE(other, 0u);
        EXPECT_NE(K5DB_FindProgram(client, other, "Main"), 0u);
        K5DB_CloseProject(client, other);
    }
}

TEST(K5dbProjectFile, AProjectWithoutStoreGetsOneWithTheTopFolderItsFileNames)
{
    QTemporaryDir dir;
    QFile file(dir.path() + "/appli.k5p");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; workspace template\r\n[Target]\r\nName=OrvaneT5\r\n"
               "[project]\r\n name = Library \r\nTOPFOLDER=Blocks\r\nTask=0\r\n");
    file.close();
    const uint32_t client = K5DB_Connect(nullptr, 0, 0, 0, "test");
    const uint32_t project = K5DB_OpenProject(client, dir.path().toStdString().c_str());
    ASSERT_NE(project, 0u);
    uint32_t top = 0;
    ASSERT_EQ(K5DB_GetFolders(client, project, 0, &top), 1u);
    EXPECT_EQ(k5Text(K5DB_GetFolderDesc(client, project, top)), "Blocks");
    EXPECT_NE(K5DB_FindGroup(client, project, "(Global)"), 0u);
    K5DB_CloseProject(client, project);
    K5DB_Disconnect(client);
}
