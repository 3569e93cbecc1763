#include "project/ProjectBuild.h"

#include "common/Failure.h"
#include "common/ProjectFileBatch.h"
#include "common/ProjectFiles.h"
#include "common/RunLog.h"
#include "project/MultiTaskProject.h"
#include "project/PlannedBuild.h"
#include "project/ProgramGeneration.h"
#include "project/ProjectContext.h"
#include "project/ProjectOptions.h"
#include "project/ProjectPath.h"
#include "project/TK5DB.h"
#include "project/VariableCreation.h"
#include "template/TCodeTab.h"
#include "template/TemplateModel.h"
#include "workbook/GeneratorOptions.h"

#include <QFileInfo>
#include <QScopeGuard>

namespace {

bool prepareMultiTask(ProjectContext &c)
{
    MultiTaskWorkspace workspace;
    bool unpacks = false;
    bool made = c.plan ? PlanMultiTaskProject(c.state.ProjectName, workspace, unpacks)
                       : CreateMultiTaskProject(c.state.ProjectName, workspace);
    if (c.plan && made) {
        if (!c.plan->noteWorkspace(c.state.ProjectName, unpacks)) {
            // a later run of the plan finds what the first would have unpacked, as the build's
            // would: nothing is made
            workspace.Msg.clear();
        } else if (unpacks) {
            // a planned unpack records the workspace's files: the build's later reads see
            // them, and the plan lists them
            try {
                for (const auto &[path, bytes] : MultiTaskWorkspaceFiles(c.state.ProjectName))
                    c.projectFiles().write(path, bytes);
            } catch (const Failure &e) {
                workspace.Msg = e.message();
                made = false;
            }
        }
    }
    if (!made) {
        c.state.BenchoraProjectList.clear();
        c.log.LogLine(QStringLiteral("Error creating MultiTaskApp:"));
        c.log.LogLine(workspace.Msg);
        return false;
    }
    c.state.BenchoraProjectList = workspace.WorkspaceFile;
    c.state.ProjectName = workspace.MainTaskFolder;
    if (!workspace.Msg.isEmpty())
        c.log.LogLine(workspace.Msg);
    c.log.LogLine(QStringLiteral("MTask folder is:") + workspace.MainTaskFolder);
    c.log.LogLine(QStringLiteral("WB project name:") + c.state.BenchoraProjectList);
    return true;
}

bool openOrCreateProject(ProjectContext &c)
{
    const QString &project = c.state.ProjectName;
    if (c.plan) {
        if (c.plan->open(project))
            return true;
        c.log.LogLine(QStringLiteral("Not able to open project: ") + project);
        return false;
    }
    if (c.db.OpenProject(project))
        return true;
    const QString folder = QFileInfo(project).path();
    if (!c.projectFiles().makeFolder(folder)) {
        c.log.LogLine(QStringLiteral("Not able to create project folder : ") + folder);
        return false;
    }
    if (c.db.CreateProject(project) != K5DB_OK) {
        c.log.LogLine(QStringLiteral("Not able to create project: ") + project);
        return false;
    }
    if (!c.db.OpenProject(project)) {
        c.log.LogLine(QStringLiteral("Not able to open project: ") + project);
        return false;
    }
    return true;
}

void deleteAppliXml(ProjectContext &c)
{
    const QString path = projectFile(c.state.ProjectName, QStringLiteral("appli.xml"));
    if (!c.settings.DeleteAppliXML || !c.projectFiles().exists(path))
        return;
    c.log.LogLine(QStringLiteral("Deleting appli.xml"));
    c.projectFiles().remove(path);
}

// Steps while the project is open; an error raised here leaves it to the caller to close.
void writeProjectContent(ProjectContext &c, TCodeTab &GenTab, TCodeTab &MainTab)
{
    deleteAppliXml(c);
    const auto logLine = [&c](const QString &text) { c.log.LogLine(text); };
    for (const FolderToDelete &folder : GenTab.DeleteFolderName)
        c.db.DeleteProjectFolder(folder.name.toUpper(), folder.recursive, logLine, QString(), 0);
    if (!c.state.XmlGeneratorOptions.KeepGeneratedVars) {
        VariableCreation variables(c);
        variables.DeleteGeneratedVariables(QStringLiteral("(Global)"));
        variables.DeleteGeneratedVariables(QStringLiteral("(Retain)"));
    }
    // The sources of the new programs are written together once every program is in place:
    // one flush to disk for all of them rather than one each.
    ProjectFileBatch sources;
    {
        c.sources = &sources;
        const auto stopCollecting = qScopeGuard([&c] { c.sources = nullptr; });
        ProgramGeneration programs(c);
        for (const auto &block : c.state.Template.FuncBlocks) {
            if (GenTab.IncludeFB.contains(block.value->name, Qt::CaseInsensitive))
                programs.GenerateStratonProgram(*block.value);
        }
        programs.GenerateStratonProgram(GenTab);
    }
    c.projectFiles().writeBatch(sources);
    UpdateEqvFile(c.state.ProjectName, c.state.Template.GlobalDefines, c.projectFiles());
    MainTab.TextFiles.SaveFiles(folderWithSeparator(c.state.ProjectName), c.log, c.projectFiles());
}

bool connect(ProjectContext &c)
{
    if (c.plan)
        return c.plan->connect();
    return c.db.Connect(nullptr, 0, 0, 0, QStringLiteral("Orvane_Tessilator"));
}

} // namespace

ProjectFiles &ProjectContext::projectFiles() const
{
    return files ? *files : ProjectFiles::disk();
}

bool UpdateStratonProject(ProjectContext &c, TCodeTab &GenTab, TCodeTab &MainTab)
{
    if (!c.db.Result) {
        c.log.LogLine(QStringLiteral("Error finding STRATON DLL"));
        return false;
    }
    if (!connect(c)) {
        c.log.LogLine(QStringLiteral("Error connecting to STRATON"));
        return false;
    }
    // Every way out below disconnects; the early failures too, so no client is left behind. A
    // planned build's copies stay open for the runs after it: the plan closes them.
    auto disconnect = qScopeGuard([&c] {
        if (!c.plan)
            c.db.Disconnect();
    });
    c.state.BenchoraProjectList = c.state.ProjectName;
    if (c.state.XmlGeneratorOptions.GenerateMultiTaskApp && !prepareMultiTask(c))
        return false;
    if (!openOrCreateProject(c))
        return false;
    {
        // A raised error closes the project without saving before it passes on.
        auto close = qScopeGuard([&c] {
            if (!c.plan)
                c.db.CloseProject();
        });
        writeProjectContent(c, GenTab, MainTab);
        c.db.SetProjectModified();
        c.db.SaveProject();
    }
    disconnect.dismiss();
    if (!c.plan)
        c.db.Disconnect();
    if (c.state.RecreatingVarCount > 0)
        c.log.LogLine(QString::asprintf("Recreated %d variables", c.state.RecreatingVarCount));
    WriteProjectOptions(c, c.state.ProjectName);
    return true;
}
