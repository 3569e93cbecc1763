#pragma once

#include <QString>
#include <QVariant>
#include <vector>

// Workbooks written as spreadsheet tools write them, for the benchmarks: the synthetic
// workbook of tools/WorkbookWriter is one writer's form only, and the reader's cost depends
// on the form.
enum class ToolForm {
    // As a scripting library writes a new workbook (openpyxl): every text an inline string,
    // each cell with its reference and type, empty cells left out, no shared strings.
    InlineStrings,
    // As a desktop spreadsheet saves one: texts in the shared-string table, cells styled,
    // empty cells kept where they carry a style, a few styled empty columns behind the data.
    SharedStringsAndStyles,
};

struct ToolSheet {
    QString name;
    std::vector<std::vector<QVariant>> rows; // from A1; an invalid QVariant is an empty cell
};

// Writes the sheets as an .xlsx package at `path`; ends the program when it cannot.
void writeToolXlsx(const QString &path, const std::vector<ToolSheet> &sheets, ToolForm form);
