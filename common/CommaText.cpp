#include "common/CommaText.h"

#include <vector>

namespace {

bool isSeparatingBlank(QChar c)
{
    return c.unicode() <= 32;
}

// Reads a quoted item starting at the quote at `pos`; leaves `pos` after the closing quote,
// or at the end when the quote is never closed (the item then runs to the end).
QString readQuoted(QStringView text, qsizetype &pos)
{
    QString item;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text[pos++];
        if (c != u'"') {
            item += c;
            continue;
        }
        if (pos < text.size() && text[pos] == u'"') {
            item += u'"';
            ++pos;
            continue;
        }
        break;
    }
    return item;
}

} // namespace

QStringList splitCommaText(QStringView text)
{
    return splitDelimitedText(text, u',');
}

QStringList splitDelimitedText(QStringView text, QChar delimiter)
{
    QStringList items;
    // No more items than delimiters and one: a signal line is split once per row, and a list
    // grown item by item moves its items several times.
    items.reserve(text.count(delimiter) + 1);
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size && isSeparatingBlank(text[pos]))
        ++pos;
    // Each pass consumes at least one character or ends the loop, so the loop is bounded by
    // the length of the text.
    while (pos < size) {
        if (text[pos] == u'"') {
            items.append(readQuoted(text, pos));
        } else {
            const qsizetype start = pos;
            while (pos < size && !isSeparatingBlank(text[pos]) && text[pos] != delimiter)
                ++pos;
            items.append(text.mid(start, pos - start).toString());
        }
        while (pos < size && isSeparatingBlank(text[pos]))
            ++pos;
        if (pos < size && text[pos] == delimiter) {
            if (pos + 1 == size)
                items.append(QString());
            ++pos;
            while (pos < size && isSeparatingBlank(text[pos]))
                ++pos;
        }
    }
    return items;
}

QStringList splitAtCommas(QStringView text)
{
    QStringList items;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        if (text[pos] == u'"') {
            items.append(readQuoted(text, pos));
        } else {
            const qsizetype start = pos;
            while (pos < size && text[pos] != u',')
                ++pos;
            items.append(text.mid(start, pos - start).toString());
        }
        if (pos < size && text[pos] == u',') {
            if (pos + 1 == size)
                items.append(QString());
            ++pos;
        }
    }
    return items;
}

bool commaReadingsAgree(QStringView text)
{
    bool itemStart = true;
    for (qsizetype pos = 0; pos < text.size();) {
        const QChar c = text[pos];
        if (itemStart && c == u'"') { // passed over as readQuoted reads it
            for (++pos; pos < text.size(); ++pos) {
                if (text[pos] != u'"')
                    continue;
                if (pos + 1 < text.size() && text[pos + 1] == u'"')
                    ++pos;
                else
                    break;
            }
            ++pos;
            itemStart = false;
            continue;
        }
        if (isSeparatingBlank(c))
            return false;
        itemStart = c == u',';
        ++pos;
    }
    return true;
}

namespace {

bool needsQuotes(QStringView item)
{
    for (const QChar c : item) {
        if (c.unicode() <= 32 || c == u',' || c == u'"')
            return true;
    }
    return false;
}

qsizetype quotedSize(QStringView item)
{
    return item.size() + 2 + item.count(u'"');
}

void appendQuoted(QString &text, QStringView item)
{
    text += u'"';
    for (const QChar c : item) {
        if (c == u'"')
            text += u'"';
        text += c;
    }
    text += u'"';
}

} // namespace

QString quoteCommaItem(QStringView item)
{
    if (!needsQuotes(item))
        return item.toString();
    QString quoted;
    quoted.reserve(quotedSize(item));
    appendQuoted(quoted, item);
    return quoted;
}

QString joinCommaText(const QStringList &items)
{
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    // Measured first and built in one block of the exact size: a signal sheet makes one line
    // per row, and every line is kept for the whole run.
    std::vector<bool> quoted(std::size_t(items.size()));
    qsizetype size = items.isEmpty() ? 0 : items.size() - 1;
    for (qsizetype i = 0; i < items.size(); ++i) {
        quoted[std::size_t(i)] = needsQuotes(items[i]);
        size += quoted[std::size_t(i)] ? quotedSize(items[i]) : items[i].size();
    }
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += u',';
        if (quoted[std::size_t(i)])
            appendQuoted(text, items[i]);
        else
            text += items[i];
    }
    return text;
}
