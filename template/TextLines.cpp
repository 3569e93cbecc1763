#include "template/TextLines.h"

#include <algorithm>
#include <limits>

namespace {

bool isIndentChar(QChar c)
{
    return c == u' ' || c == u'\n' || c == u'\v';
}

// Position of the first character that is not indentation, or -1 for a line without one.
qsizetype firstTextPosition(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (!isIndentChar(line[i]))
            return i;
    }
    return -1;
}

bool isBlankText(const QString &line)
{
    return std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() <= 32; });
}

} // namespace

QString StripTrailingLineFeed(const QString &text)
{
    // Compared by hand: QString::endsWith is no inline function, and every code line of a
    // generation comes through here, often more than once.
    return !text.isEmpty() && text.back() == u'\n' ? text.chopped(1) : text;
}

void UnindentLines(QStringList &lines)
{
    qsizetype indent = std::numeric_limits<qsizetype>::max();
    for (const QString &line : std::as_const(lines)) {
        const qsizetype p = firstTextPosition(line);
        if (p >= 0)
            indent = std::min(indent, p);
    }
    for (QString &line : lines) {
        line.remove(0, std::min(indent, line.size()));
        if (line.endsWith(u'\n'))
            line.chop(1);
    }
    if (!lines.isEmpty() && isBlankText(lines.front()))
        lines.removeFirst();
}

QStringList splitTextLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.append(text.mid(start, i - start).toString());
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size() || lines.isEmpty())
        lines.append(text.mid(start).toString());
    return lines;
}

void appendTextLines(QStringList &lines, QStringView text)
{
    lines.append(splitTextLines(text));
    UnindentLines(lines);
}
