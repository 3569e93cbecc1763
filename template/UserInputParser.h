#pragma once

#include "template/TCodeTab.h"
#include "template/TUserInputType.h"

#include <QDomElement>
#include <QString>

class RunLog;
class TemplateDiagnostics;
struct UserPrompts;

// Reads a UserInput element (attributes name, sheet, row, col, default, type and, for the
// type "int", range), appends the entry "name=sheet,row,col,default" with its record to
// `list` and returns the record. A malformed range logs an error line and leaves the input
// without range. An element that cannot be read is reported in a message box; it then adds
// no entry and the result is null. A malformed range is also reported to `diagnostics`.
TUserInputType *ParseUserInput(const QDomElement &element, UserInputList &list, RunLog &log,
                               UserPrompts &prompts, TemplateDiagnostics *diagnostics = nullptr);

// Reads "min..max". Without ".." (or with it at the very start) there is no range; a side
// that is no whole number makes RangeError.
TIntRange ParseIntRange(const QString &text);
