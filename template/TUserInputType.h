#pragma once

#include <QString>
#include <cstdint>

enum class TVarType : std::uint8_t { tUnknown, tInt, tBool, tReal, tString };

struct TIntRange {
    bool RangeError = false; // the range text was malformed
    bool RangeUsed = false;  // the element holds a valid range
    std::int32_t Min = 0;
    std::int32_t Max = 0;
};

// What one UserInput element declares, with the value read from its cell once.
struct UserInputRecord {
    QString VarName;
    std::int32_t SheetNo = -1; // -1: no cell, the value is the default
    std::int32_t RowNo = -1;
    std::int32_t ColNo = -1;
    QString Default;
    QString VarTypeStr;
    TVarType VarType = TVarType::tUnknown;
    TIntRange IntRange;
    bool ValueRead = false; // CellValue holds the cell's text
    QString CellValue;
};

// The record attached to a user-input entry; copied whole (cache included) when a
// descriptor is merged into another.
class TUserInputType {
public:
    UserInputRecord v;
};
