#include "expand/TInlineFunction.h"

#include "common/LenientInt.h"

namespace {

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

} // namespace

std::int32_t StrToIntOrZero(QStringView text)
{
    return tryReadInt(text).value_or(0);
}

QString TInlineFunction::Execute(const QString &VarValue) const
{
    switch (FFuncId) {
    case TFuncId::fiINC:
        return QString::number(wrappingAdd(StrToIntOrZero(VarValue), 1));
    case TFuncId::fiADD:
        return QString::number(wrappingAdd(StrToIntOrZero(VarValue), FAddValue));
    case TFuncId::fiUnknown:
        break;
    }
    return VarValue;
}

std::unique_ptr<TInlineFunction> ParseInlineFunction(const QString &name, QString &varName)
{
    varName.clear();
    const qsizetype second = name.indexOf(u'#', 1);
    if (second < 0) {
        varName = name;
        return nullptr;
    }
    auto function = std::make_unique<TInlineFunction>();
    function->FFuncName = name.mid(1, second - 1);
    function->FOrgVarName = name;
    varName = name.mid(second + 1);

    const QString &f = function->FFuncName;
    const qsizetype open = f.indexOf(u'(');
    const qsizetype close = f.indexOf(u')');
    if (open >= 0 && close >= 0) {
        // A ')' before the '(' leaves no text between them.
        if (close > open)
            function->FParameter = f.mid(open + 1, close - open - 1);
        function->FFuncName.truncate(open);
    }

    if (const InlineFunctionWord *word = findInlineFunction(function->FFuncName)) {
        function->FFuncId = word->id;
        if (word->arguments > 0)
            function->FAddValue = StrToIntOrZero(function->FParameter);
    }
    return function;
}
