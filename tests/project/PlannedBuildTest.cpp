#include "project/PlannedBuild.h"

#include "common/Failure.h"
#include "project/TK5DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Two projects, each with a variable in "(Global)" named after it; the first one's comment
// can be made too long for a reader's buffer.
struct TwoProjects : ::testing::Test {
    QTemporaryDir dir;
    TK5DB db;
    QString first = dir.filePath(QStringLiteral("First"));
    QString second = dir.filePath(QStringLiteral("Second"));

    void SetUp() override
    {
        ASSERT_TRUE(db.Result);
        ASSERT_TRUE(db.Connect(nullptr, 0, 0, 0, QStringLiteral("maker")));
        for (const QString &folder : {first, second}) {
            ASSERT_EQ(db.CreateProject(folder), K5DB_OK);
            ASSERT_TRUE(db.OpenProject(folder));
            const QString name = QFileInfo(folder).fileName();
            ASSERT_NE(db.CreateVar(db.FindGroup(QStringLiteral("(Global)")), K5DB_POS_APPEND,
                                   db.FindType(QStringLiteral("BOOL")), 0, 0, 0, name),
                      0u);
            ASSERT_EQ(db.SaveProject(), K5DB_OK);
            db.CloseProject();
        }
        db.Disconnect();
    }

    void describeFirst(const QString &text)
    {
        ASSERT_TRUE(db.Connect(nullptr, 0, 0, 0, QStringLiteral("maker")));
        ASSERT_TRUE(db.OpenProject(first));
        const quint32 global = db.FindGroup(QStringLiteral("(Global)"));
        const quint32 var = db.FindVarInGroup(global, QStringLiteral("First"));
        ASSERT_EQ(db.K5DB_SetComment(db.hClient, db.hProject, var, K5DB_COMMENT_DESC,
                                     TK5DB::ansiText(text).constData()),
                  K5DB_OK);
        ASSERT_EQ(db.SaveProject(), K5DB_OK);
        db.CloseProject();
        db.Disconnect();
    }
};

QStringList globals(const PlannedBuild::Project &p)
{
    QStringList names;
    for (const GroupState &g : p.before.groups) {
        if (g.name == u"(Global)") {
            for (const VariableState &v : g.variables)
                names << v.name();
        }
    }
    return names;
}

} // namespace

// A copy read ahead is what open() reads itself, whether it is taken over, left for another
// folder, or never asked for.
TEST_F(TwoProjects, ACopyReadAheadIsTakenOverOnlyForItsOwnFolder)
{
    const struct {
        const char *name;
        bool ahead;       // prefetch the first project
        bool openFirst;   // then open the first project
        bool openSecond;  // and/or the second
        QStringList read; // the projects the plan holds, by their global variable
    } cases[] = {
        {"opened without reading ahead", false, true, false, {"First"}},
        {"read ahead, then opened", true, true, false, {"First"}},
        {"read ahead, another opened", true, false, true, {"Second"}},
        {"read ahead, both opened", true, true, true, {"First", "Second"}},
        {"read ahead, never opened", true, false, false, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PlannedBuild build(db);
        if (c.ahead)
            build.prefetch(first);
        ASSERT_TRUE(build.connect());
        if (c.openFirst) {
            ASSERT_TRUE(build.open(first));
            EXPECT_NE(db.FindGroup(QStringLiteral("(Global)")), 0u) << "the copy is current";
        }
        if (c.openSecond) {
            ASSERT_TRUE(build.open(second));
        }
        build.finish();
        QStringList read;
        for (const PlannedBuild::Project &p : build.projects()) {
            EXPECT_TRUE(p.existed);
            read << globals(p);
        }
        EXPECT_EQ(read, c.read);
    }
}

// A project that cannot be read fails open() with the reader's message, read ahead or not;
// the plan is left without it.
TEST_F(TwoProjects, AReadThatFailsAheadFailsWhereOpenWouldHaveFailed)
{
    describeFirst(QString(3000, u'd'));
    for (const bool ahead : {false, true}) {
        SCOPED_TRACE(ahead ? "read ahead" : "read when opened");
        PlannedBuild build(db);
        if (ahead)
            build.prefetch(first);
        ASSERT_TRUE(build.connect());
        QString failure;
        try {
            build.open(first);
        } catch (const Failure &e) {
            failure = e.message();
        }
        EXPECT_EQ(failure, QStringLiteral("Need buffer size of 3000 bytes in GetComment"));
        ASSERT_TRUE(build.open(second)); // the next project still opens
        build.finish();
        ASSERT_EQ(build.projects().size(), 1u);
        EXPECT_EQ(globals(build.projects()[0]), QStringList{"Second"});
    }
}

// A folder without a project reads ahead as the empty project a build would create.
TEST_F(TwoProjects, AMissingProjectReadAheadIsPlannedAsCreated)
{
    const QString missing = dir.filePath(QStringLiteral("Missing/Deep"));
    PlannedBuild build(db);
    build.prefetch(missing);
    ASSERT_TRUE(build.connect());
    ASSERT_TRUE(build.open(missing));
    build.finish();
    ASSERT_EQ(build.projects().size(), 1u);
    EXPECT_FALSE(build.projects()[0].existed);
    EXPECT_TRUE(build.projects()[0].before.groups.empty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}
