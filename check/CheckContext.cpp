#include "check/CheckContext.h"

#include "template/TemplateVocabulary.h"
#include "template/XmlText.h"

void forEachProgram(const QDomElement &body, const QString &section,
                    const std::function<void(const QDomElement &program)> &visit)
{
    const QDomElement s = body.firstChildElement(section);
    for (QDomElement p = s.firstChildElement(); !p.isNull(); p = p.nextSiblingElement())
        visit(p);
}

QString onlyText(const QDomElement &element)
{
    return hasOnlyText(element) ? element.firstChild().nodeValue() : QString();
}

bool isCodeElement(const QDomElement &element)
{
    const ElementWord *word = findElement(Level::Program, element.nodeName());
    return word && word->kind == ElementKind::Code;
}
