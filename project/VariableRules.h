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
