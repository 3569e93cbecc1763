#include "template/UserInputCheck.h"

#include "common/LenientInt.h"
#include "workbook/CellAddress.h"

#include <QRegularExpression>

namespace {

QString typeExpected(const TUserInputType &R)
{
    return QStringLiteral("Value of type (%1) expected").arg(R.v.VarTypeStr);
}

QString rangeExpected(const TIntRange &range)
{
    return QStringLiteral("Value in range (%1..%2) expected").arg(range.Min).arg(range.Max);
}

// A decimal number with '.' as separator: sign, digits, fraction, exponent, nothing behind.
bool isDecimalNumber(const QString &value)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(value).hasMatch();
}

QString checkInt(const QString &value, const TUserInputType &R)
{
    const std::optional<int> n = tryReadInt(value);
    if (!n)
        return typeExpected(R);
    const TIntRange &range = R.v.IntRange;
    if (range.RangeUsed && (*n < range.Min || *n > range.Max))
        return rangeExpected(range);
    return {};
}

QString checkBool(QString &value, const TUserInputType &R)
{
    const QString upper = value.toUpper();
    if (upper == u"TRUE" || upper == u"FALSE") {
        value = upper;
        return {};
    }
    const std::optional<int> n = tryReadInt(value);
    if (!n)
        return typeExpected(R);
    value = *n == 0 ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
    return {};
}

QString checkReal(QString &value, const TUserInputType &R)
{
    if (isDecimalNumber(value))
        return {};
    // A workbook in a locale with a decimal comma shows 3,5; the template wants 3.5.
    const qsizetype comma = value.indexOf(u',');
    if (comma >= 0)
        value[comma] = u'.';
    return isDecimalNumber(value) ? QString() : typeExpected(R);
}

} // namespace

UserInputCheckResult CheckUserInputValue(QString &value, const TUserInputType &R)
{
    if (value.isEmpty())
        return {};
    QString message;
    switch (R.v.VarType) {
    case TVarType::tInt:
        message = checkInt(value, R);
        break;
    case TVarType::tBool:
        message = checkBool(value, R);
        break;
    case TVarType::tReal:
        message = checkReal(value, R);
        break;
    case TVarType::tUnknown:
    case TVarType::tString:
        break;
    }
    if (message.isEmpty())
        return {};
    value = R.v.Default;
    return {false, message};
}

QString ColumnLetters(int column)
{
    return columnName(column);
}

QString valueNotAcceptedLine(const QString &value, const QString &sheetName, int row, int column)
{
    return QStringLiteral("Value (%1) in '%2' sheet, row(%3) col(%4) is not accepted")
        .arg(value, sheetName, QString::number(row), ColumnLetters(column));
}

QString usingDefaultValueLine(const QString &value)
{
    return QStringLiteral("Using default value (%1)").arg(value);
}
