#include "template/TCodeTab.h"

TCodeTab::TCodeTab(const QString &name) : name(name) {}

void TCodeTab::Clear()
{
    InputVariables.clear();
    reCode.clear();
    reGloVar.clear();
    reRetainVar.clear();
    reLocVar.clear();
    DeleteFolderName.clear();
    MainIncludeOptions.clear();
    TextFiles.Clear();
}

void TCodeTab::InputVariablesObjectsFree()
{
    for (auto &entry : InputVariables)
        entry.value.record.reset();
}
