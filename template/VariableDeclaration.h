#pragma once

#include <QDomElement>
#include <QString>
#include <QStringList>

class UserPrompts;

// The variable declaration line: twelve comma-separated fields, the description, profile and
// embedded properties in double quotes, nothing escaped.
QString FormatVariableLine(const QString &name, const QString &type, const QString &dim,
                           const QString &attr, const QString &reserved, const QString &init,
                           const QString &tag, const QString &desc, const QString &profile,
                           const QString &embed, const QString &len, const QString &create);

// Reads a var, globalvar or retainvar element and appends its twelve-field line to `target`.
// An element that cannot be read shows the variable-section message box and adds nothing.
void ParseVariable(const QDomElement &element, QStringList &target, UserPrompts &prompts);

// Reads a VARIABLE or GLOBALVARIABLE element (children name, type, dim, attrib, profile)
// and appends its five-field line; errors as for ParseVariable.
void ParseLegacyVariable(const QDomElement &element, QStringList &target, UserPrompts &prompts);
