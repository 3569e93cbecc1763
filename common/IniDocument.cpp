#include "common/IniDocument.h"

namespace {

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument::Line IniDocument::classify(QByteArray text, QByteArray ending, const QByteArray &section)
{
    Line line{std::move(text), std::move(ending), Kind::Other, {}, section};
    const QByteArray t = line.text.trimmed();
    if (t.startsWith('[') && t.endsWith(']')) {
        line.kind = Kind::Section;
        line.name = t.mid(1, t.size() - 2).trimmed();
        line.section = line.name;
    } else if (!t.isEmpty() && t[0] != ';' && t[0] != '#' && t.contains('=')) {
        line.kind = Kind::Key;
        line.name = t.left(t.indexOf('=')).trimmed();
    }
    return line;
}

IniDocument IniDocument::parse(const QByteArray &bytes)
{
    IniDocument doc;
    QByteArray section;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        qsizetype next = end;
        if (next < size && bytes[next] == '\r')
            ++next;
        if (next < size && bytes[next] == '\n' && (next == end || bytes[end] == '\r'))
            ++next;
        Line line = classify(bytes.mid(start, end - start), bytes.mid(end, next - end), section);
        section = line.section;
        doc.m_lines.push_back(std::move(line));
        start = next;
    }
    return doc;
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const Line &l : m_lines)
        out += l.text + l.ending;
    return out;
}

std::optional<std::size_t> IniDocument::findKey(const QByteArray &section, const QByteArray &key) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line &l = m_lines[i];
        if (l.kind == Kind::Key && sameName(l.section, section) && sameName(l.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<QByteArray> IniDocument::value(const QByteArray &section, const QByteArray &key) const
{
    const auto i = findKey(section, key);
    if (!i)
        return std::nullopt;
    const QByteArray &text = m_lines[*i].text;
    return text.mid(text.indexOf('=') + 1).trimmed();
}

QByteArray IniDocument::newLineEnding() const
{
    for (const Line &l : m_lines)
        if (!l.ending.isEmpty())
            return l.ending;
    return "\r\n";
}

void IniDocument::setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    if (const auto i = findKey(section, key)) {
        Line &l = m_lines[*i];
        // Keep the key as written, with whatever stood before the '='.
        l.text = l.text.left(l.text.indexOf('=') + 1) + value;
        return;
    }
    const QByteArray ending = newLineEnding();
    if (!m_lines.empty() && m_lines.back().ending.isEmpty())
        m_lines.back().ending = ending; // the last line gets its end before more text follows
    const std::optional<std::size_t> at = sectionEnd(section);
    std::size_t insertAt = at ? *at : m_lines.size();
    if (!at) {
        m_lines.push_back(classify('[' + section + ']', ending, {}));
        insertAt = m_lines.size();
    }
    m_lines.insert(m_lines.begin() + std::ptrdiff_t(insertAt),
                   classify(key + '=' + value, ending, section));
}

std::optional<std::size_t> IniDocument::sectionEnd(const QByteArray &section) const
{
    // The lines before the first header form the unnamed section.
    std::size_t first = 0;
    if (!section.isEmpty()) {
        while (first < m_lines.size() &&
               !(m_lines[first].kind == Kind::Section && sameName(m_lines[first].name, section)))
            ++first;
        if (first == m_lines.size())
            return std::nullopt;
        ++first;
    }
    // After the section's last line that is not blank, so blank separators stay below it.
    std::size_t end = first;
    for (std::size_t i = first; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i)
        if (!m_lines[i].text.trimmed().isEmpty())
            end = i + 1;
    return end;
}

bool IniDocument::removeKey(const QByteArray &section, const QByteArray &key)
{
    const auto i = findKey(section, key);
    if (!i)
        return false;
    m_lines.erase(m_lines.begin() + std::ptrdiff_t(*i));
    return true;
}

QByteArrayList IniDocument::sections() const
{
    QByteArrayList names;
    for (const Line &l : m_lines)
        if (l.kind == Kind::Section)
            names << l.name;
    return names;
}

QByteArrayList IniDocument::keys(const QByteArray &section) const
{
    QByteArrayList names;
    for (const Line &l : m_lines)
        if (l.kind == Kind::Key && sameName(l.section, section))
            names << l.name;
    return names;
}
