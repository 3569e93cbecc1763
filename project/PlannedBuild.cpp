#include "project/PlannedBuild.h"

#include "project/ProjectPath.h"
#include "project/TK5DB.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString sameFolder(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// Opens the copy of the project in `folder` as the current project of `db`.
bool openCopy(TK5DB &db, const QString &folder, PlannedBuild::Project &project)
{
    if (!db.OpenProjectCopy(folder))
        return false;
    project.folder = folder;
    project.existed = QFileInfo::exists(projectFile(folder, QStringLiteral("appli.k5p")));
    project.hProject = db.hProject;
    return true;
}

// A folder without a project has nothing, not even the top folder its copy shows.
void readBefore(TK5DB &db, PlannedBuild::Project &project)
{
    if (project.existed)
        project.before = readProjectSnapshot(db);
}

} // namespace

PlannedBuild::~PlannedBuild()
{
    close();
}

bool PlannedBuild::connect()
{
    if (!m_connected) {
        if (!m_db.K5DB_OpenProjectCopy ||
            !m_db.Connect(nullptr, 0, 0, 0, QStringLiteral("Orvane_Tessilator (plan)")))
            return false;
        m_connected = true;
    }
    return true;
}

bool PlannedBuild::open(const QString &projectFolder)
{
    const QString key = sameFolder(projectFolder);
    for (const Project &project : m_projects) {
        if (sameFolder(project.folder) == key) {
            m_db.hProject = project.hProject;
            return true;
        }
    }
    Project project;
    if (!openCopy(m_db, projectFolder, project))
        return false;
    readBefore(m_db, project);
    m_projects.push_back(std::move(project));
    return true;
}

bool PlannedBuild::noteWorkspace(const QString &folder, bool unpacks)
{
    for (const Workspace &w : m_workspaces) {
        if (sameFolder(w.folder) == sameFolder(folder))
            return false;
    }
    m_workspaces.push_back({folder, unpacks});
    return true;
}

void PlannedBuild::finish()
{
    for (Project &project : m_projects) {
        m_db.hProject = project.hProject;
        project.after = readProjectSnapshot(m_db);
    }
    close();
}

void PlannedBuild::close()
{
    if (!m_connected)
        return;
    for (Project &project : m_projects) {
        m_db.hProject = project.hProject;
        m_db.CloseProject();
        project.hProject = 0;
    }
    m_db.Disconnect();
    m_connected = false;
}
