#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1252, the 8-bit code page of the files the STRATON workbench reads. A character
// outside it becomes '?'. Surrogate pairs count as one character.
QByteArray toWindows1252(QStringView text);

// Reads Windows-1252 bytes; the five codes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) are taken as the control characters of the same code, as Windows does.
QString fromWindows1252(QByteArrayView bytes);
