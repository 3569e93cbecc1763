#pragma once

#include <QString>

// A path the workbook names (the project folder in B3): a backslash is a folder separator, as
// workbooks are written on Windows; a relative path is taken from the workbook's folder. The
// result uses "/" and has no trailing separator. An empty text stays empty.
QString pathFromWorkbook(const QString &text, const QString &workbookFolder);

// A file or folder below a project folder.
QString projectFile(const QString &projectFolder, const QString &name);

// The folder with a trailing "/", for joining names to it by appending.
QString folderWithSeparator(const QString &folder);
