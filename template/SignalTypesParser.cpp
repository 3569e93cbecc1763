#include "template/SignalTypesParser.h"

#include "common/Failure.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "template/TemplateMessages.h"
#include "template/TextLines.h"
#include "template/UserInputCheck.h"
#include "template/UserInputParser.h"
#include "template/VariableDeclaration.h"
#include "template/XmlText.h"

#include <QDomNode>
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

    void readVariables(const QDomElement &variables);
    void readVariablesChild(const QDomNode &child);
    void readSignalVariable(const QDomNode &child);
    void readSignalType(const QDomNode &node);
    void readSignalTypeChild(TSignalTypeTab &type, const QDomNode &child);
    void readVariant(TSignalTypeTab &type, const QDomNode &node);
};

void SignalTypesReader::readVariables(const QDomElement &variables)
{
    try {
        for (QDomNode c = variables.firstChild(); !c.isNull(); c = c.nextSibling())
            readVariablesChild(c);
    } catch (const Failure &) {
        log.LogError(errorParsingVariablesSection());
    }
}

void SignalTypesReader::readVariablesChild(const QDomNode &node)
{
    const QString name = node.nodeName();
    const QDomElement child = node.toElement();
    if (name == u"UserInput") {
        if (const TUserInputType *input = ParseUserInput(child, model.SignUserVar, log, prompts))
            sheet.raiseRightMostCol(input->v.ColNo);
    } else if (name == u"SignalTypeStartRow") {
        sheet.SignalTypeRow = wholeNumber(child);
    } else if (name == u"SignalTypeSheet") {
        sheet.SignalTypeSheet = wholeNumber(child);
    } else if (name == u"SignalTypeColon") {
        const int column = wholeNumber(child);
        sheet.SignalTypeColon = column - 1;
        sheet.raiseRightMostCol(column);
    } else if (name == u"RowDisableColon") {
        const int column = wholeNumber(child);
        sheet.RowDisableColon = column - 1; // 0 gives -1: no line is disabled
        sheet.raiseRightMostCol(column);
    } else if (name != u"#comment") {
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
        model.SignVariables.add(name, 0);
    }
}

void SignalTypesReader::readSignalType(const QDomNode &node)
{
    const QString name = node.nodeName();
    model.SignalTypesPages.push_back(std::make_unique<TSignalTypeTab>(name));
    TSignalTypeTab &type = *model.SignalTypesPages.back();
    if (model.SignTypes.add(name, &type) < 0)
        log.LogError(duplicateSymbol(name));
    for (QDomNode c = node.firstChild(); !c.isNull(); c = c.nextSibling()) {
        try {
            readSignalTypeChild(type, c);
        } catch (const Failure &) {
            log.LogError(errorParsingSignalType(name, c.nodeName()));
        }
    }
}

void SignalTypesReader::readSignalTypeChild(TSignalTypeTab &type, const QDomNode &child)
{
    const QString name = child.nodeName();
    const QDomElement element = child.toElement();
    if (name == u"var") {
        ParseVariable(element, type.reLocVar, prompts);
    } else if (name == u"globalvar") {
        ParseVariable(element, type.reGloVar, prompts);
    } else if (name == u"retainvar") {
        ParseVariable(element, type.reRetainVar, prompts);
    } else if (name.compare(u"VARIABLE", Qt::CaseInsensitive) == 0) {
        ParseLegacyVariable(element, type.reLocVar, prompts);
    } else if (name.compare(u"GLOBALVARIABLE", Qt::CaseInsensitive) == 0) {
        ParseLegacyVariable(element, type.reGloVar, prompts);
    } else if (name == u"IncludeFB") {
        if (const std::optional<QString> text = elementText(element))
            type.setIncludeFB(*text);
    } else if (name != u"#comment") {
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
    UnindentLines(variant.reCode);
}

} // namespace

void ParseSignalTypes(const QDomElement &SignalTypes, TemplateModel &model, SignalSheetState &sheet,
                      RunLog &log, UserPrompts &prompts)
{
    SignalTypesReader reader{model, sheet, log, prompts};
    for (QDomNode c = SignalTypes.firstChild(); !c.isNull(); c = c.nextSibling()) {
        if (c.nodeName() == u"Variables")
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
