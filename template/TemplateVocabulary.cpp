#include "template/TemplateVocabulary.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

using enum ElementKind;
constexpr Qt::CaseSensitivity Exact = Qt::CaseSensitive;
constexpr Qt::CaseSensitivity AnyCase = Qt::CaseInsensitive;

constexpr const char16_t *kVarAttributes = u"name type dim attr len init create";
constexpr const char16_t *kUserInputAttributes = u"name sheet row col default type range";
constexpr const char16_t *kCodeAttributes = u"MaxIO FileName Section Folder Desc Property "
                                            u"SubProgram Overwrite UseMainVar ScanPeriod "
                                            u"ScanPhase Enabled";

// The first matching row applies, as the parsers test in this order.
const ElementWord kWords[] = {
    {Level::Root, u"VersionInfo", Exact, VersionInfo, u"version sheet row col"},
    {Level::Root, u"GeneratorOptions", Exact, GeneratorOptions, u""},
    {Level::Root, u"Macros", Exact, Macros, u""},
    {Level::Root, u"MainCode", Exact, MainCode, u""},
    {Level::Root, u"FunctionBlocks", Exact, FunctionBlocks, u""},
    {Level::Root, u"SignalTypes", Exact, SignalTypes, u""},
    {Level::Root, u"#comment", Exact, Comment, u""},

    {Level::GeneratorOptions, u"KeepGeneratedVars", Exact, GeneratorFlag, u"row col default"},
    {Level::GeneratorOptions, u"DisableVarIndicationCreatedByGenerator", Exact, GeneratorFlag,
     u"row col default"},
    {Level::GeneratorOptions, u"GenerateMultiTaskApp", Exact, GeneratorFlag, u"row col default"},
    {Level::GeneratorOptions, u"#comment", Exact, Comment, u""},

    {Level::Program, u"var", Exact, LocalVar, kVarAttributes},
    {Level::Program, u"globalvar", Exact, GlobalVar, kVarAttributes},
    {Level::Program, u"retainvar", Exact, RetainVar, kVarAttributes},
    {Level::Program, u"UserInput", Exact, UserInput, kUserInputAttributes},
    {Level::Program, u"VARIABLE", AnyCase, LegacyLocalVar, u""},
    {Level::Program, u"GLOBALVARIABLE", AnyCase, LegacyGlobalVar, u""},
    {Level::Program, u"IncludeFB", Exact, IncludeFB, u""},
    {Level::Program, u"DeleteFolder", Exact, DeleteFolder, u"Folder Recursive"},
    {Level::Program, u"AddMainIncludeOption", Exact, AddMainIncludeOption, u"Use"},
    {Level::Program, u"GlobalDefines", Exact, GlobalDefines, u""},
    {Level::Program, u"TextFile", Exact, TextFile, u"FileName Overwrite"},
    {Level::Program, u"StratonProjectOption", Exact, StratonProjectOption, u""},
    {Level::Program, u"GeneratorOption", Exact, GeneratorOption, u""},
    {Level::Program, u"CODE", AnyCase, Code, kCodeAttributes},
    {Level::Program, u"#comment", Exact, Comment, u""},

    {Level::Variable, u"varinfo", Exact, VarInfo, u"type data"},
    {Level::Variable, u"#comment", Exact, Comment, u""},

    {Level::LegacyVariable, u"name", Exact, LegacyField, u""},
    {Level::LegacyVariable, u"type", Exact, LegacyField, u""},
    {Level::LegacyVariable, u"dim", Exact, LegacyField, u""},
    {Level::LegacyVariable, u"attrib", Exact, LegacyField, u""},
    {Level::LegacyVariable, u"profile", Exact, LegacyField, u""},
    {Level::LegacyVariable, u"#comment", Exact, Comment, u""},

    {Level::SignalTypes, u"Variables", Exact, Variables, u""},

    {Level::SignalVariables, u"UserInput", Exact, UserInput, kUserInputAttributes},
    {Level::SignalVariables, u"SignalTypeStartRow", Exact, SignalTypeStartRow, u""},
    {Level::SignalVariables, u"SignalTypeSheet", Exact, SignalTypeSheet, u""},
    {Level::SignalVariables, u"SignalTypeColon", Exact, SignalTypeColon, u""},
    {Level::SignalVariables, u"RowDisableColon", Exact, RowDisableColon, u""},
    {Level::SignalVariables, u"#comment", Exact, Comment, u""},

    {Level::SignalType, u"var", Exact, LocalVar, kVarAttributes},
    {Level::SignalType, u"globalvar", Exact, GlobalVar, kVarAttributes},
    {Level::SignalType, u"retainvar", Exact, RetainVar, kVarAttributes},
    {Level::SignalType, u"VARIABLE", AnyCase, LegacyLocalVar, u""},
    {Level::SignalType, u"GLOBALVARIABLE", AnyCase, LegacyGlobalVar, u""},
    {Level::SignalType, u"IncludeFB", Exact, IncludeFB, u""},
    {Level::SignalType, u"#comment", Exact, Comment, u""},
};

const InlineFunctionWord kInlineFunctions[] = {
    {u"INC", TFuncId::fiINC, 0},
    {u"ADD", TFuncId::fiADD, 1},
};

QStringList words(const char16_t *text)
{
    return QString::fromUtf16(text).split(u' ', Qt::SkipEmptyParts);
}

// Optimal string alignment distance: insertions, deletions, substitutions and swaps of two
// neighbours each cost 1. Names are short; the table is rows of the shorter name.
int editDistance(QStringView a, QStringView b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (qsizetype i = 0; i <= n; ++i)
        d[i][0] = int(i);
    for (qsizetype j = 0; j <= m; ++j)
        d[0][j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

} // namespace

const ElementWord *findElement(Level level, QStringView name)
{
    for (const ElementWord &w : kWords) {
        if (w.level == level && QStringView(w.name).compare(name, w.sensitivity) == 0)
            return &w;
    }
    return nullptr;
}

QStringList elementNames(Level level)
{
    QStringList names;
    for (const ElementWord &w : kWords) {
        if (w.level == level && w.kind != ElementKind::Comment)
            names.append(QString::fromUtf16(w.name));
    }
    return names;
}

QStringList attributeNames(const ElementWord &word)
{
    return words(word.attributes);
}

QStringList codeSectionAttributes()
{
    return words(u"TemplateCreate InsertInTab");
}

QStringList variantAttributes()
{
    return words(u"option template initcode MainIncludeOption SignTypIncludeOpt1 "
                 u"SignTypIncludeOpt2");
}

QStringList versionInfoAttributes()
{
    return attributeNames(*findElement(Level::Root, u"VersionInfo"));
}

const InlineFunctionWord *findInlineFunction(QStringView name)
{
    for (const InlineFunctionWord &f : kInlineFunctions) {
        if (name == QStringView(f.name))
            return &f;
    }
    return nullptr;
}

QStringList inlineFunctionNames()
{
    QStringList names;
    for (const InlineFunctionWord &f : kInlineFunctions)
        names.append(QString::fromUtf16(f.name));
    return names;
}

QString nearestName(QStringView name, const QStringList &known)
{
    // Long names tolerate two slips, short ones one; a name of two letters none but its case.
    const int allowed = name.size() >= 7 ? 2 : name.size() >= 3 ? 1 : 0;
    QString best;
    int bestDistance = allowed + 1;
    const QString lower = name.toString().toLower();
    for (const QString &k : known) {
        if (name.compare(k, Qt::CaseInsensitive) == 0)
            return k;
        if (std::abs(k.size() - name.size()) > allowed)
            continue; // too far apart in length alone
        const int d = editDistance(lower, k.toLower());
        if (d < bestDistance) {
            bestDistance = d;
            best = k;
        }
    }
    return best;
}
