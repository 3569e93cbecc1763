#include "template/TemplateParser.h"

#include "common/Failure.h"
#include "common/RunLog.h"
#include "template/MacroExpansion.h"
#include "template/TemplateDiagnostics.h"
#include "template/TemplateFindings.h"
#include "template/TemplateMessages.h"
#include "template/TextLines.h"
#include "template/UserInputParser.h"
#include "template/VariableDeclaration.h"
#include "template/XmlText.h"

#include <QHash>
#include <limits>

namespace {

std::unique_ptr<TCodeTab> newDescriptor(const QString &name)
{
    auto tab = std::make_unique<TCodeTab>(name);
    tab->Clear();
    return tab;
}

// The text of an element that must have one.
QString requiredText(const QDomElement &e)
{
    const std::optional<QString> text = elementText(e);
    if (!text)
        throw Failure(QStringLiteral("Element \"%1\" has no text").arg(e.nodeName()));
    return *text;
}

struct SectionCode {
    const char16_t *word;
    std::int32_t code;
};
constexpr SectionCode kSectionCodes[] = {
    {u"UDFB", 16}, {u"BEGIN", 1}, {u"END", 4}, {u"SFC", 2}, {u"CHILD", 8},
};

std::int32_t sectionCode(const QString &word)
{
    for (const SectionCode &s : kSectionCodes) {
        if (word == QStringView(s.word))
            return s.code;
    }
    return 1;
}

} // namespace

TCodeTab *GetCodeSection(TemplateModel &model, const QString &name)
{
    if (TCodeTab *const *found = model.CodeSectionsToInclude.find(name))
        return *found;
    model.CodeSectionsPages.push_back(newDescriptor(name));
    TCodeTab *section = model.CodeSectionsPages.back().get();
    model.CodeSectionsToInclude.add(name, section);
    return section;
}

SectionTarget ResolveSectionTarget(const TemplateModel &model, RunLog &log, const QString &name,
                                   TCodeTab *defaultTarget)
{
    const qsizetype dot = name.indexOf(u'.');
    if (dot < 0)
        return {defaultTarget, name};
    const QString block = name.left(dot);
    const QString placeholder = name.mid(dot + 1, 255);
    if (TCodeTab *const *found = model.FuncBlocks.find(block))
        return {*found, placeholder};
    if (!block.isEmpty())
        log.LogLine(subProgramNotFound(block));
    return {defaultTarget, placeholder};
}

TemplateParser::Handler TemplateParser::handlerFor(ElementKind kind)
{
    using enum ElementKind;
    switch (kind) {
    case LocalVar:
        return &TemplateParser::localVariable;
    case GlobalVar:
        return &TemplateParser::globalVariable;
    case RetainVar:
        return &TemplateParser::retainVariable;
    case UserInput:
        return &TemplateParser::userInput;
    case LegacyLocalVar:
        return &TemplateParser::legacyLocalVariable;
    case LegacyGlobalVar:
        return &TemplateParser::legacyGlobalVariable;
    case IncludeFB:
        return &TemplateParser::includeFB;
    case DeleteFolder:
        return &TemplateParser::deleteFolder;
    case AddMainIncludeOption:
        return &TemplateParser::addMainIncludeOption;
    case GlobalDefines:
        return &TemplateParser::globalDefines;
    case TextFile:
        return &TemplateParser::textFile;
    case StratonProjectOption:
        return &TemplateParser::stratonProjectOption;
    case GeneratorOption:
        return &TemplateParser::generatorOption;
    case Code:
        return &TemplateParser::code;
    default:
        return &TemplateParser::comment;
    }
}

TemplateParser::TemplateParser(TemplateModel &model, RunLog &log, UserPrompts &prompts,
                               UserVariableReplacer replaceUserVariables)
    : m_model(model), m_log(log), m_prompts(prompts),
      m_replaceUserVariables(std::move(replaceUserVariables))
{
}

void TemplateParser::ParseTemplateSection(const QDomElement &section, NamedList<TCodeTab *> &list,
                                          std::vector<std::unique_ptr<TCodeTab>> &pages)
{
    QHash<QString, int> firstLines; // only kept for the diagnostics
    for (QDomNode c = section.firstChild(); !c.isNull(); c = c.nextSibling()) {
        pages.push_back(newDescriptor(c.nodeName()));
        TCodeTab &D = *pages.back();
        // A repeated name stays on its page, unlisted, and is still parsed.
        if (list.add(D.name, &D) < 0) {
            m_log.LogError(duplicateSymbol(D.name));
            reportDuplicate(c, section.nodeName(), firstLines.value(D.name.toCaseFolded()));
        } else if (m_diagnostics) {
            firstLines.insert(D.name.toCaseFolded(), m_diagnostics->start(c).line);
        }
        try {
            ParseProgramElements(c, D);
        } catch (const Failure &f) {
            m_log.LogError(errorParsingSymbol(D.name));
            if (m_diagnostics)
                m_diagnostics->add(m_currentChild,
                                   TemplateFinding::programNotRead(D.name, f.message()));
        }
    }
}

void TemplateParser::reportDuplicate(const QDomNode &program, const QString &section, int firstLine)
{
    if (!m_diagnostics || program.isComment())
        return;
    const QString what =
        section == u"Macros" ? QStringLiteral("macro") : QStringLiteral("main program");
    m_diagnostics->add(program,
                       TemplateFinding::duplicateProgram(program.nodeName(), what, firstLine));
}

void TemplateParser::ParseProgramSections(const QDomElement &body)
{
    ParseTemplateSection(body.firstChildElement(QStringLiteral("Macros")), m_model.Macros,
                         m_model.MacrosPages);
    ParseTemplateSection(body.firstChildElement(QStringLiteral("MainCode")), m_model.MainCode,
                         m_model.MainCodePages);
    ParseTemplateSection(body.firstChildElement(QStringLiteral("FunctionBlocks")),
                         m_model.FuncBlocks, m_model.FunctionBlocksPages);
}

void TemplateParser::ParseProgramElements(const QDomNode &program, TCodeTab &D,
                                          const TemplateCallback &callback)
{
    for (QDomNode child = program.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QString name = child.nodeName();
        const QDomElement e = child.toElement(); // null for a comment: no attributes, no text
        m_currentChild = child;
        if (const ElementWord *word = findElement(Level::Program, name))
            (this->*handlerFor(word->kind))(e, D);
        else
            codeSection(name, e, D, callback);
    }
}

QString TemplateParser::CreateFunctionBlockFromTemplate(const QDomElement &functionBlocks,
                                                        const QString &templateName,
                                                        const QString &blockName,
                                                        const QString &variantName,
                                                        const TemplateCallback &callback)
{
    m_log.LogLine(addingFunctionBlock(templateName, blockName, variantName));
    m_model.FunctionBlocksPages.push_back(newDescriptor(blockName));
    TCodeTab &D = *m_model.FunctionBlocksPages.back();
    m_model.FuncBlocks.add(blockName, &D);
    // Without a template of that name the block stays empty.
    const QDomElement blockTemplate = functionBlocks.firstChildElement(templateName);
    try {
        ParseProgramElements(blockTemplate, D, callback);
    } catch (const Failure &) {
        m_log.LogError(errorParsingSymbol(blockName));
        return QString();
    }
    D.StratonInfo.FileName += blockName;
    return blockName;
}

void TemplateParser::localVariable(const QDomElement &e, TCodeTab &D)
{
    ParseVariable(e, D.reLocVar, m_prompts);
}

void TemplateParser::globalVariable(const QDomElement &e, TCodeTab &D)
{
    ParseVariable(e, D.reGloVar, m_prompts);
}

void TemplateParser::retainVariable(const QDomElement &e, TCodeTab &D)
{
    ParseVariable(e, D.reRetainVar, m_prompts);
}

void TemplateParser::userInput(const QDomElement &e, TCodeTab &D)
{
    ParseUserInput(e, D.InputVariables, m_log, m_prompts, m_diagnostics);
}

void TemplateParser::legacyLocalVariable(const QDomElement &e, TCodeTab &D)
{
    ParseLegacyVariable(e, D.reLocVar, m_prompts);
}

void TemplateParser::legacyGlobalVariable(const QDomElement &e, TCodeTab &D)
{
    ParseLegacyVariable(e, D.reGloVar, m_prompts);
}

void TemplateParser::includeFB(const QDomElement &e, TCodeTab &D)
{
    if (const std::optional<QString> text = elementText(e))
        D.setIncludeFB(*text);
}

void TemplateParser::deleteFolder(const QDomElement &e, TCodeTab &D)
{
    const QString folder = e.attribute(QStringLiteral("Folder"));
    if (!folder.isEmpty())
        D.DeleteFolderName.push_back({folder, e.attribute(QStringLiteral("Recursive")) == u"yes"});
}

void TemplateParser::addMainIncludeOption(const QDomElement &e, TCodeTab &D)
{
    const QString word = e.attribute(QStringLiteral("Use"));
    if (!word.isEmpty())
        D.addMainIncludeOption(word);
}

void TemplateParser::globalDefines(const QDomElement &e, TCodeTab &)
{
    appendTextLines(m_model.GlobalDefines, requiredText(e));
}

void TemplateParser::textFile(const QDomElement &e, TCodeTab &D)
{
    const std::optional<QString> text = elementText(e);
    if (!text)
        return;
    // Unlike CODE's Overwrite, only the number 1 means true here; missing or unreadable is 1.
    const bool overwrite = intAttribute(e, QStringLiteral("Overwrite"), 1) == 1;
    D.TextFiles.AddFile(*text, e.attribute(QStringLiteral("FileName")), overwrite);
}

void TemplateParser::stratonProjectOption(const QDomElement &e, TCodeTab &)
{
    m_model.StratonProjectOptions.append(requiredText(e));
}

void TemplateParser::generatorOption(const QDomElement &e, TCodeTab &)
{
    if (elementText(e) == u"DisableRecreateVarError")
        m_model.DisableRecreateVarError = true;
}

void TemplateParser::code(const QDomElement &e, TCodeTab &D)
{
    StratonRecord &info = D.StratonInfo;
    const auto text = [&](const char *name) { return e.attribute(QString::fromLatin1(name)); };
    info.MaxIO = intAttribute(e, QStringLiteral("MaxIO"), std::numeric_limits<std::int32_t>::max());
    info.FileName = text("FileName");
    info.SectionName = text("Section");
    info.iSection = sectionCode(info.SectionName);
    info.FolderName = text("Folder");
    info.Description = text("Desc");
    info.StructureType = text("Property") == u"Struct";
    info.SubProgram = text("SubProgram") == u"1";
    info.Overwrite = text("Overwrite") != u"0";
    info.UseMainVar = text("UseMainVar") != u"0";
    // Schedule values are unsigned in the project; -1 stands for 4294967295.
    info.ScanPeriod = static_cast<std::uint32_t>(intAttribute(e, QStringLiteral("ScanPeriod"), 1));
    info.ScanPhase = static_cast<std::uint32_t>(intAttribute(e, QStringLiteral("ScanPhase"), 0));
    info.Enabled = intAttribute(e, QStringLiteral("Enabled"), 1) == 1;

    if (const std::optional<QString> body = elementText(e))
        D.reCode.append(splitTextLines(*body));
    UnindentLines(D.reCode);
    ExpandMacros(D.reCode, m_model.Macros, m_log);
}

void TemplateParser::codeSection(const QString &name, const QDomElement &e, TCodeTab &D,
                                 const TemplateCallback &callback)
{
    const QString create = e.attribute(QStringLiteral("TemplateCreate"));
    if (create.isEmpty()) {
        TCodeTab *section = GetCodeSection(m_model, name);
        if (const std::optional<QString> text = elementText(e))
            section->reCode.append(splitTextLines(*text));
        UnindentLines(section->reCode);
    } else if (create == u"yes") {
        templateCreated(name, e, D, callback);
    }
}

void TemplateParser::templateCreated(const QString &name, const QDomElement &e, TCodeTab &D,
                                     const TemplateCallback &callback)
{
    const QString insertInTab = e.attribute(QStringLiteral("InsertInTab"));
    QString prefix;
    if (!insertInTab.isEmpty() && !m_model.TemplateCodeInsert.isEmpty()) {
        prefix = insertInTab + u'.';
        replaceForCreatedBlock(prefix);
    }
    TCodeTab *section = GetCodeSection(m_model, prefix + name);
    if (!callback)
        return; // the normal parse only registers the section
    callback(*section, e);
    replaceForCreatedBlock(D.StratonInfo.FolderName);
}

void TemplateParser::replaceForCreatedBlock(QString &text)
{
    TTemplateCodeInsert &insert = m_model.TemplateCodeInsert;
    if (m_replaceUserVariables && insert.SignUserVar)
        m_replaceUserVariables(insert.Ln, text, *insert.SignUserVar);
}
