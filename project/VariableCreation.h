#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

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
    // A variable of the locked group as it was when the group's lines began: its handle, its
    // numbers and its texts (name, type, init, tag, description, profile, embed), each in
    // Windows-1252 and followed by a NUL.
    struct KnownVariable {
        quint32 hVar = 0, dim = 0, length = 0, flags = 0;
        QByteArray texts;
    };
    // The group's variables read in one call when the lines begin, by name as the project
    // database compares names. A name whose line has run is read from the project again, as
    // that line may have changed it.
    struct GroupVariables {
        quint32 hGroup = 0; // 0: nothing was read, every variable is asked for
        QHash<QByteArray, KnownVariable> byName;
        QSet<QByteArray> changed;
    };

    // What ReadExistingVariable turns into a line.
    struct VariableState {
        QString name, type;
        quint32 dim = 0, length = 0, flags = 0;
        QString init, tag, description, profile, embed;
    };

    struct Described;
    std::vector<Described> describedVariables(quint32 hGroup);
    void readGroupVariables(quint32 hGroup);
    VariableState readVariable(quint32 hGroup, quint32 hVar);
    const KnownVariable *knownVariable(quint32 hGroup, const QString &VarName, bool &known) const;
    quint32 findVariable(quint32 hGroup, const QString &VarName);

    void processLine(LineWork &work);
    bool isUnchanged(LineWork &work) const;
    bool prepareVariable(LineWork &work);
    void writeComments(const LineWork &work);
    void writeInitialValue(const LineWork &work);
    void writeProfile(const LineWork &work);

    ProjectContext &c;
    GroupVariables m_group;
};
