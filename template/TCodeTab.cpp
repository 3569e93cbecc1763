#include "template/TCodeTab.h"

#include "common/CommaText.h"

#include <algorithm>

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

void TCodeTab::setIncludeFB(const QString &commaText)
{
    IncludeFB = splitCommaText(commaText);
}

void TCodeTab::addMainIncludeOption(const QString &word)
{
    const auto at = std::lower_bound(MainIncludeOptions.begin(), MainIncludeOptions.end(), word);
    if (at == MainIncludeOptions.end() || *at != word)
        MainIncludeOptions.insert(at, word);
}
