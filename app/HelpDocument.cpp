#include "app/HelpDocument.h"

#include <QSettings>

QString helpDocumentPath(const std::optional<QString> &instDir)
{
    if (!instDir)
        return QStringLiteral("xxx40236.pdf");
    QString folder = *instDir;
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    return folder + QStringLiteral("PelagrinV") + QStringLiteral("1.50") + u'/' +
           QStringLiteral("40236.pdf");
}

std::optional<QString> pelagrinInstallFolder()
{
    const QSettings store(QSettings::SystemScope, QStringLiteral("Halvorn"),
                          QStringLiteral("HalvornOrvane"));
    const QVariant value = store.value(QStringLiteral("PelagrinV1.50/InstDir"));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}
