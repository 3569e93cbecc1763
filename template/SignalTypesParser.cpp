#include "template/SignalTypesParser.h"

#include "common/Failure.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "template/TemplateDiagnostics.h"
#include "template/TemplateFindings.h"
#include "template/TemplateMessages.h"
#include "template/TemplateVocabulary.h"
#include "template/TextLines.h"
#include "template/UserInputCheck.h"
#include "template/UserInputParser.h"
#include "template/VariableDeclaration.h"
#include "template/XmlText.h"

#include <QDomNode>
#include <QHash>
#include <algorithm>

namespace {

QString errorReadingVar(const QString &name, const QString &message)
{
    return QStringLiteral("Error while reading XML var %1 (%2)").arg(name, message);
}

QString errorParsingVariablesSection()
{
    return QStringLiteral("Error parsing signaltype variables section");
}

QString errorParsingSignalType(const QString &type, const QString &child)
{
    return QStringLiteral("Error parsing signaltype (%1) section (%2)").arg(type, child);
}

// The element's text, or "" when it has none or mixed content, for the diagnostics.
QString textOrEmpty(const QDomNode &node)
{
    const QDomElement element = node.toElement();
    return hasOnlyText(element) ? element.firstChild().nodeValue() : QString();
}

// The element's text read as a whole number; an empty element or one whose text is no
// number throws Failure with the conversion's message.
int wholeNumber(const QDomElement &element)
{
    const QString text = elementText(element).value_or(QString());
    const std::optional<int> n = tryReadInt(text);
    if (!n)
        throw Failure(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *n;
}

struct SignalTypesReader {
    TemplateModel &model;
    SignalSheetState &sheet;
    RunLog &log;
    UserPrompts &prompts;
    TemplateDiagnostics *diagnostics;
    QHash<QString, int> firstLines; // of the signal types, for the diagnostics

    void report(const QDomNode &at, const Finding &finding)
    {
        if (diagnostics)
            diagnostics->add(at, finding);
    }
    void readVariables(const QDomElement &variables);
    void readVariablesChild(const QDomNode &child);
    void readSignalVariable(const QDomNode &child);
    void readSignalType(const QDomNode &node);
    void readSignalTypeChild(TSignalTypeTab &type, const QDomNode &child);
    void readVariant(TSignalTypeTab &type, const QDomNode &node);
};

void SignalTypesReader::readVariables(const QDomElement &variables)
{
    QDomNode c = variables.firstChild();
    try {
        for (; !c.isNull(); c = c.nextSibling())
            readVariablesChild(c);
    } catch (const Failure &) {
        log.LogError(errorParsingVariablesSection());
        report(c, TemplateFinding::layoutNotNumber(c.nodeName(), textOrEmpty(c)));
    }
}

void SignalTypesReader::readVariablesChild(const QDomNode &node)
{
    const QDomElement child = node.toElement();
    const ElementWord *word = findElement(Level::SignalVariables, node.nodeName());
    switch (word ? word->kind : ElementKind::Variables) {
    case ElementKind::UserInput:
        if (const TUserInputType *input =
                ParseUserInput(child, model.SignUserVar, log, prompts, diagnostics))
            sheet.raiseRightMostCol(input->v.ColNo);
        break;
    case ElementKind::SignalTypeStartRow:
        sheet.SignalTypeRow = wholeNumber(child);
        break;
    case ElementKind::SignalTypeSheet:
        sheet.SignalTypeSheet = wholeNumber(child);
        break;
    case ElementKind::SignalTypeColon: {
        const int column = wholeNumber(child);
        sheet.SignalTypeColon = column - 1;
        sheet.raiseRightMostCol(column);
        break;
    }
    case ElementKind::RowDisableColon: {
        const int column = wholeNumber(child);
        sheet.RowDisableColon = column - 1; // 0 gives -1: no line is disabled
        sheet.raiseRightMostCol(column);
        break;
    }
    case ElementKind::Comment:
        break;
    default: // any other name is a signal variable
        readSignalVariable(node);
    }
}

void SignalTypesReader::readSignalVariable(const QDomNode &node)
{
    const QString name = node.nodeName();
    try {
        const int column = wholeNumber(node.toElement());
        model.SignVariables.add(name, column - 1);
        sheet.raiseRightMostCol(column);
    } catch (const Failure &f) {
        log.LogError(errorReadingVar(name, f.message()));
        report(node, TemplateFinding::signalVariableNotNumber(name, textOrEmpty(node)));
        model.SignVariables.add(name, 0);
    }
}

void SignalTypesReader::readSignalType(const QDomNode &node)
{
    const QString name = node.nodeName();
    model.SignalTypesPages.push_back(std::make_unique<TSignalTypeTab>(name));
    TSignalTypeTab &type = *model.SignalTypesPages.back();
    if (model.SignTypes.add(name, &type) < 0) {
        log.LogError(duplicateSymbol(name));
        if (!node.isComment())
            report(node, TemplateFinding::duplicateSignalType(
                             name, firstLines.value(name.toCaseFolded())));
    } else if (diagnostics) {
        firstLines.insert(name.toCaseFolded(), diagnostics->start(node).line);
    }
    for (QDomNode c = node.firstChild(); !c.isNull(); c = c.nextSibling()) {
        try {
            readSignalTypeChild(type, c);
        } catch (const Failure &f) {
            log.LogError(errorParsingSignalType(name, c.nodeName()));
            report(c, TemplateFinding::signalTypeChildNotRead(name, c.nodeName(), f.message()));
        }
    }
}

void SignalTypesReader::readSignalTypeChild(TSignalTypeTab &type, const QDomNode &child)
{
    const QDomElement element = child.toElement();
    const ElementWord *word = findElement(Level::SignalType, child.nodeName());
    switch (word ? word->kind : ElementKind::Variables) {
    case ElementKind::LocalVar:
        ParseVariable(element, type.reLocVar, prompts);
        break;
    case ElementKind::GlobalVar:
        ParseVariable(element, type.reGloVar, prompts);
        break;
    case ElementKind::RetainVar:
        ParseVariable(element, type.reRetainVar, prompts);
        break;
    case ElementKind::LegacyLocalVar:
        ParseLegacyVariable(element, type.reLocVar, prompts);
        break;
    case ElementKind::LegacyGlobalVar:
        ParseLegacyVariable(element, type.reGloVar, prompts);
        break;
    case ElementKind::IncludeFB:
        if (const std::optional<QString> text = elementText(element))
            type.setIncludeFB(*text);
        break;
    case ElementKind::Comment:
        break;
    default: // any other name is an option variant
        readVariant(type, child);
    }
}

// A condition "name=value": the variable before the first '=', the value after it.
TIncludeOption includeOption(const QString &text)
{
    TIncludeOption option;
    option.Option = text;
    const qsizetype eq = text.indexOf(u'=');
    if (eq >= 0) {
        option.OptVar = text.left(eq);
        option.OptVal = text.mid(eq + 1, 255);
    }
    return option;
}

void SignalTypesReader::readVariant(TSignalTypeTab &type, const QDomNode &node)
{
    const QDomElement element = node.toElement();
    TSignalTypeSubTab &variant = *type.NewTab(node.nodeName());
    variant.Option = element.attribute(QStringLiteral("option"));
    variant.Template = element.attribute(QStringLiteral("template"));
    variant.InitCode = element.attribute(QStringLiteral("initcode"));
    variant.MainIncludeOption = element.attribute(QStringLiteral("MainIncludeOption"));
    variant.SignTypIncludeOpt[0] =
        includeOption(element.attribute(QStringLiteral("SignTypIncludeOpt1")));
    variant.SignTypIncludeOpt[1] =
        includeOption(element.attribute(QStringLiteral("SignTypIncludeOpt2")));
    if (hasOnlyText(element))
        appendTextLines(variant.reCode, element.firstChild().nodeValue());
    else if (element.hasChildNodes())
        report(node, TemplateFinding::variantCodeNotText(node.nodeName()));
    UnindentLines(variant.reCode);
}

} // namespace

void ParseSignalTypes(const QDomElement &SignalTypes, TemplateModel &model, SignalSheetState &sheet,
                      RunLog &log, UserPrompts &prompts, TemplateDiagnostics *diagnostics)
{
    SignalTypesReader reader{model, sheet, log, prompts, diagnostics, {}};
    for (QDomNode c = SignalTypes.firstChild(); !c.isNull(); c = c.nextSibling()) {
        const ElementWord *word = findElement(Level::SignalTypes, c.nodeName());
        if (word && word->kind == ElementKind::Variables)
            reader.readVariables(c.toElement());
        else
            reader.readSignalType(c);
    }
}

void BuildColumnMap(TemplateModel &model, const SignalSheetState &sheet)
{
    const int last = std::max(sheet.SignalTypeRightMostCol, 0);
    model.ExcelSheetCol2SignalTypeVarsArr.assign(std::size_t(last) + 1, -1);
    for (qsizetype i = 0; i < model.SignUserVar.size(); ++i) {
        const TUserInputType *input = model.SignUserVar.valueAt(i).record.get();
        if (input && input->v.ColNo >= 0 && input->v.ColNo <= last)
            model.ExcelSheetCol2SignalTypeVarsArr[std::size_t(input->v.ColNo)] = int(i);
    }
}

SignalValueCheck signalColumnCheck(const TemplateModel &model)
{
    return [&model](int column, QString &value, QString &message) {
        const std::vector<int> &map = model.ExcelSheetCol2SignalTypeVarsArr;
        if (column < 0 || std::size_t(column) >= map.size() || map[std::size_t(column)] < 0)
            return true;
        const TUserInputType *input =
            model.SignUserVar.valueAt(map[std::size_t(column)]).record.get();
        if (!input)
            return true;
        const UserInputCheckResult result = CheckUserInputValue(value, *input);
        message = result.message;
        return result.accepted;
    };
}
