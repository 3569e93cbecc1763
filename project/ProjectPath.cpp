#include "project/ProjectPath.h"

#include <QDir>

QString pathFromWorkbook(const QString &text, const QString &workbookFolder)
{
    if (text.trimmed().isEmpty())
        return QString();
    QString path = text;
#ifndef Q_OS_WIN
    path.replace(u'\\', u'/');
#endif
    if (QDir::isRelativePath(path) && !workbookFolder.isEmpty())
        path = QDir(workbookFolder).filePath(path);
    return QDir::cleanPath(path);
}

QString projectFile(const QString &projectFolder, const QString &name)
{
    return QDir(projectFolder).filePath(name);
}

QString folderWithSeparator(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}
