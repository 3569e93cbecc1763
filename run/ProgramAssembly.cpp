#include "run/ProgramAssembly.h"

#include "common/Failure.h"
#include "common/PlaceholderScan.h"
#include "common/RunLog.h"
#include "common/TextTrim.h"
#include "expand/PlaceholderSubstitution.h"
#include "expand/SignalLineExpansion.h"
#include "run/RunState.h"
#include "template/MergeCodeTab.h"
#include "template/TemplateParser.h"
#include "template/TextLines.h"
#include "workbook/Worksheet.h"

#include <QDateTime>
#include <QLocale>
#include <QSet>

namespace {

// Blocks included only through more nesting levels than this are not followed.
constexpr int kIncludePasses = 11;

bool holdsText(const QStringList &lines)
{
    for (const QString &l : lines)
        if (!l.isEmpty())
            return true;
    return false;
}

bool holdsAnyText(const TCodeTab &d)
{
    return holdsText(d.reCode) || holdsText(d.reGloVar) || holdsText(d.reRetainVar) ||
           holdsText(d.reLocVar);
}

void removeBlankDeclarations(QStringList &lines)
{
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        if (trimText(StripTrailingLineFeed(lines[i])).isEmpty())
            lines.removeAt(i);
}

QString generatedAt()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(now.time(), QLocale::LongFormat);
}

void replaceInTexts(PlaceholderSubstitution &s, TCodeTab &d, UserInputList &inputs)
{
    for (QStringList *lines : {&d.reCode, &d.reGloVar, &d.reRetainVar, &d.reLocVar})
        s.ReplaceUserVariablesInLines(-1, QString(), lines, inputs);
}

// Adds the include lists of every included block to GenTab's, pass after pass, so blocks
// needed by included blocks are found up to the nesting the passes reach.
void collectIncludedBlocks(TCodeTab &genTab, const NamedList<TCodeTab *> &funcBlocks)
{
    for (int pass = 0; pass < kIncludePasses; ++pass) {
        QSet<QString> included;
        for (const QString &name : genTab.IncludeFB)
            included.insert(name.toCaseFolded());
        for (const auto &entry : funcBlocks)
            if (included.contains(entry.value->name.toCaseFolded()))
                genTab.IncludeFB.append(entry.value->IncludeFB);
    }
}

// Inserts every code section at the line of its target that holds its marker.
void insertCodeSections(const AssemblyContext &c)
{
    TemplateModel &model = c.state.Template;
    for (const auto &entry : model.CodeSectionsToInclude) {
        const SectionTarget where =
            ResolveSectionTarget(model, c.log, entry.name, c.state.GenTab.get());
        const qsizetype line = FindPlaceholderLine(where.placeholder, where.target->reCode);
        if (line == -1 && holdsAnyText(*entry.value))
            c.log.LogError(
                QStringLiteral("Code section not found in main section: %1").arg(entry.name));
        MergeCodeTab(*entry.value, *where.target, line);
    }
}

// Fills the included blocks' names, folders and descriptions with the main program's user
// inputs, and the texts of blocks that use the main program's inputs with GenTab's.
void replaceInIncludedBlocks(const AssemblyContext &c, TCodeTab &mainProgram)
{
    TCodeTab &genTab = *c.state.GenTab;
    QSet<QString> included;
    for (const QString &name : genTab.IncludeFB)
        included.insert(name.toCaseFolded());
    for (const auto &entry : c.state.Template.FuncBlocks) {
        TCodeTab &block = *entry.value;
        if (included.contains(block.name.toCaseFolded())) {
            for (QString *text : {&block.StratonInfo.FileName, &block.StratonInfo.FolderName,
                                  &block.StratonInfo.Description})
                c.substitution.ReplaceUserVariables(-1, *text, mainProgram.InputVariables);
        }
        if (block.StratonInfo.UseMainVar)
            replaceInTexts(c.substitution, block, genTab.InputVariables);
    }
}

} // namespace

void createGenTab(RunState &state, RunLog &log)
{
    state.GenTab = std::make_unique<TCodeTab>(QStringLiteral("Generated Code"));
    state.GenTab->Clear();
    log.LogLine(QStringLiteral("Generate code"));
}

TCodeTab *AssembleGeneratedProgram(const AssemblyContext &c, const QString &templatePath)
{
    RunState &state = c.state;
    TCodeTab &genTab = *state.GenTab;
    state.ProjectName = cellText(c.mainSheet.Cell(3, 2));
    state.IpAddress = cellText(c.mainSheet.Cell(4, 2));
    const QString mainType = trimText(cellText(c.mainSheet.Cell(5, 2)));
    const QString mainName = trimText(cellText(c.mainSheet.Cell(6, 2)));
    c.log.LogLine(QStringLiteral("Project   : ") + state.ProjectName);
    c.log.LogLine(QStringLiteral("Main Type : ") + mainType);
    c.log.LogLine(QStringLiteral("Main Name : ") + mainName);

    genTab.reCode << generatedAtPrefix() + generatedAt()
                  << QStringLiteral("// XML :%1").arg(templatePath)
                  << QStringLiteral("// Main : %1").arg(mainType);
    TCodeTab *const *found = mainType.isEmpty() ? nullptr : state.Template.MainCode.find(mainType);
    if (!found) {
        c.log.LogError(QStringLiteral("Program type not defined in XML : ") + mainType);
        return nullptr;
    }
    TCodeTab &mainProgram = **found;
    MergeCodeTab(mainProgram, genTab, genTab.reCode.size() - 1);
    genTab.StratonInfo = mainProgram.StratonInfo;

    c.expansion.ExpandSignalLines(mainProgram, genTab);
    insertCodeSections(c);
    for (QStringList *lines : {&genTab.reGloVar, &genTab.reRetainVar, &genTab.reLocVar})
        removeBlankDeclarations(*lines);
    replaceInTexts(c.substitution, genTab, genTab.InputVariables);
    collectIncludedBlocks(genTab, state.Template.FuncBlocks);
    replaceInIncludedBlocks(c, mainProgram);
    c.substitution.ReplaceUserVariables(-1, genTab.StratonInfo.FileName, genTab.InputVariables);
    c.substitution.ReplaceUserVariables(-1, genTab.StratonInfo.FolderName, genTab.InputVariables);
    for (FolderToDelete &folder : genTab.DeleteFolderName)
        c.substitution.ReplaceUserVariables(-1, folder.name, genTab.InputVariables);
    return &mainProgram;
}

QString generatedAtPrefix()
{
    return QStringLiteral("// This code was autogenerated at ");
}
