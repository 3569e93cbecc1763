#pragma once

#include "common/Diagnostics.h"

#include <QByteArray>
#include <QString>

struct TemplateModel;
struct SignalSheetState;

// Checks a template without writing anything: the XML, the vocabulary, what the real parsers
// meet while reading it, macros, placeholders, code sections and markers, and variables.
// `name` is how the diagnostics name the file. A file that cannot be read is one error.
DiagnosticList CheckTemplateFile(const QString &path, const QString &name);
DiagnosticList CheckTemplateText(const QByteArray &source, const QString &name);

// The same, also handing out what the parsers read, for the workbook check. `readable` is
// false when the template is no well-formed XML document; the model is then empty.
DiagnosticList CheckTemplateText(const QByteArray &source, const QString &name,
                                 TemplateModel &model, SignalSheetState &sheet, bool &readable);
