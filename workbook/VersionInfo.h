#pragma once

#include <QString>
#include <cstdint>

class QDomElement;
class RunLog;
class WorkbookComponent;

// The version a template requires of the workbook, and where the workbook holds its own.
struct TVersionInfo {
    QString Version; // empty switches the check off
    std::int32_t Sheet = 0;
    std::int32_t Row = 0;
    std::int32_t Col = 0;
};

// Fills `info` from a VersionInfo element. Version stays empty unless sheet, row and col
// are all numbers.
void ReadVersionInfo(const QDomElement &element, TVersionInfo &info);

// Compares the workbook's version cell with the template's version and logs the outcome.
// Returns false on a mismatch, which ends the run. A version cell that cannot be read
// switches the check off silently (true).
bool CheckVersion(WorkbookComponent &excel, const TVersionInfo &info, RunLog &log);
