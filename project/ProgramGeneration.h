#pragma once

#include <QString>

class TCodeTab;
struct ProjectContext;

// Puts one program descriptor into the open project: the program in its folder, its
// attributes and source when it is new, then its global, retain and local variables, all
// while the program is locked.
class ProgramGeneration {
public:
    explicit ProgramGeneration(ProjectContext &context) : c(context) {}

    // True when the program was locked and every variable group processed succeeded.
    bool GenerateStratonProgram(const TCodeTab &Tab);

    // The folder of a "\"-separated path below ParentFolder (0 = the project's top folder),
    // made where missing. 0 for an empty path and for a folder neither made nor found.
    quint32 LocateProgramFolder(quint32 ParentFolder, const QString &Path);

private:
    quint32 findOrCreateProgram(const TCodeTab &Tab, quint32 hFolder, bool &created);
    void setNewProgramAttributes(const TCodeTab &Tab, quint32 hProgram);
    bool writeVariableGroups(const TCodeTab &Tab);
    quint32 findSubFolder(quint32 ParentFolder, const QString &name);

    ProjectContext &c;
};
