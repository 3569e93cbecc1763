#include "check/TemplateCheck.h"

#include "check/CheckContext.h"
#include "check/MacroPass.h"
#include "check/PlaceholderPass.h"
#include "check/SectionPass.h"
#include "check/VariablePass.h"
#include "check/VocabularyPass.h"
#include "common/Failure.h"
#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "template/SignalTypesParser.h"
#include "template/TemplateDocument.h"
#include "template/TemplateFindings.h"
#include "template/TemplateParser.h"

#include <QFile>

namespace {

// The parsers' message boxes and log lines: the diagnostics say the same with a place.
struct SilentPrompts final : UserPrompts {
    void message(const QString &, const QString &) override {}
};

void runParsers(CheckContext &c)
{
    RunLog log;
    SilentPrompts prompts;
    TemplateParser parser(c.model, log, prompts);
    parser.setDiagnostics(&c.diagnostics);
    parser.ParseProgramSections(c.body);
    ParseSignalTypes(c.body.firstChildElement(QStringLiteral("SignalTypes")), c.model, c.sheet, log,
                     prompts, &c.diagnostics);
    BuildColumnMap(c.model, c.sheet);
}

} // namespace

DiagnosticList CheckTemplateText(const QByteArray &source, const QString &name,
                                 TemplateModel &model, SignalSheetState &sheet, bool &readable)
{
    TemplateDiagnostics diagnostics(name, source);
    readable = false;
    QDomDocument document;
    try {
        document = ParseTemplateDocument(source, name);
    } catch (const TemplateSyntaxError &e) {
        // Only the nesting bound knows no column.
        diagnostics.add({e.line, e.column},
                        e.column > 0 ? TemplateFinding::notWellFormed(e.reason)
                                     : TemplateFinding::nestedTooDeeply(kMaxTemplateDepth));
        return diagnostics.list();
    }
    readable = true;
    CheckContext c(document.documentElement(), diagnostics);
    CheckVocabulary(c);
    runParsers(c);
    CheckMacros(c);
    CheckPlaceholders(c);
    CheckCodeSections(c);
    CheckVariables(c);
    CheckFunctionBlockNames(c);
    model = std::move(c.model);
    sheet = c.sheet;
    return diagnostics.list();
}

DiagnosticList CheckTemplateText(const QByteArray &source, const QString &name)
{
    TemplateModel model;
    SignalSheetState sheet;
    bool readable = false;
    return CheckTemplateText(source, name, model, sheet, readable);
}

DiagnosticList CheckTemplateFile(const QString &path, const QString &name)
{
    QFile file(path);
    DiagnosticList list;
    if (!file.open(QIODevice::ReadOnly)) {
        list.add({name, 0, 0, QString(), Severity::Error, file.errorString()});
        return list;
    }
    if (file.size() > kMaxTemplateBytes) {
        list.add({name, 0, 0, QString(), Severity::Error,
                  QStringLiteral("the file is larger than %1 MB")
                      .arg(kMaxTemplateBytes / (1024 * 1024))});
        return list;
    }
    return CheckTemplateText(file.readAll(), name);
}
