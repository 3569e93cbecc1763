#pragma once

#include <QDomDocument>
#include <QString>

class RunLog;
struct RunState;
struct UserPrompts;

// Loads the template file. Throws Failure with the parser's message.
QDomDocument loadTemplateDocument(const QString &path);

// Parses the Macros, MainCode and FunctionBlocks sections of the template's root element,
// then SignalTypes, and builds the signal sheet's column map. Errors inside one element are
// reported and parsing goes on; what escapes is thrown.
void parseTemplateSections(RunState &state, RunLog &log, UserPrompts &prompts,
                           const QDomElement &body);
