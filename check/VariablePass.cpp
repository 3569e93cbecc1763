#include "check/VariablePass.h"

#include "check/CheckContext.h"
#include "template/TemplateFindings.h"
#include "template/TemplateVocabulary.h"

#include <QHash>

namespace {

// Types every project knows: the IEC 61131-3 elementary types and standard function blocks.
const char *const kKnownTypes[] = {
    "BOOL",        "SINT", "INT",           "DINT",   "LINT",    "USINT", "UINT", "UDINT", "ULINT",
    "BYTE",        "WORD", "DWORD",         "LWORD",  "REAL",    "LREAL", "TIME", "DATE",  "TOD",
    "TIME_OF_DAY", "DT",   "DATE_AND_TIME", "STRING", "WSTRING", "TON",   "TOF",  "TP",    "CTU",
    "CTD",         "CTUD", "R_TRIG",        "F_TRIG", "SR",      "RS",
};

bool holdsPlaceholder(const QString &text)
{
    return text.contains(QStringLiteral("%%"));
}

bool breaksField(const QString &text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar ch) { return ch == u',' || ch.unicode() <= 32; });
}

struct Field {
    const char *label;
    QString value;
    bool quoted;
};

class VariableChecker {
public:
    explicit VariableChecker(CheckContext &c) : m_c(c)
    {
        for (const char *t : kKnownTypes)
            m_types.insert(QString::fromLatin1(t).toCaseFolded());
        forEachProgram(c.body, QStringLiteral("FunctionBlocks"),
                       [&](const QDomElement &b) { m_types.insert(b.nodeName().toCaseFolded()); });
    }

    // The variables of one program or signal type; groups are per element.
    void element(const QDomElement &parent, Level level)
    {
        QHash<QString, int> groups[3]; // local, global, retain: name -> first line
        for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            const ElementWord *word = findElement(level, e.nodeName());
            if (!word)
                continue;
            switch (word->kind) {
            case ElementKind::LocalVar:
                variable(e, groups[0], QStringLiteral("the locals"));
                break;
            case ElementKind::GlobalVar:
                variable(e, groups[1], QStringLiteral("the globals"));
                break;
            case ElementKind::RetainVar:
                variable(e, groups[2], QStringLiteral("the retains"));
                break;
            default:
                break;
            }
        }
    }

private:
    void variable(const QDomElement &e, QHash<QString, int> &group, const QString &groupName)
    {
        const auto attr = [&](const char *name) { return e.attribute(QLatin1StringView(name)); };
        const QString name = attr("name");
        if (name.isEmpty()) {
            m_c.report(e, TemplateFinding::variableWithoutName());
            return;
        }
        if (attr("type").isEmpty())
            m_c.report(e, TemplateFinding::variableWithoutType(name));
        fields(e);
        type(e, attr("type"));
        const QString direction = attr("attr");
        if (!direction.isEmpty() && !holdsPlaceholder(direction) &&
            !QStringList{"IN", "OUT", "INOUT"}.contains(direction, Qt::CaseInsensitive))
            m_c.diagnostics.add(m_c.diagnostics.attributeStart(e, QStringLiteral("attr")),
                                TemplateFinding::unknownDirection(direction));
        if (holdsPlaceholder(name))
            return; // its name differs from signal to signal
        const QString key = name.toCaseFolded();
        const int line = m_c.diagnostics.start(e).line;
        if (group.contains(key))
            m_c.report(e, TemplateFinding::duplicateVariable(name, groupName, group.value(key)));
        else
            group.insert(key, line);
    }

    void fields(const QDomElement &e)
    {
        QString tag, desc, profile, embed;
        for (QDomElement i = e.firstChildElement(QStringLiteral("varinfo")); !i.isNull();
             i = i.nextSiblingElement(QStringLiteral("varinfo"))) {
            const QString type = i.attribute(QStringLiteral("type"));
            const QString data = i.attribute(QStringLiteral("data"));
            if (type == u"tag")
                tag = data;
            else if (type == u"desc")
                desc = data;
            else if (type == u"profile")
                profile = data;
            else if (type == u"embed")
                embed += data;
        }
        const Field all[] = {
            {"name", e.attribute("name"), false},
            {"type", e.attribute("type"), false},
            {"dim", e.attribute("dim"), false},
            {"attr", e.attribute("attr"), false},
            {"init", e.attribute("init"), false},
            {"tag", tag, false},
            {"desc", desc, true},
            {"profile", profile, true},
            {"embed", embed, true},
            {"len", e.attribute("len"), false},
            {"create", e.attribute("create"), false},
        };
        for (const Field &f : all) {
            const QString label = QString::fromLatin1(f.label);
            if (!f.quoted && breaksField(f.value))
                m_c.report(e, TemplateFinding::variableFieldBreaks(label, f.value));
            else if (f.quoted && f.value.contains(u'"'))
                m_c.report(e, TemplateFinding::variableFieldQuote(label, f.value));
        }
    }

    void type(const QDomElement &e, const QString &type)
    {
        if (type.isEmpty() || holdsPlaceholder(type) || m_types.contains(type.toCaseFolded()))
            return;
        m_c.diagnostics.add(m_c.diagnostics.attributeStart(e, QStringLiteral("type")),
                            TemplateFinding::unknownVariableType(type));
    }

    CheckContext &m_c;
    QSet<QString> m_types;
};

} // namespace

void CheckVariables(CheckContext &c)
{
    VariableChecker check(c);
    for (const char *section : {"Macros", "MainCode", "FunctionBlocks"})
        forEachProgram(c.body, QString::fromLatin1(section),
                       [&](const QDomElement &p) { check.element(p, Level::Program); });
    const QDomElement types = c.body.firstChildElement(QStringLiteral("SignalTypes"));
    for (QDomElement t = types.firstChildElement(); !t.isNull(); t = t.nextSiblingElement()) {
        if (t.nodeName() != u"Variables")
            check.element(t, Level::SignalType);
    }
}

void CheckFunctionBlockNames(CheckContext &c)
{
    QHash<QString, int> firstLines;
    forEachProgram(c.body, QStringLiteral("FunctionBlocks"), [&](const QDomElement &b) {
        const QString key = b.nodeName().toCaseFolded();
        if (firstLines.contains(key))
            c.report(b, TemplateFinding::duplicateProgram(
                            b.nodeName(), QStringLiteral("function block"), firstLines.value(key)));
        else
            firstLines.insert(key, c.diagnostics.start(b).line);
    });
}
