#pragma once

#include "common/NamedList.h"
#include "template/TCodeTab.h"
#include "template/TSignalTypeTab.h"
#include "template/TemplateCodeInsert.h"

#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

// Signal variables: names of signal sheet columns with the 0-based index of their cell in a
// signal line; in document order, looked up in any case, repeats kept.
using SignalVariableList = NamedList<std::int32_t>;

// Everything one run reads from the template. The owner vectors stand for the window's page
// controls, which own the descriptors and signal types; the name-keyed lists refer to them.
// The run's reset empties all of it.
struct TemplateModel {
    // Owners ("page controls"), in the order the pages were added.
    std::vector<std::unique_ptr<TCodeTab>> MainCodePages;
    std::vector<std::unique_ptr<TCodeTab>> MacrosPages;
    std::vector<std::unique_ptr<TCodeTab>> FunctionBlocksPages;
    std::vector<std::unique_ptr<TCodeTab>> CodeSectionsPages;
    std::vector<std::unique_ptr<TSignalTypeTab>> SignalTypesPages;

    // Look-up lists, with the sort, case and repeat policies the template sections need.
    NamedList<TCodeTab *> MainCode{NameOrder::Sorted, NameRepeats::Refuse};
    NamedList<TCodeTab *> Macros{NameOrder::Sorted, NameRepeats::Refuse};
    NamedList<TCodeTab *> FuncBlocks{NameOrder::Insertion, NameRepeats::Keep};
    NamedList<TCodeTab *> CodeSectionsToInclude{NameOrder::Insertion, NameRepeats::Keep};
    NamedList<TSignalTypeTab *> SignTypes{NameOrder::Sorted, NameRepeats::Refuse};

    // Collected from every program of the template.
    QStringList GlobalDefines;         // the defines text, unindented as a whole
    QStringList StratonProjectOptions; // document order, repeats kept
    bool DisableRecreateVarError = false;

    // The signal line whose function block is being created from its template; empty
    // otherwise.
    TTemplateCodeInsert TemplateCodeInsert;

    // From the signal types' Variables element.
    SignalVariableList SignVariables{NameOrder::Insertion, NameRepeats::Keep};
    UserInputList SignUserVar{NameOrder::Insertion, NameRepeats::Keep}; // document order
    // For each sheet column from 1 up to SignalTypeRightMostCol (index 0 unused): the index
    // in SignUserVar of the user input read from that column, or -1 for none.
    std::vector<int> ExcelSheetCol2SignalTypeVarsArr;
};
