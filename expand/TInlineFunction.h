#pragma once

#include "template/TemplateVocabulary.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>

// Integer arithmetic that a user-input placeholder asks for on the input's value, as in
// %%#INC#Index%% or %%#ADD(16)#Index%%. One object serves one placeholder occurrence.
class TInlineFunction {
public:
    // The function applied to the value: INC adds 1, ADD adds its argument (signed 32-bit,
    // wrapping); an unknown function gives the value unchanged.
    QString Execute(const QString &VarValue) const;
    // The whole placeholder name as written between the markers, both '#' included.
    const QString &OrgVarName() const { return FOrgVarName; }

    QString FFuncName;   // as written, without the argument part
    QString FOrgVarName; // the whole name between the markers
    QString FParameter;  // between '(' and ')', empty when there is none
    std::int32_t FAddValue = 0;
    TFuncId FFuncId = TFuncId::fiUnknown;
};

// Parses a placeholder name that begins with '#'. The user input to look up is everything
// behind the second '#', or the whole name (first '#' included) when there is no second
// one; only then is no function object made.
std::unique_ptr<TInlineFunction> ParseInlineFunction(const QString &name, QString &varName);

// A whole signed 32-bit integer (leading spaces, sign, decimal or hexadecimal after $, x, X,
// 0x or 0X, nothing behind); any other text gives 0.
std::int32_t StrToIntOrZero(QStringView text);
