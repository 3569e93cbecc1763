#include "K5dbFixture.h"

#include <QProcess>

namespace {

const QString kProbe = QStringLiteral(TESSILY_BIN "/k5db-lock-probe");

// Runs the probe, which locks a program or group of the project in a process of its own;
// returns the status it printed.
int probeOnce(const std::string &project, const char *kind, const char *name)
{
    QProcess probe;
    probe.start(kProbe, {QString::fromStdString(project), QString::fromLatin1(kind),
                         QString::fromLatin1(name)});
    if (!probe.waitForFinished(30000))
        return -1;
    return probe.readAllStandardOutput().trimmed().toInt();
}

} // namespace

class K5dbLocks : public K5dbProject {
protected:
    void SetUp() override
    {
        K5dbProject::SetUp();
        main = program("Main");
        ASSERT_NE(main, 0u);
        ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
        other = K5DB_Connect(nullptr, 0, 0, 0, "workbench");
        otherProject = K5DB_OpenProject(other, path.c_str());
        ASSERT_NE(otherProject, 0u);
    }
    void TearDown() override
    {
        K5DB_Disconnect(other);
        K5dbProject::TearDown();
    }
    uint32_t main = 0;
    uint32_t other = 0;
    uint32_t otherProject = 0;
};

TEST_F(K5dbLocks, ASecondClientsLockIsRefusedUntilTheFirstUnlocks)
{
    struct Kind {
        const char *name;
        uint32_t (*lock)(uint32_t, uint32_t, uint32_t);
        uint32_t (*unlock)(uint32_t, uint32_t, uint32_t);
        uint32_t handle;
    };
    const Kind kinds[] = {
        {"program", &K5DB_LockProgram, &K5DB_UnlockProgram, main},
        {"group", &K5DB_LockGroup, &K5DB_UnlockGroup, group("(Global)")},
    };
    for (const Kind &k : kinds) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(k.lock(client, project, k.handle), K5DB_OK);
        EXPECT_EQ(k.lock(client, project, k.handle), K5DB_OK); // again by its holder
        EXPECT_EQ(k.lock(other, otherProject, k.handle), K5DB_ERR_LOCKED);
        EXPECT_EQ(k.unlock(other, otherProject, k.handle), K5DB_OK); // not the holder: no effect
        EXPECT_EQ(k.lock(other, otherProject, k.handle), K5DB_ERR_LOCKED);
        EXPECT_EQ(k.unlock(client, project, k.handle), K5DB_OK);
        EXPECT_EQ(k.lock(other, otherProject, k.handle), K5DB_OK);
        EXPECT_EQ(k.lock(client, project, k.handle), K5DB_ERR_LOCKED);
        EXPECT_EQ(k.unlock(other, otherProject, k.handle), K5DB_OK);
    }
}

TEST_F(K5dbLocks, LocksNeedTheirKindOfObject)
{
    EXPECT_EQ(K5DB_LockProgram(client, project, group("Main")), K5DB_ERR_HANDLE);
    EXPECT_EQ(K5DB_LockGroup(client, project, main), K5DB_ERR_HANDLE);
    EXPECT_EQ(K5DB_LockProgram(client, project, 0), K5DB_ERR_HANDLE);
}

TEST_F(K5dbLocks, ClosingTheProjectGivesUpItsLocks)
{
    ASSERT_EQ(K5DB_LockProgram(other, otherProject, main), K5DB_OK);
    ASSERT_EQ(K5DB_CloseProject(other, otherProject), K5DB_OK);
    EXPECT_EQ(K5DB_LockProgram(client, project, main), K5DB_OK);
}

TEST_F(K5dbLocks, ALockedProgramOrGroupIsNotChangedByAnother)
{
    const uint32_t global = group("(Global)");
    const uint32_t var = variable(global, "V");
    ASSERT_EQ(K5DB_SaveProject(client, project), K5DB_OK);
    ASSERT_EQ(K5DB_LockProgram(client, project, main), K5DB_OK);
    ASSERT_EQ(K5DB_LockGroup(client, project, global), K5DB_OK);
    ASSERT_EQ(K5DB_CloseProject(other, otherProject), K5DB_OK);
    otherProject = K5DB_OpenProject(other, path.c_str());

    EXPECT_EQ(K5DB_DeleteProgram(other, otherProject, main), K5DB_ERR_LOCKED);
    EXPECT_EQ(K5DB_SaveProgramChanges(other, otherProject, main), K5DB_ERR_LOCKED);
    EXPECT_EQ(K5DB_DeleteVar(other, otherProject, global, var), K5DB_ERR_LOCKED);
    EXPECT_EQ(K5DB_CreateVar(other, otherProject, global, K5DB_POS_APPEND,
                             K5DB_FindType(other, otherProject, "BOOL"), 0, 0, 0, "W"),
              0u);
    // The holder goes on.
    EXPECT_EQ(K5DB_SaveProgramChanges(client, project, main), K5DB_OK);
    EXPECT_NE(variable(global, "W"), 0u);
}

TEST_F(K5dbLocks, AnotherProcessSeesTheLocks)
{
    ASSERT_EQ(K5DB_LockProgram(client, project, main), K5DB_OK);
    EXPECT_EQ(probeOnce(path, "program", "Main"), int(K5DB_ERR_LOCKED));
    EXPECT_EQ(probeOnce(path, "group", "(Global)"), int(K5DB_OK));
    ASSERT_EQ(K5DB_UnlockProgram(client, project, main), K5DB_OK);
    EXPECT_EQ(probeOnce(path, "program", "Main"), int(K5DB_OK));
}

TEST_F(K5dbLocks, ALockHeldInAnotherProcessIsRefusedHereUntilItEnds)
{
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "closed");
        QProcess probe;
        probe.start(kProbe, {folder, QStringLiteral("program"), QStringLiteral("Main"),
                             QStringLiteral("hold")});
        ASSERT_TRUE(probe.waitForReadyRead(30000));
        ASSERT_EQ(probe.readLine().trimmed().toInt(), int(K5DB_OK));
        EXPECT_EQ(K5DB_LockProgram(client, project, main), K5DB_ERR_LOCKED);
        if (killed) {
            probe.kill(); // a process that ends without unlocking leaves a void lock
        } else {
            probe.closeWriteChannel();
        }
        ASSERT_TRUE(probe.waitForFinished(30000));
        EXPECT_EQ(K5DB_LockProgram(client, project, main), K5DB_OK);
        ASSERT_EQ(K5DB_UnlockProgram(client, project, main), K5DB_OK);
    }
}
