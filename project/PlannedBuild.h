#pragma once

#include "common/RecordedProjectFiles.h"
#include "project/ProjectSnapshot.h"

#include <QString>

#include <vector>

class TK5DB;

// The project side of a build that is only planned. The project database works on private
// copies of the projects (TK5DB::OpenProjectCopy) that stay open across the runs of one
// command, so a later run sees what an earlier one changed; the project's files are recorded
// instead of written. Nothing reaches the project folders and no lock is taken that another
// client would see. Each copy is read once when it is opened and once at the end: the
// difference is what the build would do.
class PlannedBuild {
public:
    struct Project {
        QString folder;       // as the build names it
        bool existed = false; // the folder held a project
        ProjectSnapshot before, after;
        quint32 hProject = 0;
    };
    struct Workspace {
        QString folder;
        bool unpacks = false; // false: an existing workspace is reused
    };

    explicit PlannedBuild(TK5DB &db) : m_db(db) {}
    ~PlannedBuild(); // closes the copies and disconnects
    PlannedBuild(const PlannedBuild &) = delete;
    PlannedBuild &operator=(const PlannedBuild &) = delete;

    RecordedProjectFiles &files() { return m_files; }
    const RecordedProjectFiles &files() const { return m_files; }

    // Connects once for all runs; false when the library refuses or offers no copies.
    bool connect();
    // Makes the copy of the project the current project of the database wrapper, opening it
    // (and reading it) the first time.
    bool open(const QString &projectFolder);
    // Notes a multi-task workspace the build makes sure of; true the first time for a folder
    // (a later run reuses what the first would have unpacked).
    bool noteWorkspace(const QString &folder, bool unpacks);

    // Reads every copy as the builds left it, then closes them. Throws Failure when a copy
    // cannot be read.
    void finish();

    const std::vector<Project> &projects() const { return m_projects; }
    const std::vector<Workspace> &workspaces() const { return m_workspaces; }

private:
    void close();

    TK5DB &m_db;
    RecordedProjectFiles m_files;
    std::vector<Project> m_projects;
    std::vector<Workspace> m_workspaces;
    bool m_connected = false;
};
