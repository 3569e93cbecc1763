#include "template/XmlText.h"

#include "common/Failure.h"
#include "common/LenientInt.h"

namespace {

bool isTextNode(const QDomNode &node)
{
    return node.isText() || node.isCDATASection(); // a CDATA section is a text node too
}

} // namespace

bool hasOnlyText(const QDomElement &element)
{
    const QDomNode first = element.firstChild();
    return !first.isNull() && first.nextSibling().isNull() && isTextNode(first);
}

std::optional<QString> elementText(const QDomElement &element)
{
    if (!element.hasChildNodes())
        return std::nullopt;
    if (!hasOnlyText(element))
        throw Failure(QStringLiteral("Element \"%1\" does not contain a single text node")
                          .arg(element.nodeName()));
    return element.firstChild().nodeValue();
}

int intAttribute(const QDomElement &element, const QString &name, int fallback)
{
    return readIntOr(element.attribute(name), fallback);
}
