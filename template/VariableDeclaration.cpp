#include "template/VariableDeclaration.h"

#include "common/Failure.h"
#include "template/TemplateMessages.h"
#include "template/XmlText.h"

namespace {

struct VarInfo {
    QString tag;
    QString desc;
    QString profile;
    QString embed;
};

// A later varinfo of the same type replaces the earlier value; embedded properties add up.
void applyVarInfo(const QDomElement &info, VarInfo &into)
{
    const QString type = info.attribute(QStringLiteral("type"));
    const QString data = info.attribute(QStringLiteral("data"));
    if (type == u"desc")
        into.desc = data;
    else if (type == u"tag")
        into.tag = data;
    else if (type == u"profile")
        into.profile = data;
    else if (type == u"embed")
        into.embed += data;
}

QString variableLine(const QDomElement &element)
{
    const auto attr = [&](const char *name) {
        return element.attribute(QString::fromLatin1(name));
    };
    VarInfo info;
    if (hasOnlyText(element))
        info.profile = element.firstChild().nodeValue();
    for (auto child = element.firstChildElement(QStringLiteral("varinfo")); !child.isNull();
         child = child.nextSiblingElement(QStringLiteral("varinfo")))
        applyVarInfo(child, info);
    return FormatVariableLine(attr("name"), attr("type"), attr("dim"), attr("attr"), QString(),
                              attr("init"), info.tag, info.desc, info.profile, info.embed,
                              attr("len"), attr("create"));
}

// The text of a child element; missing, empty or not plain text gives an empty field.
QString childText(const QDomElement &element, const QString &name)
{
    const QDomElement child = element.firstChildElement(name);
    return hasOnlyText(child) ? child.firstChild().nodeValue() : QString();
}

QString legacyVariableLine(const QDomElement &element)
{
    QStringList fields;
    for (const char *name : {"name", "type", "dim", "attrib", "profile"})
        fields.append(childText(element, QString::fromLatin1(name)));
    return fields.join(u',');
}

template <typename MakeLine>
void appendOrReport(MakeLine makeLine, QStringList &target, UserPrompts &prompts)
{
    try {
        target.append(makeLine());
    } catch (const Failure &) {
        showVariableSectionError(prompts);
    }
}

} // namespace

QString FormatVariableLine(const QString &name, const QString &type, const QString &dim,
                           const QString &attr, const QString &reserved, const QString &init,
                           const QString &tag, const QString &desc, const QString &profile,
                           const QString &embed, const QString &len, const QString &create)
{
    const QChar comma = u',';
    const QChar quote = u'"';
    return name + comma + type + comma + dim + comma + attr + comma + reserved + comma + init +
           comma + tag + comma + quote + desc + quote + comma + quote + profile + quote + comma +
           quote + embed + quote + comma + len + comma + create;
}

void ParseVariable(const QDomElement &element, QStringList &target, UserPrompts &prompts)
{
    appendOrReport([&] { return variableLine(element); }, target, prompts);
}

void ParseLegacyVariable(const QDomElement &element, QStringList &target, UserPrompts &prompts)
{
    appendOrReport([&] { return legacyVariableLine(element); }, target, prompts);
}
