#pragma once

#include "common/NamedList.h"
#include "expand/TemplateCodeInsert.h"
#include "template/TCodeTab.h"
#include "template/TSignalTypeTab.h"

#include <QStringList>
#include <memory>
#include <vector>

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
};
