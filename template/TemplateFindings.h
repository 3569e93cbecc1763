#pragma once

#include "common/Diagnostics.h"

#include <QString>
#include <QStringList>

// Every problem the template check reports, each worded in one place: what is wrong and, where
// it helps, how to put it right.
namespace TemplateFinding {

Finding notWellFormed(const QString &parserMessage);
Finding nestedTooDeeply(int levels);
Finding unreadable(const QString &message);

Finding unknownElement(const QString &name, const QString &where, const QString &suggestion);
Finding unknownAttribute(const QString &name, const QString &element, const QString &suggestion);
Finding ignoredTemplateCreate(const QString &value);

Finding duplicateProgram(const QString &name, const QString &section, int firstLine);
Finding programNotRead(const QString &program, const QString &message);
Finding malformedRange(const QString &range, const QString &input);
Finding signalVariableNotNumber(const QString &name, const QString &text);
Finding layoutNotNumber(const QString &element, const QString &text);
Finding duplicateSignalType(const QString &name, int firstLine);
Finding signalTypeChildNotRead(const QString &type, const QString &child, const QString &message);
Finding variantCodeNotText(const QString &variant);

Finding unclosedPlaceholder();
Finding unknownPlaceholder(const QString &name, const QString &suggestion);
Finding markerWithoutSection(const QString &name, const QString &suggestion);
Finding unknownInlineFunction(const QString &name, const QString &suggestion);
Finding inlineFunctionArguments(const QString &name, int expected, int given);
Finding inlineFunctionInput(const QString &function, const QString &input);

Finding unknownMacro(const QString &name, const QString &suggestion);
Finding recursiveMacro(const QStringList &chain);
Finding unusedMacro(const QString &name);
Finding macroOutsideCode(const QString &name);
Finding macroNestedTooDeeply(const QString &name, int levels, int limit);

Finding sectionWithoutMarker(const QString &section, const QString &where);
Finding unknownBlockTemplate(const QString &name, const QString &suggestion);

Finding variableWithoutName();
Finding variableWithoutType(const QString &name);
Finding variableFieldBreaks(const QString &field, const QString &value);
Finding variableFieldQuote(const QString &field, const QString &value);
Finding unknownVariableType(const QString &type);
Finding unknownDirection(const QString &attr);
Finding duplicateVariable(const QString &name, const QString &group, int firstLine);

} // namespace TemplateFinding
