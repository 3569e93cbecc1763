#pragma once

#include "workbook/OdsNames.h"

#include <QString>
#include <cstdint>

// The text a cell shows: its paragraphs joined by line feeds, with the space, tab and
// line-break elements put back as characters. Spans, links and other inline elements give
// their text; notes and comments are no part of it.
//
// White space in the character data is kept as it stands. The OpenDocument format would have
// runs of it collapsed to one space, but LibreOffice, which writes nearly every .ods file,
// neither collapses it when reading nor always encodes repeated spaces as text:s when writing
// (the paragraphs of a cell of several lines keep them literal), so collapsing would lose
// spaces that the user sees in the cell.
class OdsCellText {
public:
    // `spaceBudget` bounds the spaces that text:s elements may add over the whole workbook:
    // one short element can ask for billions of them.
    OdsCellText(const OdsNames &names, std::int64_t &spaceBudget, std::int64_t spaceLimit,
                const QString &path)
        : m_names(names), m_spaceBudget(spaceBudget), m_spaceLimit(spaceLimit), m_path(path)
    {
    }

    // Throws Failure naming the file when the space budget runs out.
    QString of(const pugi::xml_node &cell);

private:
    void appendParagraph(const pugi::xml_node &paragraph, QString &text);
    void appendElement(const pugi::xml_node &element, QString &text);
    bool isSkipped(const pugi::xml_node &element) const;

    const OdsNames &m_names;
    std::int64_t &m_spaceBudget; // spaces still allowed
    std::int64_t m_spaceLimit;   // the whole budget, for the message
    const QString &m_path;
};
