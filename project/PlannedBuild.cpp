#include "project/PlannedBuild.h"

#include "project/ProjectPath.h"
#include "project/TK5DB.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
    awaitPrefetch();
    if (!m_connected) {
        if (!m_db.K5DB_OpenProjectCopy ||
            !m_db.Connect(nullptr, 0, 0, 0, QStringLiteral("Orvane_Tessilator (plan)")))
            return false;
        m_connected = true;
    }
    return true;
}

bool PlannedBuild::isOpen(const QString &projectFolder) const
{
    const QString key = sameFolder(projectFolder);
    return std::any_of(m_projects.begin(), m_projects.end(),
                       [&key](const Project &p) { return sameFolder(p.folder) == key; });
}

bool PlannedBuild::open(const QString &projectFolder)
{
    awaitPrefetch();
    const QString key = sameFolder(projectFolder);
    for (const Project &project : m_projects) {
        if (sameFolder(project.folder) == key) {
            m_db.hProject = project.hProject;
            return true;
        }
    }
    if (takePrefetched(projectFolder))
        return true;
    Project project;
    if (!openCopy(m_db, projectFolder, project))
        return false;
    readBefore(m_db, project);
    m_projects.push_back(std::move(project));
    return true;
}

void PlannedBuild::prefetch(const QString &projectFolder)
{
    awaitPrefetch();
    if (m_prefetched && sameFolder(m_prefetched->project.folder) == sameFolder(projectFolder))
        return;
    dropPrefetched();
    if (isOpen(projectFolder) || !m_db.Result || !connect())
        return;
    // The copy is made here: its pages are then the main thread's memory, which the build
    // goes on to change; only the reading runs beside the run.
    m_prefetched.emplace();
    if (!openCopy(m_db, projectFolder, m_prefetched->project)) {
        m_prefetched.reset();
        return;
    }
    m_prefetching = std::thread([this] {
        try {
            readBefore(m_db, m_prefetched->project);
        } catch (...) {
            m_prefetched->failure = std::current_exception();
        }
    });
}

void PlannedBuild::awaitPrefetch()
{
    if (m_prefetching.joinable())
        m_prefetching.join();
}

// Takes over the copy read ahead when it is of `projectFolder`, as open() would have opened
// and read it; closes it otherwise. A copy that could not be opened is opened again by the
// caller, so that a failure is met where it always was.
bool PlannedBuild::takePrefetched(const QString &projectFolder)
{
    if (!m_prefetched)
        return false;
    if (!m_prefetched->project.hProject ||
        sameFolder(m_prefetched->project.folder) != sameFolder(projectFolder)) {
        dropPrefetched();
        return false;
    }
    Prefetched ahead = std::move(*m_prefetched);
    m_prefetched.reset();
    m_db.hProject = ahead.project.hProject;
    if (ahead.failure)
        std::rethrow_exception(ahead.failure);
    m_projects.push_back(std::move(ahead.project));
    return true;
}

void PlannedBuild::dropPrefetched()
{
    if (m_prefetched && m_prefetched->project.hProject) {
        m_db.hProject = m_prefetched->project.hProject;
        m_db.CloseProject();
    }
    m_prefetched.reset();
}

bool PlannedBuild::noteWorkspace(const QString &folder, bool unpacks)
{
    awaitPrefetch();
    for (const Workspace &w : m_workspaces) {
        if (sameFolder(w.folder) == sameFolder(folder))
            return false;
    }
    m_workspaces.push_back({folder, unpacks});
    return true;
}

void PlannedBuild::finish()
{
    awaitPrefetch();
    dropPrefetched();
    for (Project &project : m_projects) {
        m_db.hProject = project.hProject;
        project.after = readProjectSnapshot(m_db);
    }
    close();
}

void PlannedBuild::close()
{
    awaitPrefetch();
    dropPrefetched();
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
