#include "check/PlaceholderPass.h"

#include "check/CheckContext.h"
#include "check/TextScan.h"
#include "expand/TInlineFunction.h"
#include "template/TemplateFindings.h"
#include "template/TemplateVocabulary.h"

#include <QDomNamedNodeMap>
#include <QHash>

namespace {

// Every name a placeholder may stand for somewhere in a run, case-folded: a check that knew
// which program each text ends up in could be stricter, but never without a false alarm.
struct KnownNames {
    QSet<QString> inputs; // user inputs of any program and of the signal types
    QSet<QString> others; // signal variables, code sections, macros, "option"
    QSet<QString> macros;
    QStringList written; // all of them as written, for suggestions
};

void addName(QSet<QString> &set, QStringList &written, const QString &name)
{
    set.insert(name.toCaseFolded());
    written.append(name);
}

KnownNames knownNames(CheckContext &c)
{
    KnownNames k;
    const TemplateModel &m = c.model;
    for (const auto &pages : {&m.MainCodePages, &m.MacrosPages, &m.FunctionBlocksPages}) {
        for (const auto &tab : *pages) {
            for (qsizetype i = 0; i < tab->InputVariables.size(); ++i)
                addName(k.inputs, k.written, tab->InputVariables.nameAt(i));
        }
    }
    for (qsizetype i = 0; i < m.SignUserVar.size(); ++i)
        addName(k.inputs, k.written, m.SignUserVar.nameAt(i));
    for (qsizetype i = 0; i < m.SignVariables.size(); ++i)
        addName(k.others, k.written, m.SignVariables.nameAt(i));
    for (qsizetype i = 0; i < m.CodeSectionsToInclude.size(); ++i)
        addName(k.others, k.written, m.CodeSectionsToInclude.nameAt(i));
    for (const auto &type : m.SignalTypesPages) {
        for (const auto &variant : type->PC)
            addName(k.others, k.written, variant->name);
    }
    for (const auto &macro : m.MacrosPages) {
        addName(k.others, k.written, macro->name);
        k.macros.insert(macro->name.toCaseFolded());
    }
    addName(k.others, k.written, QStringLiteral("option"));
    return k;
}

enum class TextKind {
    Code,      // program code: a name that stands for nothing may be a marker left empty
    Section,   // code of a code section: as program code, but macros are not expanded
    MacroBody, // macro code: numbers stand for the call's arguments
    Value,     // everything else: the placeholder must be filled
};

class PlaceholderChecker {
public:
    explicit PlaceholderChecker(CheckContext &c) : m_c(c), m_known(knownNames(c)) {}

    void text(const QDomElement &e, TextKind kind)
    {
        const QString text = onlyText(e);
        if (text.isEmpty())
            return;
        TemplateDiagnostics::TextPlaces places(m_c.diagnostics.textStart(e), text);
        scan(text, kind, [&](qsizetype offset) { return places.at(offset); });
    }

    void attributes(const QDomElement &e)
    {
        const QDomNamedNodeMap attributes = e.attributes();
        for (int i = 0; i < attributes.count(); ++i) {
            const QString name = attributes.item(i).nodeName();
            const auto at = m_c.diagnostics.attributeStart(e, name);
            scan(attributes.item(i).nodeValue(), TextKind::Value, [&](qsizetype) { return at; });
        }
    }

private:
    using Place = std::function<TemplateDiagnostics::Position(qsizetype)>;

    void scan(const QString &text, TextKind kind, const Place &place)
    {
        scanPlaceholders(
            text, [&](const PlaceholderAt &p) { placeholder(p, kind, place); },
            [&](qsizetype offset) {
                m_c.diagnostics.add(place(offset), TemplateFinding::unclosedPlaceholder());
            });
    }

    void placeholder(const PlaceholderAt &p, TextKind kind, const Place &place)
    {
        if (p.name.isEmpty())
            return;
        if (p.name.startsWith(u'#')) {
            inlineFunction(p, place);
            return;
        }
        const QString name = p.name;
        const QString callee = name.section(u'(', 0, 0);
        // Macros are expanded in CODE elements only.
        if ((kind == TextKind::Section || kind == TextKind::Value) && p.firstOnLine &&
            m_known.macros.contains(callee.toCaseFolded())) {
            m_c.diagnostics.add(place(p.offset), TemplateFinding::macroOutsideCode(callee));
            return;
        }
        // A line's first placeholder with arguments is a macro call, which the macro check
        // looks at.
        if (kind != TextKind::Value && p.firstOnLine && name.contains(u'('))
            return;
        const QString key = name.toCaseFolded();
        if (m_known.inputs.contains(key) || m_known.others.contains(key))
            return;
        if (kind == TextKind::MacroBody && !name.isEmpty() &&
            std::all_of(name.begin(), name.end(), [](QChar ch) { return ch.isDigit(); }))
            return;
        const QString suggestion = suggestionFor(name);
        m_c.diagnostics.add(place(p.offset),
                            kind == TextKind::Value
                                ? TemplateFinding::unknownPlaceholder(name, suggestion)
                                : TemplateFinding::markerWithoutSection(name, suggestion));
    }

    void inlineFunction(const PlaceholderAt &p, const Place &place)
    {
        QString input;
        const std::unique_ptr<TInlineFunction> f = ParseInlineFunction(p.name, input);
        if (!f) { // "#name" without a function: looked up as written
            if (!m_known.inputs.contains(input.toCaseFolded()))
                m_c.diagnostics.add(place(p.offset),
                                    TemplateFinding::unknownPlaceholder(input, QString()));
            return;
        }
        const InlineFunctionWord *word = findInlineFunction(f->FFuncName);
        if (!word) {
            m_c.diagnostics.add(
                place(p.offset),
                TemplateFinding::unknownInlineFunction(
                    f->FFuncName, nearestName(f->FFuncName, inlineFunctionNames())));
        } else {
            const int given = f->FParameter.trimmed().isEmpty() ? 0 : 1;
            if (given != word->arguments)
                m_c.diagnostics.add(place(p.offset), TemplateFinding::inlineFunctionArguments(
                                                         f->FFuncName, word->arguments, given));
        }
        if (!m_known.inputs.contains(input.toCaseFolded()))
            m_c.diagnostics.add(place(p.offset),
                                TemplateFinding::inlineFunctionInput(f->FFuncName, input));
    }

    // A name is usually misspelt the same way many times: its suggestion is looked for once.
    QString suggestionFor(const QString &name)
    {
        auto it = m_suggestions.find(name);
        if (it == m_suggestions.end())
            it = m_suggestions.insert(name, nearestName(name, m_known.written));
        return *it;
    }

    CheckContext &m_c;
    KnownNames m_known;
    QHash<QString, QString> m_suggestions;
};

// The texts of one program, each with the way its placeholders are filled.
void checkProgram(PlaceholderChecker &check, const QDomElement &program, bool macro)
{
    for (QDomElement e = program.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const ElementWord *word = findElement(Level::Program, e.nodeName());
        const ElementKind kind = word ? word->kind : ElementKind::Variables;
        check.attributes(e);
        for (QDomElement info = e.firstChildElement(QStringLiteral("varinfo")); !info.isNull();
             info = info.nextSiblingElement(QStringLiteral("varinfo")))
            check.attributes(info);
        if (kind == ElementKind::Code)
            check.text(e, macro ? TextKind::MacroBody : TextKind::Code);
        else if (!word && e.attribute(QStringLiteral("TemplateCreate")).isEmpty())
            check.text(e, TextKind::Section); // a code section goes into program code
        else if (!word || kind == ElementKind::TextFile || kind == ElementKind::LocalVar ||
                 kind == ElementKind::GlobalVar || kind == ElementKind::RetainVar)
            check.text(e, TextKind::Value);
    }
}

void checkSignalTypes(PlaceholderChecker &check, const QDomElement &types)
{
    for (QDomElement type = types.firstChildElement(); !type.isNull();
         type = type.nextSiblingElement()) {
        if (type.nodeName() == u"Variables")
            continue;
        for (QDomElement e = type.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            check.attributes(e);
            for (QDomElement info = e.firstChildElement(QStringLiteral("varinfo")); !info.isNull();
                 info = info.nextSiblingElement(QStringLiteral("varinfo")))
                check.attributes(info);
            const ElementWord *word = findElement(Level::SignalType, e.nodeName());
            if (!word || word->kind != ElementKind::IncludeFB)
                check.text(e, TextKind::Value);
        }
    }
}

} // namespace

void CheckPlaceholders(CheckContext &c)
{
    PlaceholderChecker check(c);
    forEachProgram(c.body, QStringLiteral("Macros"),
                   [&](const QDomElement &p) { checkProgram(check, p, true); });
    for (const char *section : {"MainCode", "FunctionBlocks"})
        forEachProgram(c.body, QString::fromLatin1(section),
                       [&](const QDomElement &p) { checkProgram(check, p, false); });
    checkSignalTypes(check, c.body.firstChildElement(QStringLiteral("SignalTypes")));
}
