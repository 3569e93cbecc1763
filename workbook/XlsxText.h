#pragma once

#include <QString>
#include <pugixml.hpp>

namespace xlsx {

// Text of the workbook format as the spreadsheet shows it: characters that XML cannot carry
// are written as _xHHHH_ (a UTF-16 code unit in hexadecimal), and an underscore that would
// otherwise start such an escape as _x005F_.
QString decodeEscapes(const QString &text);

// UTF-8 text of the file as a string, escapes decoded.
QString textOf(const char *utf8);

// The text of a string item (<si> of the shared strings, <is> of an inline string): its plain
// <t>, or every <t> of its rich-text runs <r> joined; phonetic runs <rPh> are not part of it.
QString stringItemText(pugi::xml_node item);

} // namespace xlsx
