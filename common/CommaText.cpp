#include "common/CommaText.h"

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

QString quoteCommaItem(QStringView item)
{
    bool needsQuotes = false;
    for (const QChar c : item) {
        if (c.unicode() <= 32 || c == u',' || c == u'"') {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return item.toString();
    QString quoted;
    quoted.reserve(item.size() + 2);
    quoted += u'"';
    for (const QChar c : item) {
        if (c == u'"')
            quoted += u'"';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

QString joinCommaText(const QStringList &items)
{
    if (items.size() == 1 && items.front().isEmpty())
        return QStringLiteral("\"\"");
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += u',';
        text += quoteCommaItem(items[i]);
    }
    return text;
}
