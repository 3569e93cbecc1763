#pragma once

#include <QString>
#include <QStringList>

class RunLog;

// The text the generator appends to the description of the variables it makes in "(Global)"
// and "(Retain)", so that a later run can tell them from the user's own.
inline const QString kGeneratorMarker = QStringLiteral("!CrByGen!");

// A creation condition "left op right" with op one of >= <= <> = > < (the first of these, in
// that order, that occurs). Whole numbers compare as numbers, anything else as texts by
// character code. A text without an operator gives `Default`.
bool EvaluateCondition(const QString &Text, bool Default);

// Narrows field 10 of a variable line (the embedded properties of every profile) to the
// part of the profile named in field 9: "P1[a=1] P2[b=2]" with profile P1 gives "a=1". An
// empty profile drops field 10; a profile not found drops fields 9 and 10. A missing "]"
// logs a line and leaves both fields. Lines of fewer than 5 fields are left alone; fields a
// shorter line lacks count as empty.
void SelectProfileEmbed(QStringList &Fields, RunLog &log);

// Field `number` (from 1) of a variable line, empty when the line is shorter.
QString lineField(const QStringList &fields, int number);

// The twelve-field form of a five-field line (name, type, dim, attrib, profile): the first
// four fields where they stand and the profile as field 9, so that the line compares with
// what the project gives back. Lines of any other length come back unchanged.
QStringList twelveFieldForm(const QStringList &fields);

// Whether two variable lines describe the same variable field for field. Type names are
// IEC 61131-3 names and compare without regard to case (the project database gives them back
// in its catalogue's spelling); every other field compares exactly.
bool sameFields(const QStringList &line, const QStringList &existing);
