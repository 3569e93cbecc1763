#include "workbook/XlsxText.h"

#include "workbook/XlsxPackage.h"

#include <cstring>

namespace xlsx {

namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The code unit of an escape _xHHHH_ starting at `at`, or -1 when none starts there.
int escapeAt(const QString &text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return -1;
    int value = 0;
    for (qsizetype i = at + 2; i < at + 6; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

void appendRunText(QString &text, pugi::xml_node node)
{
    for (const pugi::xml_node child : node.children()) {
        if (std::strcmp(localName(child.name()), "t") == 0)
            text += textOf(child.child_value());
    }
}

} // namespace

QString decodeEscapes(const QString &text)
{
    qsizetype next = text.indexOf(QLatin1StringView("_x"));
    if (next < 0)
        return text;
    QString decoded;
    decoded.reserve(text.size());
    qsizetype from = 0;
    while (next >= 0) {
        const int unit = escapeAt(text, next);
        if (unit < 0) {
            next = text.indexOf(QLatin1StringView("_x"), next + 1);
            continue;
        }
        decoded += QStringView(text).mid(from, next - from);
        decoded += QChar(char16_t(unit));
        from = next + 7;
        next = text.indexOf(QLatin1StringView("_x"), from);
    }
    decoded += QStringView(text).mid(from);
    return decoded;
}

QString textOf(const char *utf8)
{
    // Most texts hold no escape: looked for in the bytes, before any conversion.
    for (const char *p = std::strchr(utf8, '_'); p; p = std::strchr(p + 1, '_')) {
        if (p[1] == 'x')
            return decodeEscapes(QString::fromUtf8(utf8));
    }
    return QString::fromUtf8(utf8);
}

QString stringItemText(pugi::xml_node item)
{
    QString text;
    for (const pugi::xml_node child : item.children()) {
        const char *name = localName(child.name());
        if (std::strcmp(name, "t") == 0)
            text += textOf(child.child_value());
        else if (std::strcmp(name, "r") == 0)
            appendRunText(text, child);
    }
    return text;
}

} // namespace xlsx
