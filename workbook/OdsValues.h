#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Readers for the attribute values of OpenDocument spreadsheet cells. Each takes the
// attribute text as the file holds it (UTF-8) and gives no value when the text is malformed.

// office:value: a decimal number ("3", "-0.25", "1E+20").
std::optional<double> odsNumber(std::string_view text);

// office:date-value: a date "2024-03-05" or date and time "2024-03-05T13:45:30.5", as days
// since 1899-12-30 with the time of day as fraction. A time zone suffix is ignored: the
// spreadsheet shows the time as written.
std::optional<double> odsDateSerial(std::string_view text);

// office:time-value: a duration "PT13H45M30S" ("P1DT2H", "-PT0.5S") as a fraction of a day.
std::optional<double> odsDurationDays(std::string_view text);

// office:boolean-value: "true", "false", "1" or "0".
std::optional<bool> odsBoolean(std::string_view text);

// table:formula of a cell that is the boolean constant TRUE() or FALSE() ("of:=TRUE()", as
// LibreOffice stores a boolean of a workbook it imported): that constant. Such a cell carries
// the number 1 or 0 as its value but holds, shows and passes a boolean. Any other formula
// gives no value.
std::optional<bool> odsBooleanFormula(std::string_view formula);

// table:number-rows-repeated and table:number-columns-repeated: a count of at least 1. A
// missing or malformed count is 1; a count above `limit` is `limit`, since nothing past the
// sheet's end is kept anyway.
std::int64_t odsRepeatCount(std::string_view text, std::int64_t limit);
