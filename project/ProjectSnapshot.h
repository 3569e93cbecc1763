#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class TK5DB;

// One variable as the project database holds it.
struct VariableState {
    QString name, type;
    quint32 dim = 0, length = 0, flags = 0;
    QString init, tag, description, profile, embed;
};

// One program: where it sits, what it is, its description and properties. The source is a
// file of the project folder, read by whoever compares.
struct ProgramState {
    QString name;
    QString folder; // "\"-separated path below the root; empty at the root
    quint32 section = 0, language = 0;
    QString description, structure, enabled;
    QString sourcePath;
};

struct GroupState {
    QString name;
    std::vector<VariableState> variables; // in the project's order
};

// What a build can change in a project, read through the project database: the folder tree,
// the programs and every variable group ("(Global)", "(Retain)", one per program).
struct ProjectSnapshot {
    QStringList folders; // "\"-separated paths, parents before children
    std::vector<ProgramState> programs;
    std::vector<GroupState> groups;
};

// Reads the open project of `db` (its hClient and hProject). Throws Failure when a comment is
// too long to read.
ProjectSnapshot readProjectSnapshot(TK5DB &db);
