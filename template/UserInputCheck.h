#pragma once

#include "template/TUserInputType.h"

#include <QString>

struct UserInputCheckResult {
    bool accepted = true;
    QString message; // why the value was rejected; empty when accepted
};

// The type and range test of a user input's value. An empty value is always accepted. A
// bool value is normalised to TRUE or FALSE and a real value may have its first ',' turned
// into '.'; a rejected value is replaced by the input's default.
UserInputCheckResult CheckUserInputValue(QString &value, const TUserInputType &R);

// The column letters of a column number from 1: 1 gives A, 26 Z, 27 AA, 702 ZZ, 703 AAA.
// Numbers below 1 give an empty text.
QString ColumnLetters(int column);

// The three plain log lines that report a rejected value, in order.
QString valueNotAcceptedLine(const QString &value, const QString &sheetName, int row, int column);
QString usingDefaultValueLine(const QString &value);
