#pragma once

#include <QStringView>
#include <cstdint>
#include <vector>

namespace pugi {
class xml_node;
}

namespace xlsx {

// True for the built-in number formats that show a date or a time: 14-22, 45-47, and the
// East Asian locale variants 27-36 and 50-58.
bool isBuiltInDateFormat(int id);

// True when a number format code shows a date or a time: it holds one of the codes y, m, d,
// h or s outside quoted text, escaped characters and bracketed parts (colours, conditions,
// locales), or an elapsed-time part [h], [m] or [s].
bool isDateFormatCode(QStringView code);

// The cell formats of a workbook, as far as the reader needs them: which ones show dates.
class CellStyles {
public:
    CellStyles() = default;
    // From the root element of the styles part.
    explicit CellStyles(pugi::xml_node styleSheet);

    // Whether the cell format with this index (a cell's s attribute) shows a date.
    bool isDate(std::uint32_t index) const { return index < m_isDate.size() && m_isDate[index]; }

private:
    std::vector<bool> m_isDate; // per cell format (cellXfs entry)
};

} // namespace xlsx
