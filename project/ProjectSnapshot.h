#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TK5DB;

// One variable as the project database holds it: its numbers, and its texts as stored
// (Windows-1252) in one block, so that a project's tens of thousands of variables are read
// and compared without a string each per text.
class VariableState {
public:
    enum Text { Name, Type, Init, Tag, Description, Profile, Embed, kTexts };

    VariableState() = default;
    VariableState(const std::array<QByteArrayView, kTexts> &texts, quint32 dim, quint32 length,
                  quint32 flags);

    quint32 dim = 0, length = 0, flags = 0;

    QByteArrayView raw(Text which) const
    {
        return QByteArrayView(m_texts).sliced(m_ends[which], m_ends[which + 1] - m_ends[which]);
    }
    QString text(Text which) const;
    QString name() const { return text(Name); }
    // The same numbers and texts.
    bool operator==(const VariableState &other) const;

private:
    QByteArray m_texts;
    std::array<qsizetype, kTexts + 1> m_ends{}; // text i is [m_ends[i], m_ends[i + 1])
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
