#include "template/TemplateFindings.h"

namespace TemplateFinding {

namespace {

Finding error(const QString &message)
{
    return {Severity::Error, message};
}

Finding warning(const QString &message)
{
    return {Severity::Warning, message};
}

QString didYouMean(const QString &suggestion)
{
    return suggestion.isEmpty() ? QString()
                                : QStringLiteral(" (did you mean \"%1\"?)").arg(suggestion);
}

} // namespace

Finding notWellFormed(const QString &parserMessage)
{
    return error(QStringLiteral("not well-formed XML: %1").arg(parserMessage));
}

Finding nestedTooDeeply(int levels)
{
    return error(QStringLiteral("elements nested deeper than %1 levels").arg(levels));
}

Finding unreadable(const QString &message)
{
    return error(message);
}

Finding unknownElement(const QString &name, const QString &where, const QString &suggestion)
{
    return warning(QStringLiteral("unknown element \"%1\" in %2%3; it is ignored")
                       .arg(name, where, didYouMean(suggestion)));
}

Finding unknownAttribute(const QString &name, const QString &element, const QString &suggestion)
{
    return warning(QStringLiteral("unknown attribute \"%1\" on %2%3; it is ignored")
                       .arg(name, element, didYouMean(suggestion)));
}

Finding ignoredTemplateCreate(const QString &value)
{
    return warning(QStringLiteral("TemplateCreate=\"%1\" makes the element contribute nothing; "
                                  "write \"yes\" (lower case) or leave the attribute out")
                       .arg(value));
}

Finding duplicateProgram(const QString &name, const QString &section, int firstLine)
{
    return error(QStringLiteral("%1 \"%2\" is defined twice (names ignore case; the first is "
                                "on line %3); the second cannot be reached")
                     .arg(section, name)
                     .arg(firstLine));
}

Finding programNotRead(const QString &program, const QString &message)
{
    return error(QStringLiteral("%1; the rest of \"%2\" is not read").arg(message, program));
}

Finding malformedRange(const QString &range, const QString &input)
{
    return error(QStringLiteral("range \"%1\" of user input \"%2\" is not MIN..MAX with whole "
                                "numbers; the input is not range-checked")
                     .arg(range, input));
}

Finding signalVariableNotNumber(const QString &name, const QString &text)
{
    return error(QStringLiteral("signal variable \"%1\" needs a column number, not \"%2\"; "
                                "it would read column A")
                     .arg(name, text));
}

Finding layoutNotNumber(const QString &element, const QString &text)
{
    return error(QStringLiteral("%1 needs a whole number, not \"%2\"; the rest of Variables is "
                                "not read")
                     .arg(element, text));
}

Finding duplicateSignalType(const QString &name, int firstLine)
{
    return error(QStringLiteral("signal type \"%1\" is defined twice (names ignore case; the "
                                "first is on line %2); the second cannot be reached")
                     .arg(name)
                     .arg(firstLine));
}

Finding signalTypeChildNotRead(const QString &type, const QString &child, const QString &message)
{
    return error(
        QStringLiteral("%1; \"%2\" of signal type \"%3\" is not read").arg(message, child, type));
}

Finding variantCodeNotText(const QString &variant)
{
    return error(QStringLiteral("the code of option variant \"%1\" is not a single text (a "
                                "comment or an element inside it?); it is ignored")
                     .arg(variant));
}

Finding unclosedPlaceholder()
{
    return error(QStringLiteral("\"%%\" without its closing \"%%\" on this line"));
}

Finding unknownPlaceholder(const QString &name, const QString &suggestion)
{
    return error(QStringLiteral("placeholder %%%1%% names no user input, signal variable or "
                                "code section%2; it stays in the text as written")
                     .arg(name, didYouMean(suggestion)));
}

Finding markerWithoutSection(const QString &name, const QString &suggestion)
{
    return warning(QStringLiteral("no code section fills marker %%%1%%, and no user input or "
                                  "signal variable has that name%2")
                       .arg(name, didYouMean(suggestion)));
}

Finding unknownInlineFunction(const QString &name, const QString &suggestion)
{
    return warning(QStringLiteral("unknown inline function \"%1\"%2; the value is inserted "
                                  "unchanged")
                       .arg(name, didYouMean(suggestion)));
}

Finding inlineFunctionArguments(const QString &name, int expected, int given)
{
    return warning(QStringLiteral("inline function %1 takes %2 argument%3, not %4")
                       .arg(name)
                       .arg(expected)
                       .arg(expected == 1 ? "" : "s")
                       .arg(given));
}

Finding inlineFunctionInput(const QString &function, const QString &input)
{
    return error(QStringLiteral("inline function %1 is applied to \"%2\", which is no user "
                                "input; the placeholder stays in the text as written")
                     .arg(function, input));
}

Finding unknownMacro(const QString &name, const QString &suggestion)
{
    return error(QStringLiteral("macro call \"%1\" names no macro%2; the line stays as written")
                     .arg(name, didYouMean(suggestion)));
}

Finding recursiveMacro(const QStringList &chain)
{
    return error(QStringLiteral("macro \"%1\" calls itself (%2); the repeated call is not "
                                "expanded")
                     .arg(chain.front(), chain.join(QStringLiteral(" -> "))));
}

Finding unusedMacro(const QString &name)
{
    return warning(QStringLiteral("macro \"%1\" is never called").arg(name));
}

Finding macroNestedTooDeeply(const QString &name, int levels, int limit)
{
    return error(QStringLiteral("macro \"%1\" calls macros %2 levels deep; calls deeper than %3 "
                                "levels are not expanded")
                     .arg(name)
                     .arg(levels)
                     .arg(limit));
}

Finding macroOutsideCode(const QString &name)
{
    return error(QStringLiteral("macro \"%1\" is called in a code section, where macros are not "
                                "expanded; call it in a CODE element")
                     .arg(name));
}

Finding sectionWithoutMarker(const QString &section, const QString &where)
{
    return error(QStringLiteral("no marker %%%1%% in %2 receives code section \"%1\"; its "
                                "code would go before the first line")
                     .arg(section, where));
}

Finding unknownBlockTemplate(const QString &name, const QString &suggestion)
{
    return error(QStringLiteral("template \"%1\" names no function block%2; the blocks made "
                                "from it would be empty")
                     .arg(name, didYouMean(suggestion)));
}

Finding variableWithoutName()
{
    return error(QStringLiteral("variable without a name"));
}

Finding variableWithoutType(const QString &name)
{
    return error(QStringLiteral("variable \"%1\" has no type").arg(name));
}

Finding variableFieldBreaks(const QString &field, const QString &value)
{
    return error(QStringLiteral("%1 \"%2\" holds a blank or a comma, which splits the "
                                "declaration into more fields")
                     .arg(field, value));
}

Finding variableFieldQuote(const QString &field, const QString &value)
{
    return error(QStringLiteral("%1 \"%2\" holds a double quote, which ends its quoted field")
                     .arg(field, value));
}

Finding unknownVariableType(const QString &type)
{
    return warning(QStringLiteral("type \"%1\" is neither an IEC 61131-3 elementary type, a "
                                  "standard function block nor a function block of this "
                                  "template (it may come from a library)")
                       .arg(type));
}

Finding unknownDirection(const QString &attr)
{
    return warning(QStringLiteral("attr \"%1\" is none of IN, OUT and INOUT").arg(attr));
}

Finding duplicateVariable(const QString &name, const QString &group, int firstLine)
{
    return error(QStringLiteral("variable \"%1\" is declared twice in %2 (names ignore case; the "
                                "first is on line %3)")
                     .arg(name, group)
                     .arg(firstLine));
}

} // namespace TemplateFinding
