#include "PlanScenario.h"
#include "support/OtherClient.h"

#include <QScopeGuard>
#include <gmock/gmock.h>

#include <functional>
#include <random>

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// The files whose content or modification time differ between two states of a folder.
QStringList differences(const QMap<QString, PlanScenario::FileState> &a,
                        const QMap<QString, PlanScenario::FileState> &b)
{
    QStringList names;
    for (const QString &name : a.keys() + b.keys()) {
        if (!names.contains(name) && (!a.contains(name) || !b.contains(name) || a[name] != b[name]))
            names << name;
    }
    return names;
}

QStringList sorted(const QSet<QString> &set)
{
    QStringList list(set.begin(), set.end());
    list.sort();
    return list;
}

QString logOf(const PlanScenario &p)
{
    return p.texts().join('\n');
}

// Plans, checks that the plan wrote nothing, builds, and checks that the plan names exactly what
// the build changed.
ChangePlan planThenBuild(PlanScenario &p, const QString &project = {})
{
    const QString folder = project.isEmpty() ? p.projectPath() : p.projectPath(project);
    const bool exists = QFileInfo::exists(QDir(folder).filePath("appli.k5p"));
    const QString dumpBefore = exists ? p.dump(folder) : QString();
    const auto filesBefore = p.folderState();
    const ChangePlan plan = p.plan();
    EXPECT_TRUE(plan.ok) << logOf(p).toStdString();
    EXPECT_EQ(differences(filesBefore, p.folderState()), QStringList())
        << "the plan wrote into the project folder";
    EXPECT_EQ(QFileInfo::exists(folder), exists);
    EXPECT_TRUE(p.build()) << logOf(p).toStdString();
    auto filesAfter = p.folderState();
    auto before = filesBefore;
    if (!project.isEmpty()) { // the files of the workspace's main task, named as in its folder
        for (auto *files : {&before, &filesAfter}) {
            QMap<QString, PlanScenario::FileState> inside;
            for (auto it = files->cbegin(); it != files->cend(); ++it) {
                if (it.key().startsWith(project + '/'))
                    inside.insert(it.key().mid(project.size() + 1), it.value());
            }
            *files = inside;
        }
    }
    const QSet<QString> built = buildChanges(dumpBefore, p.dump(folder), before, filesAfter);
    EXPECT_EQ(sorted(planChanges(plan)), sorted(built));
    return plan;
}

const ProgramChange *program(const ChangePlan &plan, const QString &name)
{
    for (const ProgramChange &c : plan.projects.at(0).programs) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const GroupPlan *group(const ChangePlan &plan, const QString &name)
{
    for (const GroupPlan &g : plan.projects.at(0).groups) {
        if (g.name == name)
            return &g;
    }
    return nullptr;
}

const VariableChange *variable(const ChangePlan &plan, const QString &groupName,
                               const QString &name)
{
    if (const GroupPlan *g = group(plan, groupName)) {
        for (const VariableChange &v : g->variables) {
            if (v.name == name)
                return &v;
        }
    }
    return nullptr;
}

const FileChange *file(const ChangePlan &plan, const QString &name)
{
    for (const FileChange &f : plan.projects.at(0).files) {
        if (f.name == name)
            return &f;
    }
    return nullptr;
}

std::string actionOf(const VariableChange *v)
{
    return v ? v->action.toStdString() : "<not in the plan>";
}

QStringList fieldNames(const VariableChange *v)
{
    QStringList names;
    if (v) {
        for (const PlanField &f : v->fields)
            names << f.name;
    }
    return names;
}

void twoSignals(PlanScenario &p)
{
    p.signal("Door", "Door open");
    p.signal("Fire", "Fire alarm");
}

void builtTwice(PlanScenario &p)
{
    twoSignals(p);
    ASSERT_TRUE(p.build()) << logOf(p).toStdString();
}

} // namespace

TEST(ChangePlan, AMissingProjectFolderIsPlannedAsCreatedAndNothingIsMade)
{
    PlanScenario p;
    p.project = "deep/Plant";
    twoSignals(p);
    const ChangePlan plan = planThenBuild(p);
    ASSERT_EQ(plan.projects.size(), 1u);
    EXPECT_TRUE(plan.projects[0].created);
    EXPECT_TRUE(plan.hasChanges());
    ASSERT_TRUE(program(plan, "Main"));
    EXPECT_EQ(program(plan, "Main")->action, "created");
    EXPECT_EQ(program(plan, "Helper")->action, "created");
    EXPECT_EQ(program(plan, "Unused"), nullptr);
    EXPECT_EQ(actionOf(variable(plan, "(Global)", "Door")), "added");
    for (const char *name : {"appli.EQV", "appli.CPO", "notes.txt", "readme.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(file(plan, name));
        EXPECT_EQ(file(plan, name)->action, "created");
    }
}

TEST(ChangePlan, AnUnchangedRebuildPlansNoChange)
{
    PlanScenario p;
    builtTwice(p);
    ASSERT_TRUE(p.build());
    const ChangePlan plan = planThenBuild(p);
    EXPECT_FALSE(plan.hasChanges());
    EXPECT_EQ(plan.summary().programsUnchanged, 2);
    EXPECT_EQ(file(plan, "notes.txt")->action, "left");
    EXPECT_EQ(file(plan, "readme.txt")->action, "unchanged");
    EXPECT_EQ(file(plan, "appli.xml")->action, "regenerated");
}

// One edit between two builds, and what the plan must say about it.
struct EditCase {
    const char *name;
    QByteArray options;
    std::function<void(PlanScenario &)> edit;
    std::function<void(const ChangePlan &)> check;
};

TEST(ChangePlan, EachEditIsPlannedAsTheBuildMakesIt)
{
    const EditCase cases[] = {
        {"a description changed",
         {},
         [](PlanScenario &p) { p.signalRows[2][3] = "Fire alarm, hall 2"; },
         [](const ChangePlan &plan) {
             const VariableChange *v = variable(plan, "(Global)", "Fire");
             EXPECT_EQ(actionOf(v), "updated");
             EXPECT_EQ(fieldNames(v), QStringList{"description"});
             EXPECT_EQ(v->fields.at(0).after, "Fire alarm, hall 2  !CrByGen!");
         }},
        {"a type changed",
         {},
         [](PlanScenario &p) { p.signalRows[2][4] = "INT"; },
         [](const ChangePlan &plan) {
             const VariableChange *v = variable(plan, "(Global)", "Fire");
             EXPECT_EQ(actionOf(v), "recreated");
             ASSERT_EQ(fieldNames(v), QStringList{"type"});
             EXPECT_EQ(v->fields.at(0).before, "BOOL");
             EXPECT_EQ(v->fields.at(0).after, "INT");
         }},
        {"a signal row removed",
         {},
         [](PlanScenario &p) { p.signalRows.pop_back(); },
         [](const ChangePlan &plan) {
             EXPECT_EQ(actionOf(variable(plan, "(Global)", "Fire")), "removed");
             const ProgramChange *main = program(plan, "Main");
             ASSERT_TRUE(main);
             EXPECT_EQ(main->action, "replaced");
             EXPECT_THAT(main->diff, Contains(QString("-Fire := TRUE;")));
         }},
        {"a signal row added",
         {},
         [](PlanScenario &p) { p.signal("Gas", "Gas alarm", "DINT"); },
         [](const ChangePlan &plan) {
             EXPECT_EQ(actionOf(variable(plan, "(Global)", "Gas")), "added");
             EXPECT_THAT(program(plan, "Main")->diff, Contains(QString("+Gas := TRUE;")));
             EXPECT_EQ(program(plan, "Helper")->action, "unchanged");
         }},
        {"kept generated variables", "<KeepGeneratedVars>1</KeepGeneratedVars>",
         [](PlanScenario &p) {
             p.signalRows[1][3] = "Door shut";
             p.signalRows[2][4] = "WORD";
         },
         [](const ChangePlan &plan) {
             EXPECT_EQ(actionOf(variable(plan, "(Global)", "Door")), "updated");
             EXPECT_EQ(actionOf(variable(plan, "(Global)", "Fire")), "recreated");
             EXPECT_FALSE(group(plan, "(Global)")->reordered);
         }},
    };
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.name);
        PlanScenario p(c.options);
        builtTwice(p);
        c.edit(p);
        c.check(planThenBuild(p));
    }
}

TEST(ChangePlan, AUserVariableKeepsItsPlaceAndOneOfAGeneratedNameGetsTheMarker)
{
    PlanScenario p;
    builtTwice(p);
    {
        OtherClient workbench(p.projectPath());
        workbench.addGlobal("Mine", "my own");
    }
    p.signal("Gas", "Gas alarm");
    {
        OtherClient workbench(p.projectPath());
        workbench.addGlobal("Gas", "user gas");
    }
    const ChangePlan plan = planThenBuild(p);
    EXPECT_EQ(actionOf(variable(plan, "(Global)", "Mine")), "<not in the plan>");
    const VariableChange *gas = variable(plan, "(Global)", "Gas");
    EXPECT_EQ(actionOf(gas), "marked");
    EXPECT_THAT(fieldNames(gas), Contains(QString("description")));
}

TEST(ChangePlan, AProgramTheTemplateDoesNotOverwriteIsKeptAsTheUserLeftIt)
{
    PlanScenario p({}, {}, "Overwrite=\"0\"");
    builtTwice(p);
    p.writeFileBytes(p.projectPath("Helper.st"), "help; (* the user's own *)\r\n");
    p.signal("Gas", "Gas alarm");
    const ChangePlan plan = planThenBuild(p);
    ASSERT_TRUE(program(plan, "Helper"));
    EXPECT_EQ(program(plan, "Helper")->action, "kept");
    EXPECT_EQ(p.fileBytes(p.projectPath("Helper.st")), "help; (* the user's own *)\r\n");
}

TEST(ChangePlan, TheUsersDefinesAndForeignOptionsStay)
{
    PlanScenario p;
    builtTwice(p);
    p.writeFileBytes(p.projectPath("appli.EQV"), "#define USER1 1\r\n// ++ AddedByConfigurator\r\n"
                                                 "#define OLD 1\r\n// -- AddedByConfigurator\r\n"
                                                 "#define USER2 2\r\n");
    p.writeFileBytes(p.projectPath("appli.CPO"),
                     "[Other]\r\nA=1\r\n[Options]\r\nFOREIGN=1\r\nCTSEG=ON\r\n");
    const ChangePlan plan = planThenBuild(p);
    const FileChange *eqv = file(plan, "appli.EQV");
    ASSERT_TRUE(eqv);
    EXPECT_EQ(eqv->action, "changed");
    EXPECT_THAT(eqv->diff, Contains(QString("-#define OLD 1")));
    EXPECT_THAT(eqv->diff, Contains(QString("+#define PLANT 1")));
    EXPECT_THAT(eqv->diff, Not(Contains(QString("-#define USER1 1"))));
    const FileChange *cpo = file(plan, "appli.CPO");
    ASSERT_TRUE(cpo);
    QStringList options;
    for (const OptionChange &o : cpo->options)
        options << o.key + ' ' + o.action + ' ' + o.before + ' ' + o.after;
    EXPECT_THAT(options, testing::IsSupersetOf({QString("FOREIGN unchanged 1 1"),
                                                QString("CTSEG changed ON OFF"),
                                                QString("LARGEJUMP appended  ON")}));
}

TEST(ChangePlan, AGroupLockedByAnotherClientIsPlannedAsSkippedAndThePlanWritesNothing)
{
    PlanScenario p;
    builtTwice(p);
    p.signalRows[2][3] = "Fire alarm, hall 2";
    // The workbench is another process: it holds the lock, and the project open, throughout.
    QProcess workbench;
    workbench.start(QStringLiteral(TESSILY_BIN "/k5db-lock-probe"),
                    {p.projectPath(), "group", "(Global)", "hold"});
    ASSERT_TRUE(workbench.waitForReadyRead(30000));
    ASSERT_EQ(workbench.readLine().trimmed(), "0");
    const ChangePlan plan = planThenBuild(p);
    workbench.closeWriteChannel();
    EXPECT_TRUE(workbench.waitForFinished(30000));
    const GroupPlan *global = group(plan, "(Global)");
    ASSERT_TRUE(global);
    EXPECT_TRUE(global->skipped);
    EXPECT_TRUE(global->variables.empty());
    EXPECT_THAT(p.texts(), Contains(QString("Unable to lock variable group ((Global)), variables "
                                            "not created")));
}

TEST(ChangePlan, AMultiTaskWorkspaceIsPlannedAsUnpackedThenAsReused)
{
    PlanScenario p("<GenerateMultiTaskApp default=\"TRUE\"/>");
    twoSignals(p);
    // the main task's files and project as the build makes them, the template's own included
    const ChangePlan first = planThenBuild(p, "MainTask");
    ASSERT_EQ(first.projects.size(), 1u);
    EXPECT_EQ(first.projects[0].workspace, "unpacked");
    EXPECT_EQ(first.projects[0].folder, p.projectPath("MainTask"));
    ASSERT_TRUE(file(first, "appli.CPO"));
    EXPECT_THAT(file(first, "appli.CPO")->options,
                Contains(testing::Field(&OptionChange::key, QString("CTSEG"))));
    // and every file the unpacking made beside the main task
    QStringList made, planned;
    for (const QString &name : p.folderState().keys()) {
        if (!name.startsWith("MainTask/"))
            made << name;
    }
    for (const FileChange &f : first.projects[0].workspaceFiles) {
        EXPECT_EQ(f.action, "created") << f.name.toStdString();
        planned << f.name;
    }
    made.sort();
    planned.sort();
    EXPECT_EQ(planned, made);
    EXPECT_THAT(planned, Contains(QString("Plant.w5l")));
    EXPECT_THAT(planned, Contains(QString("Task2/appli.k5p")));
    p.signalRows[2][3] = "Fire alarm, hall 2";
    const ChangePlan second = planThenBuild(p, "MainTask");
    EXPECT_EQ(second.projects.at(0).workspace, "reused");
    EXPECT_EQ(actionOf(variable(second, "(Global)", "Fire")), "updated");
}

// Two workbooks of one multi-task workspace: the plan unpacks it once, as the build does.
TEST(ChangePlan, TheSecondRunOfAPlanReusesTheWorkspaceTheFirstWouldUnpack)
{
    PlanScenario p("<GenerateMultiTaskApp default=\"TRUE\"/>");
    twoSignals(p);
    const std::vector<WorkbookChooser> books{WorkbookChooser::forPath(p.writeWorkbook("a.xlsx")),
                                             WorkbookChooser::forPath(p.writeWorkbook("b.xlsx"))};
    const auto created = [&p] {
        return p.texts().filter("MultiTasking template created successfully").size();
    };
    const ChangePlan plan = planGeneration(p.run, p.state, p.log, p.db, p.settings, books);
    ASSERT_TRUE(plan.ok) << logOf(p).toStdString();
    EXPECT_EQ(created(), 1);
    ASSERT_EQ(plan.projects.size(), 1u);
    EXPECT_EQ(plan.projects[0].workspace, "unpacked");
    p.useSettings();
    ASSERT_TRUE(p.run.GenerateFromWorkbook(books[0], false));
    ASSERT_TRUE(p.run.GenerateFromWorkbook(books[1], true));
    EXPECT_EQ(created(), 1);
}

// A command run in the workbook's folder names the workbook without a folder: the project
// B3 names relative to it still gets a folder to make the workspace beside, planned or built.
TEST(ChangePlan, AWorkspaceIsMadeForAWorkbookNamedWithoutItsFolder)
{
    PlanScenario p("<GenerateMultiTaskApp default=\"TRUE\"/>");
    twoSignals(p);
    p.writeWorkbook();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(p.dir.path()));
    const auto back = qScopeGuard([&before] { QDir::setCurrent(before); });
    const WorkbookChooser book = WorkbookChooser::forPath("book.xlsx");
    const ChangePlan plan = planGeneration(p.run, p.state, p.log, p.db, p.settings, {book});
    ASSERT_TRUE(plan.ok) << logOf(p).toStdString();
    EXPECT_EQ(plan.projects.at(0).folder, p.projectPath("MainTask"));
    p.useSettings();
    ASSERT_TRUE(p.run.GenerateFromWorkbook(book, false)) << logOf(p).toStdString();
    EXPECT_TRUE(QFileInfo(p.projectPath("MainTask")).isDir());
}

TEST(ChangePlan, ASecondWorkbookSeesWhatTheFirstWouldHaveChanged)
{
    PlanScenario p("<KeepGeneratedVars>1</KeepGeneratedVars>");
    builtTwice(p);
    p.signal("Gas", "Gas alarm");
    const QString first = p.writeWorkbook("first.xlsx");
    p.signalRows[1][3] = "Door shut";
    p.signalRows[3][4] = "INT"; // Gas, made by the first run, is recreated by the second
    const QString second = p.writeWorkbook("second.xlsx");
    const QString dumpBefore = p.dump();
    const auto filesBefore = p.folderState();
    const std::vector<WorkbookChooser> books{WorkbookChooser::forPath(first),
                                             WorkbookChooser::forPath(second)};
    const ChangePlan plan = planGeneration(p.run, p.state, p.log, p.db, p.settings, books);
    ASSERT_TRUE(plan.ok) << logOf(p).toStdString();
    EXPECT_EQ(differences(filesBefore, p.folderState()), QStringList());
    p.useSettings();
    ASSERT_TRUE(p.run.GenerateFromWorkbook(books[0], false));
    ASSERT_TRUE(p.run.GenerateFromWorkbook(books[1], true));
    EXPECT_EQ(sorted(planChanges(plan)),
              sorted(buildChanges(dumpBefore, p.dump(), filesBefore, p.folderState())));
    const VariableChange *gas = variable(plan, "(Global)", "Gas");
    ASSERT_EQ(actionOf(gas), "added");
    EXPECT_THAT(gas->fields, Contains(testing::Field(&PlanField::after, QString("INT"))));
}

TEST(ChangePlan, RandomWorkbookEditsArePlannedAsTheBuildMakesThem)
{
    const QString types[] = {"BOOL", "INT", "DINT", "WORD"};
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
        PlanScenario p(pick(2) ? "<KeepGeneratedVars>1</KeepGeneratedVars>" : "");
        int next = 0;
        for (int i = 0, n = 2 + pick(6); i < n; ++i, ++next)
            p.signal(QString("S%1").arg(next), QString("Signal %1").arg(next), types[pick(4)]);
        ASSERT_TRUE(p.build()) << logOf(p).toStdString();
        for (int edit = 0, n = 1 + pick(4); edit < n; ++edit) {
            const int rows = int(p.signalRows.size()) - 1;
            const int row = 1 + pick(std::max(rows, 1));
            switch (pick(4)) {
            case 0:
                p.signal(QString("S%1").arg(next), QString("Signal %1").arg(next), types[pick(4)]);
                ++next;
                break;
            case 1:
                if (rows > 1)
                    p.signalRows.erase(p.signalRows.begin() + row);
                break;
            case 2:
                if (rows > 0)
                    p.signalRows[std::size_t(row)][3] = QString("Edited %1").arg(pick(1000));
                break;
            default:
                if (rows > 0)
                    p.signalRows[std::size_t(row)][4] = types[pick(4)];
                break;
            }
        }
        planThenBuild(p);
    }
}
