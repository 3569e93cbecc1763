#pragma once

#include <QString>
#include <cstdint>

// A number in the packed 30-bit form that RK and MULRK cells use.
double biffRkValue(std::uint32_t rk);

// The text of an error value code ("#DIV/0!", "#N/A", ...); an unknown code gives "#N/A".
QString biffErrorText(std::uint8_t code);

// A date serial of the workbook's date system as days since 1899-12-30. In the 1900 system
// serial 1 is 1900-01-01 and serial 60 the 1900-02-29 that never was, so serials from 1 up to
// 61 lie one day later than their count of days; times of day alone (below 1) stay as they
// are. In the 1904 system serial 0 is 1904-01-01.
double biffDateDays(double serial, bool dateSystem1904);
