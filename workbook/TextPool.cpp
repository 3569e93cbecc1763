#include "workbook/TextPool.h"

void TextPool::push_back(QStringView text)
{
    // Beyond the bound the text is kept empty, so that the numbers of later texts stay right.
    if (m_characters.size() + std::size_t(text.size()) <= kMaxCharacters)
        m_characters.insert(m_characters.end(), text.utf16(), text.utf16() + text.size());
    m_ends.push_back(std::uint32_t(m_characters.size()));
}

QString TextPool::operator[](std::size_t index) const
{
    if (index >= m_ends.size())
        return {};
    const std::uint32_t start = index == 0 ? 0 : m_ends[index - 1];
    const std::uint32_t end = m_ends[index];
    if (start == end)
        return {};
    return QString(reinterpret_cast<const QChar *>(m_characters.data() + start),
                   qsizetype(end - start));
}
