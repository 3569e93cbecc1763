#include "workbook/XlsxPackage.h"

#include "common/Failure.h"
#include "workbook/ZipArchive.h"

#include <QStringList>
#include <cstring>

namespace xlsx {

namespace {

QString partFolder(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relationshipsPart(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

} // namespace

XmlPart::XmlPart(const ZipArchive &zip, const QString &part, unsigned flags)
    : m_bytes(zip.read(part))
{
    const pugi::xml_parse_result result =
        m_doc.load_buffer_inplace(m_bytes.data(), std::size_t(m_bytes.size()), flags);
    if (!result)
        throw Failure(zip.path() + QStringLiteral(": part ") + part +
                      QStringLiteral(" is no well-formed XML (%1 at byte %2)")
                          .arg(QString::fromUtf8(result.description()))
                          .arg(result.offset));
}

std::vector<Relationship> readRelationships(const ZipArchive &zip, const QString &part)
{
    const QString relsPart = relationshipsPart(part);
    std::vector<Relationship> relationships;
    if (!zip.contains(relsPart))
        return relationships;
    const XmlPart rels(zip, relsPart);
    for (const pugi::xml_node node : rels.root().children()) {
        if (std::strcmp(localName(node.name()), "Relationship") != 0)
            continue;
        Relationship r;
        r.id = QString::fromUtf8(node.attribute("Id").value());
        r.type = QString::fromUtf8(node.attribute("Type").value());
        if (std::strcmp(node.attribute("TargetMode").value(), "External") != 0)
            r.target = resolveTarget(part, QString::fromUtf8(node.attribute("Target").value()));
        relationships.push_back(std::move(r));
    }
    return relationships;
}

QString resolveTarget(const QString &sourcePart, const QString &target)
{
    if (target.isEmpty())
        return {};
    const QString joined = target.startsWith(u'/') ? target : partFolder(sourcePart) + target;
    QStringList steps;
    for (const QString &step : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u".")
            continue;
        if (step == u"..") {
            if (!steps.isEmpty())
                steps.removeLast();
            continue;
        }
        steps.push_back(step);
    }
    return steps.join(u'/');
}

pugi::xml_node childNamed(pugi::xml_node parent, const char *name)
{
    for (const pugi::xml_node child : parent.children()) {
        if (std::strcmp(localName(child.name()), name) == 0)
            return child;
    }
    return {};
}

bool hasType(const Relationship &relationship, const char *lastStep)
{
    const qsizetype slash = relationship.type.lastIndexOf(u'/');
    return QStringView(relationship.type)
               .mid(slash + 1)
               .compare(QLatin1StringView(lastStep), Qt::CaseInsensitive) == 0;
}

} // namespace xlsx
