#include "check/VocabularyPass.h"

#include "check/CheckContext.h"
#include "template/TemplateFindings.h"
#include "template/TemplateVocabulary.h"

#include <QDomNamedNodeMap>

namespace {

void checkAttributes(CheckContext &c, const QDomElement &e, const QStringList &known)
{
    const QDomNamedNodeMap attributes = e.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QString name = attributes.item(i).nodeName();
        if (!known.contains(name))
            c.diagnostics.add(
                c.diagnostics.attributeStart(e, name),
                TemplateFinding::unknownAttribute(name, e.nodeName(), nearestName(name, known)));
    }
}

// The children of `parent` at `level`: known words get their attributes checked and their
// own children visited; unknown ones go to `other`.
void checkChildren(CheckContext &c, const QDomElement &parent, Level level,
                   const std::function<void(const QDomElement &)> &other);

void checkKnown(CheckContext &c, const QDomElement &e, const ElementWord &word)
{
    checkAttributes(c, e, attributeNames(word));
    const auto unknown = [&](Level level, const QString &where) {
        checkChildren(c, e, level, [&](const QDomElement &child) {
            c.report(child, TemplateFinding::unknownElement(
                                child.nodeName(), where,
                                nearestName(child.nodeName(), elementNames(level))));
        });
    };
    switch (word.kind) {
    case ElementKind::LocalVar:
    case ElementKind::GlobalVar:
    case ElementKind::RetainVar:
        unknown(Level::Variable, e.nodeName());
        break;
    case ElementKind::LegacyLocalVar:
    case ElementKind::LegacyGlobalVar:
        unknown(Level::LegacyVariable, e.nodeName());
        break;
    case ElementKind::GeneratorOptions:
        unknown(Level::GeneratorOptions, e.nodeName());
        break;
    default:
        break;
    }
}

void checkChildren(CheckContext &c, const QDomElement &parent, Level level,
                   const std::function<void(const QDomElement &)> &other)
{
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (const ElementWord *word = findElement(level, e.nodeName()))
            checkKnown(c, e, *word);
        else
            other(e);
    }
}

// A name the level takes as a name of the template's own (a code section, a signal variable,
// an option variant) is reported only when it is a slip of a word of that level.
// Returns whether it was reported: the attributes of a misspelt word are not the question.
bool reportSlip(CheckContext &c, const QDomElement &e, Level level, const QString &where)
{
    const QString suggestion = nearestName(e.nodeName(), elementNames(level));
    // A name close to a word is still a code section or variant of its own when its marker
    // is there.
    if (suggestion.isEmpty() || (level != Level::SignalVariables && c.hasMarker(e.nodeName())))
        return false;
    c.misspelt.insert(e.nodeName());
    c.report(e, TemplateFinding::unknownElement(e.nodeName(), where, suggestion));
    return true;
}

void checkCodeSectionElement(CheckContext &c, const QDomElement &e, const QString &program)
{
    if (reportSlip(c, e, Level::Program, QStringLiteral("program \"%1\"").arg(program)))
        return;
    checkAttributes(c, e, codeSectionAttributes());
    const QString create = e.attribute(QStringLiteral("TemplateCreate"));
    if (!create.isEmpty() && create != u"yes")
        c.diagnostics.add(c.diagnostics.attributeStart(e, QStringLiteral("TemplateCreate")),
                          TemplateFinding::ignoredTemplateCreate(create));
}

void checkPrograms(CheckContext &c, const QString &section)
{
    forEachProgram(c.body, section, [&](const QDomElement &program) {
        checkChildren(c, program, Level::Program, [&](const QDomElement &e) {
            checkCodeSectionElement(c, e, program.nodeName());
        });
    });
}

void checkSignalTypes(CheckContext &c)
{
    const QDomElement types = c.body.firstChildElement(QStringLiteral("SignalTypes"));
    checkChildren(c, types, Level::SignalTypes, [&](const QDomElement &type) {
        checkChildren(c, type, Level::SignalType, [&](const QDomElement &v) {
            if (!reportSlip(c, v, Level::SignalType,
                            QStringLiteral("signal type \"%1\"").arg(type.nodeName())))
                checkAttributes(c, v, variantAttributes());
        });
    });
    for (QDomElement variables = types.firstChildElement(QStringLiteral("Variables"));
         !variables.isNull(); variables = variables.nextSiblingElement(QStringLiteral("Variables")))
        checkChildren(c, variables, Level::SignalVariables, [&](const QDomElement &e) {
            reportSlip(c, e, Level::SignalVariables, QStringLiteral("Variables"));
        });
}

} // namespace

void CheckVocabulary(CheckContext &c)
{
    checkChildren(c, c.body, Level::Root, [&](const QDomElement &e) {
        c.report(e, TemplateFinding::unknownElement(
                        e.nodeName(), QStringLiteral("the template"),
                        nearestName(e.nodeName(), elementNames(Level::Root))));
    });
    for (const char *section : {"Macros", "MainCode", "FunctionBlocks"})
        checkPrograms(c, QString::fromLatin1(section));
    checkSignalTypes(c);
}
