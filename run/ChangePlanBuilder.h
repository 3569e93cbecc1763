#pragma once

#include "run/ChangePlan.h"

#include <QHash>
#include <QString>
#include <QStringList>

class PlannedBuild;

// What the runs of a plan noted about one project beside the project database's copy: the
// template's programs they wrote, the template's text files, and the programs and groups
// another client's locks kept the build from.
struct PlanNotes {
    QHash<QString, bool> programs; // lower-case name -> the template overwrites it
    QStringList textFiles;         // full paths
    QStringList lockedGroups, lockedPrograms;
};

// The plan of a planned build: each project's copy before and after, and the files it would
// write. `notes` are keyed by PlanNotes::key of the project folder.
ChangePlan buildChangePlan(const PlannedBuild &build, const QHash<QString, PlanNotes> &notes,
                           bool ok);

// The key of a project folder in the notes.
QString planNotesKey(const QString &projectFolder);

// The generated main program names the time of the run in its first line, so every build
// writes it anew: true when two sources (as stored) differ in nothing else.
bool onlyGenerationTimeDiffers(const QByteArray &before, const QByteArray &after);
