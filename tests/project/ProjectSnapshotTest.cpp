#include "project/ProjectSnapshot.h"

#include "common/Failure.h"
#include "project/TK5DB.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString line(const VariableState &v)
{
    return QStringList{v.name(),
                       v.text(VariableState::Type),
                       QString::number(v.dim),
                       QString::number(v.length),
                       QString::number(v.flags),
                       v.text(VariableState::Init),
                       v.text(VariableState::Tag),
                       v.text(VariableState::Description),
                       v.text(VariableState::Profile),
                       v.text(VariableState::Embed)}
        .join(u'|');
}

// The snapshot as text, each program and variable on a line of its own.
QStringList text(const ProjectSnapshot &s)
{
    QStringList out = s.folders;
    for (const ProgramState &p : s.programs) {
        out << QStringList{p.name,
                           p.folder,
                           QString::number(p.section),
                           QString::number(p.language),
                           p.description,
                           p.structure,
                           p.enabled,
                           p.sourcePath}
                   .join(u'|');
    }
    for (const GroupState &g : s.groups) {
        out << g.name;
        for (const VariableState &v : g.variables)
            out << line(v);
    }
    return out;
}

// The snapshot read in one call per group, and read one variable and field at a time; the
// failure each gives, if any.
struct BothReads {
    QStringList oneCall, oneByOne;
    QString oneCallFailure, oneByOneFailure;
};

BothReads readBothWays(TK5DB &db)
{
    BothReads r;
    const auto bulk = db.K5DB_GetGroupVarInfos;
    for (const bool oneCall : {true, false}) {
        db.K5DB_GetGroupVarInfos = oneCall ? bulk : nullptr;
        try {
            (oneCall ? r.oneCall : r.oneByOne) = text(readProjectSnapshot(db));
        } catch (const Failure &e) {
            (oneCall ? r.oneCallFailure : r.oneByOneFailure) = e.message();
        }
    }
    db.K5DB_GetGroupVarInfos = bulk;
    return r;
}

} // namespace

TEST(ProjectSnapshot, ReadsTheSameWithAndWithoutTheOneCallGroupRead)
{
    QTemporaryDir dir;
    TK5DB db;
    ASSERT_TRUE(db.Result);
    ASSERT_NE(db.K5DB_GetGroupVarInfos, nullptr);
    ASSERT_TRUE(db.Connect(nullptr, 0, 0, 0, QStringLiteral("test")));
    const QString folder = dir.filePath(QStringLiteral("P"));
    ASSERT_EQ(db.CreateProject(folder), K5DB_OK);
    ASSERT_TRUE(db.OpenProject(folder));
    const auto comment = [&](quint32 object, quint32 kind, const QString &value) {
        return db.K5DB_SetComment(db.hClient, db.hProject, object, kind,
                                  TK5DB::ansiText(value).constData());
    };

    const quint32 main = db.CreateProgramEx(2, 1, 0, QStringLiteral("Main"), 0, 0);
    ASSERT_NE(main, 0u);
    const quint32 global = db.FindGroup(QStringLiteral("(Global)"));
    const quint32 label =
        db.CreateVar(global, K5DB_POS_APPEND, db.FindType(QStringLiteral("STRING")), 2, 40,
                     K5DB_VAR_OUT, QStringLiteral("Label"));
    ASSERT_NE(label, 0u);
    ASSERT_EQ(comment(label, K5DB_COMMENT_TAG, QStringLiteral("Tâg €")), K5DB_OK);
    ASSERT_EQ(comment(label, K5DB_COMMENT_DESC, QStringLiteral("d  !CrByGen!")), K5DB_OK);
    ASSERT_EQ(db.SetProperty(label, K5DB_PROP_PROFILE, QStringLiteral("P1")), K5DB_OK);
    ASSERT_EQ(db.SetProperty(label, K5DB_PROP_EMBED, QStringLiteral("a=1\tb=2")), K5DB_OK);
    ASSERT_EQ(db.K5DB_SetVarInitValue(db.hClient, db.hProject, global, label, "'x'"), K5DB_OK);
    ASSERT_NE(db.CreateVar(db.FindGroup(QStringLiteral("Main")), K5DB_POS_APPEND,
                           db.FindType(QStringLiteral("TON")), 0, 0, 0, QStringLiteral("T1")),
              0u);

    BothReads r = readBothWays(db);
    EXPECT_EQ(r.oneCallFailure, QString());
    EXPECT_EQ(r.oneCall, r.oneByOne);
    EXPECT_TRUE(r.oneCall.contains(QStringLiteral("Label|STRING|2|40|16|'x'|Tâg €|d  !CrByGen!|P1|"
                                                  "a=1\tb=2")))
        << r.oneCall.join(u'\n').toStdString();

    // A comment too long for the reader's buffer fails the same way both ways.
    ASSERT_EQ(comment(label, K5DB_COMMENT_DESC, QString(2049, u'd')), K5DB_OK);
    r = readBothWays(db);
    EXPECT_EQ(r.oneCallFailure, QStringLiteral("Need buffer size of 2049 bytes in GetComment"));
    EXPECT_EQ(r.oneCallFailure, r.oneByOneFailure);

    db.CloseProject();
    db.Disconnect();
}
