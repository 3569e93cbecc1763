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
    if (!m_db.OpenProjectCopy(projectFolder))
        return false;
    Project project;
    project.folder = projectFolder;
    project.existed = QFileInfo::exists(projectFile(projectFolder, QStringLiteral("appli.k5p")));
    project.hProject = m_db.hProject;
    // a project that is not there yet has nothing, not even the top folder its copy shows
    if (project.existed)
        project.before = readProjectSnapshot(m_db);
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
