#include "template/TSignalTypeTab.h"

#include "common/CommaText.h"

#include <algorithm>

void TSignalTypeTab::setIncludeFB(const QString &commaText)
{
    const auto lessNoCase = [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    };
    IncludeFB.clear();
    for (const QString &name : splitCommaText(commaText)) {
        const auto at = std::lower_bound(IncludeFB.begin(), IncludeFB.end(), name, lessNoCase);
        if (at == IncludeFB.end() || QString::compare(*at, name, Qt::CaseInsensitive) != 0)
            IncludeFB.insert(at, name);
    }
}
