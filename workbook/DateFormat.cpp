#include "workbook/DateFormat.h"

namespace {

bool isDateLetter(QChar c)
{
    switch (c.toLower().unicode()) {
    case u'd':
    case u'm':
    case u'y':
    case u'h':
    case u's':
        return true;
    default:
        return false;
    }
}

// "[h]", "[mm]", "[ss]": elapsed time; every other bracket (colour, condition, locale,
// currency) says nothing about dates.
bool isElapsedTime(const QString &bracketed)
{
    if (bracketed.isEmpty())
        return false;
    const QChar first = bracketed.front().toLower();
    if (first != u'h' && first != u'm' && first != u's')
        return false;
    for (const QChar c : bracketed) {
        if (c.toLower() != first)
            return false;
    }
    return true;
}

} // namespace

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
           (id >= 50 && id <= 58);
}

bool isDateFormatCode(const QString &code)
{
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            if (close < 0)
                return false;
            i = close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown, padded or repeated as it is
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            if (close < 0)
                return false;
            if (isElapsedTime(code.mid(i + 1, close - i - 1)))
                return true;
            i = close;
        } else if (isDateLetter(c)) {
            return true;
        }
    }
    return false;
}
