#include "common/Diagnostics.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

// A cell as a spreadsheet names it: column letters, then the row (column 28, row 17: AB17).
QString cellAddressText(int row, int column)
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

} // namespace

QString severityWord(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QString Diagnostic::text() const
{
    QString place = file;
    if (!sheet.isEmpty())
        place += u':' + sheet + u'!' + cellAddressText(line, column);
    else if (line > 0)
        place += QStringLiteral(":%1").arg(line) +
                 (column > 0 ? QStringLiteral(":%1").arg(column) : QString());
    return place + QStringLiteral(": ") + severityWord(severity) + QStringLiteral(": ") + message;
}

void DiagnosticList::append(const DiagnosticList &other)
{
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
}

std::vector<Diagnostic> DiagnosticList::sorted() const
{
    std::vector<Diagnostic> items = m_items;
    // Stable: two findings at one place keep the order they were found in.
    std::stable_sort(items.begin(), items.end(), [](const Diagnostic &a, const Diagnostic &b) {
        return std::tie(a.file, a.sheet, a.line, a.column) <
               std::tie(b.file, b.sheet, b.line, b.column);
    });
    return items;
}

int DiagnosticList::count(Severity severity) const
{
    return int(std::count_if(m_items.begin(), m_items.end(),
                             [&](const Diagnostic &d) { return d.severity == severity; }));
}

namespace {

QString counted(int n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
}

} // namespace

QString DiagnosticList::summary() const
{
    return counted(count(Severity::Error), "error", "errors") + QStringLiteral(", ") +
           counted(count(Severity::Warning), "warning", "warnings");
}

QByteArray DiagnosticList::json() const
{
    QJsonArray list;
    for (const Diagnostic &d : sorted()) {
        QJsonObject o{{"file", d.file},
                      {"line", d.line},
                      {"column", d.column},
                      {"severity", severityWord(d.severity)},
                      {"message", d.message}};
        if (!d.sheet.isEmpty()) {
            o.insert("sheet", d.sheet);
            o.insert("cell", cellAddressText(d.line, d.column));
        }
        list.append(o);
    }
    const QJsonObject root{{"diagnostics", list},
                           {"errors", count(Severity::Error)},
                           {"warnings", count(Severity::Warning)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
