#pragma once

#include <QString>
#include <QStringList>

class ProjectFiles;
struct ProjectContext;

// Switches on the compiler options of the project in the OPTIONS section of appli.CPO: the
// fixed ones, the forced ones the settings ask for, then the template's own, each logged.
// Keys are replaced where they stand or appended; nothing else of the file changes. The file
// is replaced once, atomically, after every option is set. Throws Failure when the file
// cannot be read or written.
void WriteProjectOptions(ProjectContext &c, const QString &ProjectFolder);

// Rewrites the block of appli.EQV between the "AddedByConfigurator" markers with the
// template's defines, moving it to the end; the user's lines stay in their order. Nothing
// happens without defines. Throws Failure when the file cannot be read or written.
void UpdateEqvFile(const QString &ProjectFolder, const QStringList &GlobalDefines,
                   ProjectFiles &files);
