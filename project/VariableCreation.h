#pragma once

#include <QString>
#include <QStringList>

struct ProjectContext;

// Turns variable declaration lines into variables of the open project and keeps them in step
// with later runs: each line's variable is created, left alone when unchanged, updated in
// place, or deleted and created again when its definition changed.
class VariableCreation {
public:
    explicit VariableCreation(ProjectContext &context) : c(context) {}

    // Processes the lines of one group; MarkerFlag is set for "(Global)" and "(Retain)".
    // False only when the group cannot be locked. The group is unlocked on every way out.
    bool CreateGroupVariables(const QString &GroupName, quint32 hGroup, const QStringList &Lines,
                              bool MarkerFlag);

    // The variable's line rebuilt from the project (empty when there is no such variable);
    // true when the generator made it. HasSyb tells whether its embedded properties hold
    // "<syb>". Throws Failure for a description too long to read.
    bool ReadExistingVariable(quint32 hGroup, const QString &VarName, bool &HasSyb,
                              QStringList &Existing);

    // Removes the variables of a group whose description carries the generator marker.
    void DeleteGeneratedVariables(const QString &GroupName);
    bool DeleteMarkedVariables(const QString &GroupName, quint32 hGroup);

private:
    struct LineWork;

    void processLine(LineWork &work);
    bool isUnchanged(LineWork &work) const;
    bool prepareVariable(LineWork &work);
    void writeComments(const LineWork &work);
    void writeInitialValue(const LineWork &work);
    void writeProfile(const LineWork &work);

    ProjectContext &c;
};
