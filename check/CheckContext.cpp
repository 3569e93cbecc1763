#include "check/CheckContext.h"

#include "common/PlaceholderScan.h"
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

bool CheckContext::hasMarker(const QString &name)
{
    if (!m_codeGathered) {
        for (const char *section : {"MainCode", "FunctionBlocks"}) {
            forEachProgram(body, QString::fromLatin1(section), [&](const QDomElement &p) {
                for (QDomElement e = p.firstChildElement(); !e.isNull();
                     e = e.nextSiblingElement()) {
                    if (isCodeElement(e))
                        m_code += onlyText(e) + u'\n';
                }
            });
        }
        m_codeGathered = true;
    }
    return m_code.contains(placeholderText(name));
}
