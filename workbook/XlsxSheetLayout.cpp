#include "workbook/XlsxSheetLayout.h"

#include <cstring>

namespace xlsx {

namespace {

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || (c & 0x80);
}

QByteArrayView localPart(QByteArrayView name)
{
    const qsizetype colon = name.lastIndexOf(':');
    return colon < 0 ? name : name.sliced(colon + 1);
}

// The name of the tag starting at `lt` (the position of '<', or of "</" for an end tag).
QByteArrayView tagName(QByteArrayView part, qsizetype lt)
{
    qsizetype begin = lt + 1;
    if (begin < part.size() && part[begin] == '/')
        ++begin;
    qsizetype end = begin;
    while (end < part.size() && isNameChar(part[end]))
        ++end;
    return part.sliced(begin, end - begin);
}

// The first element's start tag: after the declaration, processing instructions and
// comments, which the part's head may hold.
qsizetype firstElement(QByteArrayView part)
{
    for (qsizetype at = part.indexOf('<'); at >= 0; at = part.indexOf('<', at + 1)) {
        if (at + 1 < part.size() && (part[at + 1] == '?' || part[at + 1] == '!')) {
            const qsizetype close = part.indexOf('>', at);
            if (close < 0)
                return -1;
            at = close;
            continue;
        }
        return at;
    }
    return -1;
}

// The position of the start tag '<' of the first element of local name `name` at or after
// `from` in an element-only stretch of markup, or -1.
qsizetype findStartTag(QByteArrayView part, QByteArrayView name, qsizetype from)
{
    for (qsizetype at = part.indexOf(name, from); at > 0; at = part.indexOf(name, at + 1)) {
        const qsizetype after = at + name.size();
        if (after < part.size() && isNameChar(part[after]))
            continue;
        qsizetype lt = at - 1;
        while (lt >= 0 && isNameChar(part[lt]) && part[lt] != ':')
            --lt;
        if (lt >= 0 && part[lt] == ':') { // a prefix
            --lt;
            while (lt >= 0 && isNameChar(part[lt]))
                --lt;
        }
        if (lt >= 0 && part[lt] == '<')
            return lt;
    }
    return -1;
}

QByteArray attributeValue(QByteArrayView tag, QByteArrayView name)
{
    for (qsizetype at = tag.indexOf(name); at > 0; at = tag.indexOf(name, at + 1)) {
        if (tag[at - 1] != ' ' && tag[at - 1] != '\t' && tag[at - 1] != '\n' && tag[at - 1] != '\r')
            continue;
        qsizetype i = at + name.size();
        while (i < tag.size() &&
               (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n' || tag[i] == '\r'))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() &&
               (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n' || tag[i] == '\r'))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\''))
            continue;
        const qsizetype close = tag.indexOf(tag[i], i + 1);
        if (close < 0)
            return {};
        return tag.sliced(i + 1, close - i - 1).toByteArray();
    }
    return {};
}

// Whether a comment, CDATA section, processing instruction or declaration starts in `text`.
// Scanned for the rare '!' and '?' rather than for "<!": memchr goes through a large sheet
// many times faster than a search for two bytes.
bool holdsMarkupDeclaration(QByteArrayView text)
{
    for (const char mark : {'!', '?'}) {
        const char *p = text.data();
        const char *end = p + text.size();
        while ((p = static_cast<const char *>(std::memchr(p, mark, std::size_t(end - p))))) {
            if (p > text.data() && p[-1] == '<')
                return true;
            ++p;
        }
    }
    return false;
}

bool declaresOtherEncoding(QByteArrayView head)
{
    if (!head.startsWith("<?xml"))
        return false;
    const qsizetype close = head.indexOf("?>");
    if (close < 0)
        return true;
    const QByteArray encoding = attributeValue(head.first(close), "encoding").toLower();
    return !encoding.isEmpty() && encoding != "utf-8" && encoding != "utf8";
}

} // namespace

std::optional<SheetLayout> findSheetHead(QByteArrayView whole)
{
    // Positions are found in the part after its byte-order mark and given in the whole.
    const qsizetype bom = whole.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const QByteArrayView part = whole.sliced(bom);
    if (part.isEmpty() || part[0] != '<' || declaresOtherEncoding(part))
        return std::nullopt;
    SheetLayout layout;
    const qsizetype root = firstElement(part);
    if (root < 0)
        return std::nullopt;
    layout.rootName = localPart(tagName(part, root)).toByteArray();
    const qsizetype sheetData = findStartTag(part, "sheetData", root);
    if (sheetData < 0)
        return std::nullopt;
    const QByteArrayView head = part.first(sheetData);
    if (holdsMarkupDeclaration(head.sliced(root))) // a comment or CDATA could hide or fake a tag
        return std::nullopt;
    if (const qsizetype dimension = findStartTag(head, "dimension", root); dimension >= 0) {
        const qsizetype close = head.indexOf('>', dimension);
        if (close > 0)
            layout.dimension = attributeValue(head.sliced(dimension, close - dimension), "ref");
    }
    const qsizetype open = part.indexOf('>', sheetData);
    if (open < 0)
        return std::nullopt;
    layout.rowsBegin = open + 1 + bom;
    if (part[open - 1] == '/') // <sheetData/>: no rows
        layout.rowsEnd = layout.rowsBegin;
    else
        layout.endTag = "</" + tagName(part, sheetData).toByteArray() + '>';
    return layout;
}

std::optional<SheetLayout> findSheetLayout(QByteArrayView whole)
{
    std::optional<SheetLayout> layout = findSheetHead(whole);
    if (!layout || layout->endTag.isEmpty())
        return layout;
    const qsizetype end = whole.lastIndexOf(layout->endTag);
    if (end < layout->rowsBegin)
        return std::nullopt;
    layout->rowsEnd = end;
    if (holdsMarkupDeclaration(whole.sliced(layout->rowsBegin, end - layout->rowsBegin)))
        return std::nullopt;
    return layout;
}

qsizetype findMarkupDeclaration(QByteArrayView text, qsizetype from)
{
    // Looked for by the rare '!' and '?', as holdsMarkupDeclaration does: '<' starts every tag.
    qsizetype first = -1;
    for (const char mark : {'!', '?'}) {
        const char *end = text.data() + (first >= 0 ? first + 1 : text.size());
        for (const char *p = text.data() + from + 1; p < end; ++p) {
            p = static_cast<const char *>(std::memchr(p, mark, std::size_t(end - p)));
            if (!p)
                break;
            if (p[-1] == '<') {
                first = p - 1 - text.data();
                break;
            }
        }
    }
    return first;
}

qsizetype findRowEnd(QByteArrayView part, qsizetype from, qsizetype searchFrom, qsizetype end)
{
    // A row end tag: "</row>" or "</prefix:row>". Nothing else in the rows ends in "row>"
    // after "</", and '<' cannot stand in text outside the CDATA sections ruled out above.
    for (qsizetype at = part.indexOf("row>", searchFrom); at >= 0 && at + 4 <= end;
         at = part.indexOf("row>", at + 1)) {
        const qsizetype lt = part.lastIndexOf('<', at);
        if (lt >= from && part[lt + 1] == '/' && localPart(tagName(part, lt)) == "row" &&
            tagName(part, lt).end() == part.data() + at + 3)
            return at + 4;
    }
    return -1;
}

qsizetype nextSliceEnd(QByteArrayView part, qsizetype from, qsizetype target, qsizetype end)
{
    if (end - from <= target)
        return end;
    const qsizetype rowEnd = findRowEnd(part, from, from + target, end);
    return rowEnd < 0 ? end : rowEnd;
}

} // namespace xlsx
