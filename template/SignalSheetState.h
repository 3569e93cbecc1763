#pragma once

#include "workbook/SignalSheetReader.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// The signal line last split into cells by the user-input reader. A run starts with
// CurrentRow -1, so that no line of an earlier run is taken for one of this run.
struct TVarFromExcel {
    std::int32_t CurrentRow = -1;
    QString RowStr;          // that line's text
    QStringList RowStrSplit; // its cells, split at commas only, quotes honoured
};

// The signal sheet as the run holds it: where the template says the signal lines are, and
// the lines the signal sheet reader copied from it.
//
// The five layout values are not reset between runs: they are 0 when the program starts, a
// template sets the first four whenever it holds their elements, and SignalTypeRightMostCol
// is only ever raised. A template without RowDisableColon therefore keeps the previous
// run's value.
struct SignalSheetState {
    std::int32_t SignalTypeRow = 0;          // first signal row, from 1
    std::int32_t SignalTypeSheet = 0;        // signal sheet number, from 1 in tab order
    std::int32_t SignalTypeColon = 0;        // cell index of the signal type name, from 0
    std::int32_t RowDisableColon = 0;        // cell index of the disable cell; negative: none
    std::int32_t SignalTypeRightMostCol = 0; // columns read per line, from column A

    QStringList lines; // the signal lines: line k holds sheet row k, as comma text
    TVarFromExcel VarFromExcel;

    // The layout as the signal sheet reader takes it.
    SignalSheetLayout readerLayout() const
    {
        return {SignalTypeSheet, SignalTypeRow, SignalTypeColon, SignalTypeRightMostCol};
    }

    // Makes sure the reader covers column `column` (from 1).
    void raiseRightMostCol(std::int32_t column)
    {
        if (column > SignalTypeRightMostCol)
            SignalTypeRightMostCol = column;
    }
};
