#include "common/OutsideLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

std::unique_ptr<QLibrary> loadOutsideLibrary(const QString &libraryName)
{
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates.append(QDir(QCoreApplication::applicationDirPath()).filePath(libraryName));
    candidates.append(libraryName);
    for (const QString &candidate : candidates) {
        auto library = std::make_unique<QLibrary>(candidate);
        library->setLoadHints(QLibrary::PreventUnloadHint);
        if (library->load())
            return library;
    }
    return nullptr;
}
