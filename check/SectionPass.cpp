#include "check/SectionPass.h"

#include "check/CheckContext.h"
#include "common/PlaceholderScan.h"
#include "template/TemplateFindings.h"
#include "template/TemplateVocabulary.h"

#include <QHash>

namespace {

// The code texts of the programs of a section, and of the code sections merged into them.
QStringList codeTexts(const QDomElement &body, const QString &section)
{
    QStringList texts;
    forEachProgram(body, section, [&](const QDomElement &p) {
        for (QDomElement e = p.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const bool section = !findElement(Level::Program, e.nodeName()) &&
                                 e.attribute(QStringLiteral("TemplateCreate")).isEmpty();
            if (isCodeElement(e) || section)
                texts.append(onlyText(e));
        }
    });
    return texts;
}

bool holdsMarker(const QStringList &texts, const QString &name)
{
    const QString marker = placeholderText(name); // markers are matched exactly
    return std::any_of(texts.begin(), texts.end(),
                       [&](const QString &t) { return t.contains(marker); });
}

// The code of each function block, by case-folded name (the first block of a name, as a run
// finds it).
QHash<QString, QStringList> blockCode(const QDomElement &body)
{
    QHash<QString, QStringList> code;
    forEachProgram(body, QStringLiteral("FunctionBlocks"), [&](const QDomElement &p) {
        const QString key = p.nodeName().toCaseFolded();
        if (code.contains(key))
            return;
        QStringList &texts = code[key];
        for (QDomElement e = p.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (isCodeElement(e))
                texts.append(onlyText(e));
        }
    });
    return code;
}

struct SectionChecker {
    CheckContext &c;
    QStringList mainTexts = codeTexts(c.body, QStringLiteral("MainCode"));
    QStringList blockTexts = codeTexts(c.body, QStringLiteral("FunctionBlocks"));
    QHash<QString, QStringList> blocks = blockCode(c.body);

    // A section named "block.name" goes to the marker %%name%% of that block; any other to
    // the main program's.
    void expectMarker(const QDomElement &at, const QString &section)
    {
        const qsizetype dot = section.indexOf(u'.');
        if (dot < 0) {
            if (!mainTexts.isEmpty() && !holdsMarker(mainTexts, section))
                c.report(at, TemplateFinding::sectionWithoutMarker(
                                 section, QStringLiteral("the main programs")));
            return;
        }
        const QString block = section.left(dot);
        const QString marker = section.mid(dot + 1, 255);
        if (!holdsMarker(blocks.value(block.toCaseFolded()), marker))
            c.report(at, TemplateFinding::sectionWithoutMarker(
                             marker, QStringLiteral("function block \"%1\"").arg(block)));
    }

    void programChild(const QDomElement &e)
    {
        if (findElement(Level::Program, e.nodeName()) || c.misspelt.contains(e.nodeName()) ||
            onlyText(e).trimmed().isEmpty())
            return;
        const QString create = e.attribute(QStringLiteral("TemplateCreate"));
        if (create.isEmpty()) {
            expectMarker(e, e.nodeName());
        } else if (create == u"yes") {
            // Its code goes to each block made from this template, or, with InsertInTab, to
            // the block that attribute names once filled in: some block must hold the marker.
            if (e.attribute(QStringLiteral("InsertInTab")).isEmpty())
                expectMarker(e, e.nodeName());
            else if (!holdsMarker(blockTexts, e.nodeName()))
                c.report(e, TemplateFinding::sectionWithoutMarker(
                                e.nodeName(), QStringLiteral("the function blocks")));
        }
    }

    void variant(const QDomElement &v)
    {
        if (c.misspelt.contains(v.nodeName()) || onlyText(v).trimmed().isEmpty())
            return;
        if (v.attribute(QStringLiteral("option")).isEmpty()) {
            expectMarker(v, v.nodeName());
            return;
        }
        const QString blockTemplate = v.attribute(QStringLiteral("template"));
        const QDomElement blocks = c.body.firstChildElement(QStringLiteral("FunctionBlocks"));
        if (blocks.firstChildElement(blockTemplate).isNull()) {
            QStringList names;
            for (QDomElement b = blocks.firstChildElement(); !b.isNull();
                 b = b.nextSiblingElement())
                names.append(b.nodeName());
            c.diagnostics.add(c.diagnostics.attributeStart(v, QStringLiteral("template")),
                              TemplateFinding::unknownBlockTemplate(
                                  blockTemplate, nearestName(blockTemplate, names)));
            return;
        }
        expectMarker(v, blockTemplate + u'.' + v.nodeName());
    }
};

} // namespace

void CheckCodeSections(CheckContext &c)
{
    SectionChecker check{c};
    for (const char *section : {"MainCode", "FunctionBlocks"}) {
        forEachProgram(c.body, QString::fromLatin1(section), [&](const QDomElement &p) {
            for (QDomElement e = p.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
                check.programChild(e);
        });
    }
    const QDomElement types = c.body.firstChildElement(QStringLiteral("SignalTypes"));
    for (QDomElement type = types.firstChildElement(); !type.isNull();
         type = type.nextSiblingElement()) {
        if (type.nodeName() == u"Variables")
            continue;
        for (QDomElement v = type.firstChildElement(); !v.isNull(); v = v.nextSiblingElement()) {
            if (!findElement(Level::SignalType, v.nodeName()))
                check.variant(v);
        }
    }
}
