#include "template/UserInputParser.h"

#include "common/Failure.h"
#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "template/TemplateDiagnostics.h"
#include "template/TemplateFindings.h"
#include "template/TemplateMessages.h"

#include <memory>

namespace {

// The `type` word, exact case.
TVarType varTypeFromWord(const QString &word)
{
    static const struct {
        const char16_t *word;
        TVarType type;
    } kTypes[] = {
        {u"int", TVarType::tInt},
        {u"bool", TVarType::tBool},
        {u"real", TVarType::tReal},
        {u"string", TVarType::tString},
    };
    for (const auto &t : kTypes) {
        if (word == QStringView(t.word))
            return t.type;
    }
    return TVarType::tUnknown;
}

QString rangeIncorrectlyDefined(const QString &range, const QString &name)
{
    return QStringLiteral("Range (%1) incorrectly defined for XML Variable(%2)").arg(range, name);
}

std::unique_ptr<TUserInputType> readRecord(const QDomElement &element, RunLog &log,
                                           TemplateDiagnostics *diagnostics)
{
    auto record = std::make_unique<TUserInputType>();
    UserInputRecord &v = record->v;
    v.VarName = element.attribute(QStringLiteral("name"));
    v.SheetNo = readIntOr(element.attribute(QStringLiteral("sheet")), -1);
    v.RowNo = readIntOr(element.attribute(QStringLiteral("row")), -1);
    v.ColNo = readIntOr(element.attribute(QStringLiteral("col")), -1);
    v.Default = element.attribute(QStringLiteral("default"));
    v.VarTypeStr = element.attribute(QStringLiteral("type"));
    v.VarType = varTypeFromWord(v.VarTypeStr);
    if (v.VarType == TVarType::tInt) {
        const QString range = element.attribute(QStringLiteral("range"));
        v.IntRange = ParseIntRange(range);
        if (v.IntRange.RangeError) {
            log.LogError(rangeIncorrectlyDefined(range, v.VarName));
            if (diagnostics)
                diagnostics->add(diagnostics->attributeStart(element, QStringLiteral("range")),
                                 TemplateFinding::malformedRange(range, v.VarName));
        }
    }
    return record;
}

} // namespace

TIntRange ParseIntRange(const QString &text)
{
    TIntRange range;
    const qsizetype dots = text.indexOf(QStringLiteral(".."));
    if (dots <= 0)
        return range;
    const std::optional<int> min = tryReadInt(QStringView(text).left(dots));
    const std::optional<int> max = tryReadInt(QStringView(text).mid(dots + 2, 255));
    range.Min = min.value_or(0);
    range.Max = max.value_or(0);
    range.RangeError = !min || !max;
    range.RangeUsed = !range.RangeError;
    return range;
}

TUserInputType *ParseUserInput(const QDomElement &element, UserInputList &list, RunLog &log,
                               UserPrompts &prompts, TemplateDiagnostics *diagnostics)
{
    try {
        if (element.isNull())
            throw Failure(QStringLiteral("UserInput is no element"));
        const auto attr = [&](const char *name) {
            return element.attribute(QLatin1StringView(name));
        };
        const QString entry =
            QStringLiteral("%1=%2,%3,%4,%5")
                .arg(attr("name"), attr("sheet"), attr("row"), attr("col"), attr("default"));
        std::unique_ptr<TUserInputType> record = readRecord(element, log, diagnostics);
        TUserInputType *result = record.get();
        // The list is keyed by the text before the entry's first '=', as lists of
        // name=value lines are; a name holding '=' is thus cut there.
        const qsizetype eq = entry.indexOf(u'=');
        list.add(entry.left(eq), UserInputEntry{entry.mid(eq + 1), std::move(record)});
        return result;
    } catch (const Failure &) {
        showVariableSectionError(prompts);
        return nullptr;
    }
}
