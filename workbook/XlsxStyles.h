#pragma once

#include <cstdint>
#include <vector>

namespace pugi {
class xml_node;
}

namespace xlsx {

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
