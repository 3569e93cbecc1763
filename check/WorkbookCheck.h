#pragma once

#include "common/Diagnostics.h"

#include <QString>

struct TemplateModel;
struct SignalSheetState;
class QDomElement;
class WorkbookComponent;

// What a run would reject or generate wrongly in a workbook, read through the same code as a
// run: the version check, signal rows of types the template does not define, cells a user
// input rejects (with the message the run logs), and a main program type the template lacks.
// The workbook must be open and active in `excel`; `name` is how the diagnostics name it.
DiagnosticList CheckWorkbookAgainstTemplate(WorkbookComponent &excel, const QString &name,
                                            const QDomElement &versionInfo,
                                            const TemplateModel &model,
                                            const SignalSheetState &sheet);

// The template the workbook names in B2, resolved as a run resolves it (relative to the
// workbook's folder, backslashes as separators); empty when B2 is empty.
QString templateNamedInB2(WorkbookComponent &excel, const QString &workbookPath,
                          QString *asWritten = nullptr);
