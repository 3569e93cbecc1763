#pragma once

#include <QString>

// Whether a cell's number format shows its number as a date or a time. The spreadsheet hands
// such cells over as dates, every other number as a number.

// True for the built-in format ids that show dates or times: 14 to 22 and 45 to 47 everywhere,
// 27 to 36 and 50 to 58 in the East Asian editions, which only those editions write.
bool isBuiltInDateFormat(int id);

// True when a format code holds a date or time code (d, m, y, h, s, or the elapsed-time forms
// [h], [m], [s]) outside quoted text, escaped characters, fill and padding characters and
// bracketed colours, conditions and locales. "General" and number formats are no dates.
bool isDateFormatCode(const QString &code);
