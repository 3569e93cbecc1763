#include "workbook/CellValue.h"

#include "common/Failure.h"
#include "common/LenientInt.h"

#include <QDate>
#include <QTime>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

struct DateAndTime {
    QDate date;
    QTime time;
};

// Days since 1899-12-30 as a calendar date and a time of day, rounded to the millisecond.
// Counted on the calendar alone: a serial names a wall-clock time, which a time zone's
// daylight-saving change must not move.
DateAndTime dateFromSerial(double serial)
{
    constexpr qint64 kMsecsPerDay = 86400000;
    qint64 days = static_cast<qint64>(std::floor(serial));
    qint64 msecs = std::llround((serial - std::floor(serial)) * double(kMsecsPerDay));
    if (msecs >= kMsecsPerDay) { // rounded up to the next midnight
        ++days;
        msecs -= kMsecsPerDay;
    }
    return {QDate(1899, 12, 30).addDays(days), QTime::fromMSecsSinceStartOfDay(int(msecs))};
}

// The locale's long time form without its time-zone field: the cell holds a wall-clock time
// of no zone, and the system's own long time form names none.
QString longTimeFormat(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (c == u't' && !quoted)
            continue;
        kept += c;
    }
    return kept.simplified();
}

QString dateText(double serial, const QLocale &locale)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) // beyond any calendar date
        return generalNumberText(serial, locale);
    const DateAndTime when = dateFromSerial(serial);
    QString text = locale.toString(when.date, QLocale::ShortFormat);
    const QTime time = when.time;
    if (time.hour() != 0 || time.minute() != 0 || time.second() != 0)
        text += u' ' + locale.toString(time, longTimeFormat(locale));
    return text;
}

} // namespace

QString generalNumberText(double value, const QLocale &locale)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    char buffer[64];
    const auto printed =
        std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    *printed.ptr = '\0';
    // buffer: [-]d.dddddddddddddde[+-]xx; take the digits and the exponent apart. Built in
    // bytes and made a QString once: a sheet may hold hundreds of thousands of numbers.
    char digits[32];
    qsizetype count = 0;
    bool negative = false;
    int exponent = 0;
    for (const char *p = buffer; *p; ++p) {
        if (*p == '-' && count == 0)
            negative = true;
        else if (*p >= '0' && *p <= '9' && count < qsizetype(sizeof digits))
            digits[count++] = *p;
        else if (*p == 'e') {
            exponent = std::atoi(p + 1);
            break;
        }
    }
    while (count > 1 && digits[count - 1] == '0')
        --count;
    if (count == 1 && digits[0] == '0')
        return QStringLiteral("0");
    const auto digitsOf = [&](qsizetype from, qsizetype to) {
        return QLatin1StringView(digits + from, to - from);
    };
    const QString point = locale.decimalPoint();
    QString text;
    text.reserve(count + point.size() + 24);
    if (negative)
        text += u'-';
    if (exponent >= 15 || std::fabs(value) < 0.00001) {
        text += digitsOf(0, 1);
        if (count > 1)
            text += point + digitsOf(1, count);
        text += u'E' + QString::number(exponent);
    } else if (exponent < 0) {
        text += u'0' + point + QString(-exponent - 1, u'0') + digitsOf(0, count);
    } else if (count <= exponent + 1) {
        text += digitsOf(0, count) + QString(exponent + 1 - count, u'0');
    } else {
        text += digitsOf(0, exponent + 1) + point + digitsOf(exponent + 1, count);
    }
    return text;
}

QString cellText(const CellValue &value, const QLocale &locale)
{
    switch (value.kind) {
    case CellKind::Empty:
        return {};
    case CellKind::Text:
    case CellKind::Error:
        return value.text;
    case CellKind::Boolean:
        return value.number != 0 ? QStringLiteral("True") : QStringLiteral("False");
    case CellKind::Date:
        return dateText(value.number, locale);
    case CellKind::Number:
        break;
    }
    const double n = value.number;
    if (std::isfinite(n) && n == std::trunc(n) && std::fabs(n) < 1e15)
        return QString::number(static_cast<qint64>(n));
    return generalNumberText(n, locale);
}

CellBlock::CellBlock(int rows, int columns)
    : m_rows(rows), m_columns(columns),
      m_cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns))
{
}

const CellValue &CellBlock::at(int row, int column) const
{
    return m_cells.at(static_cast<std::size_t>(row - 1) * m_columns + (column - 1));
}

CellValue &CellBlock::at(int row, int column)
{
    return m_cells.at(static_cast<std::size_t>(row - 1) * m_columns + (column - 1));
}

int macroResultToInt(const QVariant &result)
{
    if (!result.isValid() || result.isNull())
        return 0;
    switch (result.typeId()) {
    case QMetaType::Bool:
        return result.toBool() ? -1 : 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return static_cast<int>(result.toLongLong());
    case QMetaType::Double: {
        const double d = result.toDouble();
        if (std::isfinite(d) && std::fabs(d) < 2147483648.5)
            return static_cast<int>(std::lround(d));
        break;
    }
    case QMetaType::QString: {
        if (const auto n = tryReadInt(result.toString()))
            return *n;
        break;
    }
    default:
        break;
    }
    throw Failure(QStringLiteral("Macro result is no number: ") + result.toString());
}
