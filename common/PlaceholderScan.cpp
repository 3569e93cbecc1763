#include "common/PlaceholderScan.h"

namespace {

constexpr QStringView kMarker = u"%%";

} // namespace

QString placeholderText(QStringView name)
{
    QString text;
    text.reserve(name.size() + 4);
    text.append(kMarker).append(name).append(kMarker);
    return text;
}

void NextPlaceholder(QStringView text, qsizetype &position, qsizetype &length, QString &name,
                     QString &argument)
{
    name.clear();
    argument.clear();
    length = 0;
    const qsizetype open = text.indexOf(kMarker, position);
    if (open < 0)
        return;
    position = open;
    const qsizetype close = text.indexOf(kMarker, open + 2);
    if (close < 0)
        return;
    const QStringView inner = text.mid(open + 2, close - open - 2);
    length = close + 2 - open;
    const qsizetype paren = inner.indexOf(u'(');
    const qsizetype closeParen = paren < 0 ? -1 : inner.indexOf(u')', paren + 1);
    if (closeParen < 0) {
        name = inner.toString();
        return;
    }
    argument = inner.mid(paren + 1, closeParen - paren - 1).toString();
    name = inner.left(paren).toString();
}

void FirstPlaceholder(QStringView text, QString &argument, QString &name)
{
    qsizetype position = 0;
    qsizetype length = 0;
    NextPlaceholder(text, position, length, name, argument);
}

qsizetype FindPlaceholderLine(const QString &name, const QStringList &lines)
{
    const QString wanted = placeholderText(name);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(wanted))
            return i;
    }
    return -1;
}
