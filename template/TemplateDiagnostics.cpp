#include "template/TemplateDiagnostics.h"

#include <QDomElement>
#include <QStringDecoder>
#include <algorithm>

namespace {

QString decode(const QByteArray &source)
{
    // The places the XML parser gives count characters; a file with a UTF-16 byte-order mark
    // is decoded as such, anything else as UTF-8 (the columns of non-ASCII Windows-1252 text
    // may then be off by the few characters before them on their line).
    auto encoding = QStringConverter::encodingForData(source);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder.decode(source);
}

} // namespace

TemplateDiagnostics::TemplateDiagnostics(QString file, const QByteArray &source)
    : m_file(std::move(file)), m_text(decode(source))
{
    m_lineStarts.push_back(0);
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (m_text[i] == u'\n')
            m_lineStarts.push_back(i + 1);
    }
}

void TemplateDiagnostics::add(const QDomNode &at, const Finding &finding)
{
    add(start(at), finding);
}

void TemplateDiagnostics::add(Position at, const Finding &finding)
{
    m_list.add({m_file, at.line, at.column, QString(), finding.severity, finding.message});
}

qsizetype TemplateDiagnostics::offsetOf(Position p) const
{
    if (p.line < 1 || std::size_t(p.line) > m_lineStarts.size())
        return -1;
    const qsizetype offset = m_lineStarts[std::size_t(p.line - 1)] + std::max(p.column - 1, 0);
    return std::min(offset, m_text.size());
}

TemplateDiagnostics::Position TemplateDiagnostics::positionOf(qsizetype offset) const
{
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    const auto line = qsizetype(next - m_lineStarts.begin());
    return {int(line), int(offset - m_lineStarts[std::size_t(line - 1)] + 1)};
}

TemplateDiagnostics::Position TemplateDiagnostics::start(const QDomNode &node) const
{
    // The parser places a node at the end of its start tag (a comment at its end); its start
    // is the last opening of that kind before there.
    const Position end{node.lineNumber(), node.columnNumber()};
    const qsizetype at = offsetOf(end);
    if (at < 0)
        return end;
    const QString opening = node.isComment() ? QStringLiteral("<!--") : u'<' + node.nodeName();
    const qsizetype found = m_text.lastIndexOf(opening, std::max<qsizetype>(at - 1, 0));
    return found < 0 ? end : positionOf(found);
}

TemplateDiagnostics::Position TemplateDiagnostics::attributeStart(const QDomElement &element,
                                                                  const QString &name) const
{
    const Position open = start(element);
    const qsizetype from = offsetOf(open);
    const qsizetype to = offsetOf({element.lineNumber(), element.columnNumber()});
    if (from < 0 || to < from)
        return open;
    const QStringView tag = QStringView(m_text).mid(from, to - from + 1);
    for (qsizetype i = tag.indexOf(name); i >= 0; i = tag.indexOf(name, i + 1)) {
        const bool startsWord = i > 0 && tag[i - 1].isSpace();
        const qsizetype after = i + name.size();
        const bool endsWord = after < tag.size() && (tag[after] == u'=' || tag[after].isSpace());
        if (startsWord && endsWord)
            return positionOf(from + i);
    }
    return open;
}

TemplateDiagnostics::Position TemplateDiagnostics::textStart(const QDomElement &element) const
{
    // The element's place is the '>' that ends its start tag; its text follows it.
    const qsizetype tagEnd = offsetOf({element.lineNumber(), element.columnNumber()});
    if (tagEnd < 0)
        return start(element);
    qsizetype at = tagEnd + 1;
    if (element.firstChild().isCDATASection()) {
        const qsizetype cdata = m_text.indexOf(QStringLiteral("<![CDATA["), at);
        if (cdata >= 0)
            at = cdata + 9;
    }
    return positionOf(std::min(at, m_text.size()));
}

TemplateDiagnostics::Position TemplateDiagnostics::advance(Position start, QStringView text,
                                                           qsizetype offset)
{
    Position p = start;
    for (qsizetype i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ++p.line;
            p.column = 1;
        } else {
            ++p.column;
        }
    }
    return p;
}

TemplateDiagnostics::Position TemplateDiagnostics::TextPlaces::at(qsizetype offset)
{
    if (offset < m_from) { // backwards: from the start again
        m_at = m_start;
        m_from = 0;
    }
    m_at = advance(m_at, QStringView(m_text).mid(m_from), offset - m_from);
    m_from = offset;
    return m_at;
}
