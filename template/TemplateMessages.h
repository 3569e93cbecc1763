#pragma once

#include <QString>

class UserPrompts;

// The texts a user sees while the template is read, each built in one place.

inline QString duplicateSymbol(const QString &name)
{
    return QStringLiteral("Dublicate symbol in XML file :") + name;
}

inline QString errorParsingSymbol(const QString &name)
{
    return QStringLiteral("Error parsing symbol (%1) in XML file").arg(name);
}

inline QString addingFunctionBlock(const QString &templateName, const QString &blockName,
                                   const QString &variantName)
{
    return QStringLiteral("adding %1 %2 %3").arg(templateName, blockName, variantName);
}

inline QString subProgramNotFound(const QString &blockName)
{
    return QStringLiteral("SubProgram or FB not found : ") + blockName;
}

inline QString variableSectionError()
{
    return QStringLiteral("Error in XML file while reading variable section");
}

// The message box for an element of a variable or user-input section that could not be read.
void showVariableSectionError(UserPrompts &prompts);
