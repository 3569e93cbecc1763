#pragma once

#include <QByteArray>
#include <QString>

// Reads the Workbook stream (or the Book stream of older files) out of a compound file.
// Throws Failure naming the file when it is no compound file or a damaged one, when it holds
// an encrypted Office Open XML package, or when it holds no workbook.
QByteArray loadWorkbookStream(const QString &path);
