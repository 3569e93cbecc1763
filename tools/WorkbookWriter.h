#pragma once

#include <QString>
#include <QVariant>
#include <vector>

// Writes simple workbooks (.xlsx) for the tests, the benchmarks and the examples: sheets of
// texts, numbers and booleans, row by row from A1. An invalid QVariant leaves the cell empty.
struct SheetContent {
    QString name;
    std::vector<std::vector<QVariant>> rows;
};

// Throws Failure naming the file when it cannot be written.
void writeXlsx(const QString &path, const std::vector<SheetContent> &sheets);
