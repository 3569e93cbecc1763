#include "workbook/OdsCellText.h"

#include "common/Failure.h"
#include "workbook/OdsMessages.h"
#include "workbook/OdsValues.h"
#include "workbook/XmlWalk.h"

QString OdsCellText::of(const pugi::xml_node &cell)
{
    QString text;
    bool first = true;
    for (const pugi::xml_node &child : cell.children()) {
        if (!isName(child.name(), m_names.paragraph) && !isName(child.name(), m_names.heading))
            continue;
        if (!first)
            text += u'\n';
        first = false;
        appendParagraph(child, text);
    }
    return text;
}

bool OdsCellText::isSkipped(const pugi::xml_node &element) const
{
    return isName(element.name(), m_names.note) || isName(element.name(), m_names.annotation);
}

void OdsCellText::appendParagraph(const pugi::xml_node &paragraph, QString &text)
{
    // The document is parsed with parse_embed_pcdata: an element's leading text is its value,
    // and the rest of its text follows as character data among its children.
    text += QString::fromUtf8(paragraph.value());
    walkDescendants(paragraph, [&](const pugi::xml_node &node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text += QString::fromUtf8(node.value());
            return false;
        }
        if (node.type() != pugi::node_element || isSkipped(node))
            return false;
        appendElement(node, text);
        text += QString::fromUtf8(node.value());
        return true; // spans and links: the rest of their text follows
    });
}

void OdsCellText::appendElement(const pugi::xml_node &element, QString &text)
{
    const char *name = element.name();
    if (isName(name, m_names.space)) {
        const std::int64_t count = odsRepeatCount(
            element.attribute(m_names.spaceCount.c_str()).value(), m_spaceBudget + 1);
        if (count > m_spaceBudget)
            throw Failure(OdsMessages::tooManySpaces(m_path, m_spaceLimit));
        m_spaceBudget -= count;
        text += QString(qsizetype(count), u' ');
    } else if (isName(name, m_names.tab)) {
        text += u'\t';
    } else if (isName(name, m_names.lineBreak)) {
        text += u'\n';
    }
    // Other elements without text of their own (bookmarks, reference marks) show nothing.
}
