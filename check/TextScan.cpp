#include "check/TextScan.h"

void scanPlaceholders(QStringView text, const std::function<void(const PlaceholderAt &)> &visit,
                      const std::function<void(qsizetype offset)> &unclosed)
{
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        bool first = true;
        for (qsizetype at = line.indexOf(u"%%"); at >= 0;) {
            const qsizetype close = line.indexOf(u"%%", at + 2);
            if (close < 0) {
                unclosed(lineStart + at);
                break;
            }
            visit({line.mid(at + 2, close - at - 2).toString(), lineStart + at, first});
            first = false;
            at = line.indexOf(u"%%", close + 2);
        }
        lineStart = lineEnd + 1;
    }
}
