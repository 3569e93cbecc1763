#pragma once

#include "template/TemplateModel.h"
#include "template/TemplateVocabulary.h"

#include <QDomElement>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class RunLog;
class TemplateDiagnostics;
struct UserPrompts;

// Called, while a function block is created from its template, for each template-created
// element of that template, with the code section the element names.
using TemplateCallback = std::function<void(TCodeTab &section, const QDomElement &element)>;

// Replaces the user-input placeholders of `text` with the values for signal line `row`,
// looking names up in `list`.
using UserVariableReplacer = std::function<void(int row, QString &text, UserInputList &list)>;

// Returns the code section registered under `name` (any case, first match), or creates an
// empty one, owned with the other code sections, and registers it.
TCodeTab *GetCodeSection(TemplateModel &model, const QString &name);

// Where a code section goes: "block.name" is the placeholder %%name%% in the function block
// named block (the text after the first dot, at most 255 characters); a plain name, or a
// block that does not exist (reported with a plain line), is the placeholder in the default
// target.
struct SectionTarget {
    TCodeTab *target = nullptr;
    QString placeholder;
};
SectionTarget ResolveSectionTarget(const TemplateModel &model, RunLog &log, const QString &name,
                                   TCodeTab *defaultTarget);

// Turns the Macros, MainCode and FunctionBlocks sections of the template into program
// descriptors and code sections, and creates function blocks from their templates. Errors
// in one program are logged and the next program is parsed.
class TemplateParser {
public:
    TemplateParser(TemplateModel &model, RunLog &log, UserPrompts &prompts,
                   UserVariableReplacer replaceUserVariables = {});

    // Where the parser reports what it meets, with its place in the template; none in a run.
    void setDiagnostics(TemplateDiagnostics *diagnostics) { m_diagnostics = diagnostics; }

    // Parses each child of `section` as a program into `list`; `pages` owns the descriptors.
    void ParseTemplateSection(const QDomElement &section, NamedList<TCodeTab *> &list,
                              std::vector<std::unique_ptr<TCodeTab>> &pages);
    // The three sections in the order the run needs them: macros before the code using them.
    void ParseProgramSections(const QDomElement &body);

    // Applies the program vocabulary to the children of `program`, filling `D`. Throws
    // Failure for an element it cannot read; variable and user-input elements report their
    // own errors and parsing goes on.
    void ParseProgramElements(const QDomNode &program, TCodeTab &D,
                              const TemplateCallback &callback = {});

    // Creates the function block `blockName` from the child `templateName` of the
    // FunctionBlocks element; returns its name, or an empty text when its template could
    // not be parsed (the block then keeps what it received).
    QString CreateFunctionBlockFromTemplate(const QDomElement &functionBlocks,
                                            const QString &templateName, const QString &blockName,
                                            const QString &variantName,
                                            const TemplateCallback &callback);

private:
    using Handler = void (TemplateParser::*)(const QDomElement &, TCodeTab &);
    static Handler handlerFor(ElementKind kind);
    void reportDuplicate(const QDomNode &program, const QString &section, int firstLine);

    void localVariable(const QDomElement &e, TCodeTab &D);
    void globalVariable(const QDomElement &e, TCodeTab &D);
    void retainVariable(const QDomElement &e, TCodeTab &D);
    void userInput(const QDomElement &e, TCodeTab &D);
    void legacyLocalVariable(const QDomElement &e, TCodeTab &D);
    void legacyGlobalVariable(const QDomElement &e, TCodeTab &D);
    void includeFB(const QDomElement &e, TCodeTab &D);
    void deleteFolder(const QDomElement &e, TCodeTab &D);
    void addMainIncludeOption(const QDomElement &e, TCodeTab &D);
    void globalDefines(const QDomElement &e, TCodeTab &D);
    void textFile(const QDomElement &e, TCodeTab &D);
    void stratonProjectOption(const QDomElement &e, TCodeTab &D);
    void generatorOption(const QDomElement &e, TCodeTab &D);
    void code(const QDomElement &e, TCodeTab &D);
    void comment(const QDomElement &, TCodeTab &) {}

    // A child of another name contributes to the code section of that name.
    void codeSection(const QString &name, const QDomElement &e, TCodeTab &D,
                     const TemplateCallback &callback);
    void templateCreated(const QString &name, const QDomElement &e, TCodeTab &D,
                         const TemplateCallback &callback);
    void replaceForCreatedBlock(QString &text);

    TemplateModel &m_model;
    RunLog &m_log;
    UserPrompts &m_prompts;
    UserVariableReplacer m_replaceUserVariables;
    TemplateDiagnostics *m_diagnostics = nullptr;
    QDomNode m_currentChild; // the child being read, to place a failure
};
