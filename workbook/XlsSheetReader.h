#pragma once

#include "workbook/SheetData.h"
#include "workbook/XlsGlobals.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Reads the cells of one worksheet from its part of the Workbook stream: texts, numbers,
// booleans, error values, dates (numbers whose cell format shows a date) and the values
// formulas had when last calculated. Throws Failure naming `path` when the part is damaged.
std::unique_ptr<SheetData> readXlsSheet(const QByteArray &stream, const XlsGlobals &globals,
                                        const XlsSheetEntry &sheet, const QString &path);
