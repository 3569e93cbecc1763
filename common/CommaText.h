#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Comma text: a list held as one text. Items are separated by commas and, outside double
// quotes, by runs of blanks and control characters; a double quote starts and ends a quoted
// item in which two double quotes stand for one; two adjacent commas or a trailing comma
// give an empty item.
QStringList splitCommaText(QStringView text);
// The same reading with another delimiter in place of the comma (such as "\" for folder paths).
QStringList splitDelimitedText(QStringView text, QChar delimiter);

// The reading that separates items at commas only: blanks stay part of an item, quotes are
// still honoured, adjacent and trailing commas still give empty items.
QStringList splitAtCommas(QStringView text);

// Whether splitAtCommas gives the items splitCommaText gives: so when no blank or control
// character stands outside a quoted item, as in every line joinCommaText writes.
bool commaReadingsAgree(QStringView text);

// Writes items as comma text: an item that holds a blank, a control character, a comma or a
// double quote is quoted with its quotes doubled; a list of one empty item is written `""`.
QString joinCommaText(const QStringList &items);

// One item as the writer puts it into comma text.
QString quoteCommaItem(QStringView item);
