#pragma once

#include "workbook/SheetData.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

enum class XlsSheetKind : std::uint8_t { Worksheet, DialogSheet, MacroSheet, Chart, Module };

struct XlsSheetEntry {
    QString name;
    std::uint32_t offset = 0; // of the sheet's BOF record in the Workbook stream
    XlsSheetKind kind = XlsSheetKind::Worksheet;
};

// What the workbook part of the stream says about all sheets.
struct XlsGlobals {
    std::vector<XlsSheetEntry> sheets;              // in tab order, hidden ones included
    std::shared_ptr<SheetData::StringPool> strings; // the shared-string table
    std::vector<bool> dateFormats;                  // by cell format (XF) index
    bool dateSystem1904 = false;

    bool isDate(std::uint16_t xf) const { return xf < dateFormats.size() && dateFormats[xf]; }
};

// Reads the workbook globals at the start of the Workbook stream and the kind of every
// sheet. Throws Failure naming `path` when the stream is damaged, encrypted or of a format
// older than Excel 97.
XlsGlobals readXlsGlobals(const QByteArray &stream, const QString &path);
