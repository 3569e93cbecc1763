#include "workbook/CellAddress.h"

#include "workbook/SheetData.h"

std::optional<CellAddress> parseA1(QStringView text)
{
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$')
        ++i;
    int column = 0;
    const qsizetype lettersStart = i;
    for (; i < text.size() && text[i].isLetter() && text[i].unicode() < 128; ++i) {
        column = column * 26 + (text[i].toUpper().unicode() - 'A' + 1);
        if (column > kMaxSheetColumns)
            return std::nullopt;
    }
    if (i == lettersStart)
        return std::nullopt;
    if (i < text.size() && text[i] == u'$')
        ++i;
    int row = 0;
    const qsizetype digitsStart = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        row = row * 10 + (text[i].unicode() - '0');
        if (row > kMaxSheetRows)
            return std::nullopt;
    }
    if (i == digitsStart || i != text.size() || row < 1)
        return std::nullopt;
    return CellAddress{row, column};
}

QString columnName(int column)
{
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}
