#pragma once

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

#include <vector>

class ZipArchive;

// The parts of an Office Open XML package as the reader needs them: XML parts parsed in
// place, relationships resolved to part names.
namespace xlsx {

// One relationship of a part: its id, type and the target as a part name of the package.
struct Relationship {
    QString id;
    QString type;
    QString target; // part name without a leading '/', or empty for an external target
};

// An XML part parsed in place: the document points into the inflated bytes it keeps, so a
// part of hundreds of megabytes is not copied once more.
class XmlPart {
public:
    // Throws Failure naming the file and the part when it is missing, too large or no
    // well-formed XML.
    XmlPart(const ZipArchive &zip, const QString &part, unsigned flags = pugi::parse_default);
    XmlPart(const XmlPart &) = delete;
    XmlPart &operator=(const XmlPart &) = delete;

    pugi::xml_node root() const { return m_doc.document_element(); }

private:
    QByteArray m_bytes; // declared first: the document must go before the bytes it points into
    pugi::xml_document m_doc;
};

// The relationships of `part` ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"); none when
// the package has no relationship part for it.
std::vector<Relationship> readRelationships(const ZipArchive &zip, const QString &part);

// A relationship target as a part name: relative to the folder of `sourcePart`, or absolute
// from the package root when it starts with '/'. "." and ".." steps are resolved.
QString resolveTarget(const QString &sourcePart, const QString &target);

// The element name without its namespace prefix ("x:row" -> "row").
inline const char *localName(const char *name)
{
    for (const char *p = name; *p; ++p) {
        if (*p == ':')
            return p + 1;
    }
    return name;
}

// The first child element of that local name, or an empty node.
pugi::xml_node childNamed(pugi::xml_node parent, const char *name);

// Relationship types are compared by their last path step, since the transitional and the
// strict form of the format use different prefixes ("/officeDocument", "/worksheet").
bool hasType(const Relationship &relationship, const char *lastStep);

} // namespace xlsx
