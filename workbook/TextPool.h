#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// Texts one after another in one block of characters, read back by number. A workbook's
// shared-string table holds tens of thousands of texts; a QString each would cost a heap
// block each, kept as long as the workbook stays open.
class TextPool {
public:
    // The most characters a pool takes; a text beyond them is kept empty. No part the
    // readers accept comes near it.
    static constexpr std::size_t kMaxCharacters = UINT32_MAX;

    void reserve(std::size_t texts) { m_ends.reserve(texts); }
    void push_back(QStringView text);
    std::size_t size() const { return m_ends.size(); }
    // The text of that number; empty beyond the pool.
    QString operator[](std::size_t index) const;

private:
    std::vector<char16_t> m_characters;
    std::vector<std::uint32_t> m_ends; // where each text ends in m_characters
};
