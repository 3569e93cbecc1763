#pragma once

#include <QStringView>
#include <optional>

// Integers in template attributes and workbook texts: optional leading blanks, an optional
// sign, then decimal digits, or hexadecimal digits after `$`, `x`, `X`, `0x` or `0X`.
// Nothing may follow. An empty text or a value outside the signed 32-bit range is no number.
std::optional<int> tryReadInt(QStringView text);

// The same reading with a value to take when the text is no number.
int readIntOr(QStringView text, int fallback);
