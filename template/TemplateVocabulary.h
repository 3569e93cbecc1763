#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <Qt>
#include <cstdint>

// The words of the template language: which elements stand where, which attributes each
// takes, and the inline functions with their arguments. The parsers dispatch on this table
// and the template check tests templates against it, so the two cannot disagree.

// Where an element stands.
enum class Level {
    Root,             // children of the document element: the sections
    GeneratorOptions, // children of GeneratorOptions
    Program,          // children of a program of Macros, MainCode or FunctionBlocks
    Variable,         // children of var, globalvar and retainvar
    LegacyVariable,   // children of VARIABLE and GLOBALVARIABLE
    SignalTypes,      // children of SignalTypes (any other name is a signal type)
    SignalVariables,  // children of Variables (any other name is a signal variable)
    SignalType,       // children of a signal type (any other name is an option variant)
};

enum class ElementKind {
    Comment,
    // Root
    VersionInfo,
    GeneratorOptions,
    Macros,
    MainCode,
    FunctionBlocks,
    SignalTypes,
    // GeneratorOptions
    GeneratorFlag,
    // Program and signal type
    LocalVar,
    GlobalVar,
    RetainVar,
    UserInput,
    LegacyLocalVar,
    LegacyGlobalVar,
    IncludeFB,
    DeleteFolder,
    AddMainIncludeOption,
    GlobalDefines,
    TextFile,
    StratonProjectOption,
    GeneratorOption,
    Code,
    // Variables
    VarInfo,
    LegacyField,
    // SignalTypes and Variables
    Variables,
    SignalTypeStartRow,
    SignalTypeSheet,
    SignalTypeColon,
    RowDisableColon,
};

struct ElementWord {
    Level level;
    const char16_t *name;
    Qt::CaseSensitivity sensitivity;
    ElementKind kind;
    const char16_t *attributes; // separated by blanks; empty: the element takes none
};

// The word `name` stands for at `level`, or none: a name the level gives a meaning of its own
// (a code section, a signal type, a signal variable, an option variant).
const ElementWord *findElement(Level level, QStringView name);
// The element names known at `level`, comments left out.
QStringList elementNames(Level level);
QStringList attributeNames(const ElementWord &word);

// Attributes of the elements whose names are the template's own.
QStringList codeSectionAttributes(); // a program child that contributes to a code section
QStringList variantAttributes();     // an option variant of a signal type
QStringList versionInfoAttributes();

// The inline functions of user-input placeholders, %%#NAME(argument)#input%%.
enum class TFuncId : std::uint8_t { fiUnknown, fiINC, fiADD };
struct InlineFunctionWord {
    const char16_t *name;
    TFuncId id;
    int arguments; // how many the function uses: 0 or 1
};
const InlineFunctionWord *findInlineFunction(QStringView name); // exact case
QStringList inlineFunctionNames();

// The known name closest to `name` when it is near enough to be a slip (letter case, a
// letter or two wrong, missing, extra or swapped); otherwise empty.
QString nearestName(QStringView name, const QStringList &known);
