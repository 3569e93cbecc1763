#include "expand/TInlineFunction.h"

#include <gtest/gtest.h>

namespace {

// What %%name%% gives for a user input worth `value`.
QString apply(const QString &name, const QString &value)
{
    QString varName;
    const std::unique_ptr<TInlineFunction> f = ParseInlineFunction(name, varName);
    return f ? f->Execute(value) : value;
}

} // namespace

TEST(InlineFunction, AppliesIncAndAddToTheValue)
{
    struct Case {
        const char *name;
        const char *value;
        const char *result;
    };
    const Case cases[] = {
        {"#INC#Index", "7", "8"},
        {"#ADD(16)#Index", "7", "23"},
        {"#ADD(-1)#Index", "7", "6"},
        {"#ADD($10)#Index", "7", "23"},
        {"#INC#Index", "abc", "1"},
        {"#ADD#Index", "007", "7"}, // no argument: the value normalised
        {"#ADD#Index", "", "0"},
        {"#ADD(x)#Index", "5", "5"}, // a non-numeric argument adds 0
        {"#INC(5)#Index", "7", "8"}, // INC ignores its argument
        {"#INC#Index", "2147483647", "-2147483648"},
        {"#ADD(1)#Index", "-5", "-4"},
        {"#ADD(-2147483648)#Index", "-1", "2147483647"},
        {"#INC#Index", " 0x0F", "16"},
        {"#INC#Index", "1 ", "1"},   // trailing blank: no number
        {"#add(3)#Index", "7", "7"}, // names are case-sensitive: the plain value
        {"#Inc#Index", "7", "7"},
        {"#FOO#Index", "x", "x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " on " + c.value);
        EXPECT_EQ(apply(QLatin1StringView(c.name), QLatin1StringView(c.value)),
                  QLatin1StringView(c.result));
    }
}

TEST(InlineFunction, SplitsTheNameIntoFunctionArgumentAndUserInput)
{
    struct Case {
        const char *name;
        bool function;
        const char *varName;
        const char *funcName;
        const char *parameter;
        TFuncId id;
        int addValue;
    };
    const Case cases[] = {
        {"#INC#Index", true, "Index", "INC", "", TFuncId::fiINC, 0},
        {"#ADD(16)#Index", true, "Index", "ADD", "16", TFuncId::fiADD, 16},
        {"#ADD(16)x#Index", true, "Index", "ADD", "16", TFuncId::fiADD, 16},
        {"#ADD)2(#Index", true, "Index", "ADD)2", "", TFuncId::fiUnknown, 0},
        {"#INC#", true, "", "INC", "", TFuncId::fiINC, 0},
        {"#INC#a#b", true, "a#b", "INC", "", TFuncId::fiINC, 0},
        {"#Index", false, "#Index", "", "", TFuncId::fiUnknown, 0},
        {"#", false, "#", "", "", TFuncId::fiUnknown, 0},
        {"##Index", true, "Index", "", "", TFuncId::fiUnknown, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString varName = QStringLiteral("stale");
        const std::unique_ptr<TInlineFunction> f =
            ParseInlineFunction(QLatin1StringView(c.name), varName);
        EXPECT_EQ(varName, QLatin1StringView(c.varName));
        ASSERT_EQ(bool(f), c.function);
        if (!f)
            continue;
        EXPECT_EQ(f->OrgVarName(), QLatin1StringView(c.name));
        EXPECT_EQ(f->FFuncName, QLatin1StringView(c.funcName));
        EXPECT_EQ(f->FParameter, QLatin1StringView(c.parameter));
        EXPECT_EQ(f->FFuncId, c.id);
        EXPECT_EQ(f->FAddValue, c.addValue);
    }
}

TEST(InlineFunction, StrToIntOrZeroReadsWholeIntegersOnly)
{
    const std::pair<const char *, int> cases[] = {
        {"42", 42},        {"  -7", -7},
        {"+3", 3},         {"$1F", 31},
        {"0x10", 16},      {"X10", 16},
        {"", 0},           {"1.5", 0},
        {"12a", 0},        {"3 ", 0},
        {"-", 0},          {"0x", 0},
        {"2147483648", 0}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto &[text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(StrToIntOrZero(QString::fromLatin1(text)), value);
    }
}
