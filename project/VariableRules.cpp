#include "project/VariableRules.h"

#include "common/LenientInt.h"
#include "common/RunLog.h"
#include "common/TextTrim.h"

#include <array>
#include <optional>

namespace {

enum class Op { GreaterEqual, LessEqual, NotEqual, Equal, Greater, Less };

struct OpText {
    const char16_t *text;
    Op op;
};

// Looked for in this order: the two-character operators before the ones they begin with.
constexpr std::array<OpText, 6> kOperators = {{
    {u">=", Op::GreaterEqual},
    {u"<=", Op::LessEqual},
    {u"<>", Op::NotEqual},
    {u"=", Op::Equal},
    {u">", Op::Greater},
    {u"<", Op::Less},
}};

// The right side of a condition is read up to this many characters.
constexpr qsizetype kMaxRightLength = 100;

template <typename T> bool compare(Op op, const T &left, const T &right)
{
    switch (op) {
    case Op::GreaterEqual:
        return left >= right;
    case Op::LessEqual:
        return left <= right;
    case Op::NotEqual:
        return left != right;
    case Op::Equal:
        return left == right;
    case Op::Greater:
        return left > right;
    case Op::Less:
        return left < right;
    }
    return true;
}

} // namespace

bool EvaluateCondition(const QString &Text, bool Default)
{
    for (const OpText &candidate : kOperators) {
        const QString opText = QString::fromUtf16(candidate.text);
        const qsizetype at = Text.indexOf(opText);
        if (at < 0)
            continue;
        const QString left = Text.left(at);
        const QString right = Text.mid(at + opText.size(), kMaxRightLength);
        const auto leftNumber = tryReadInt(left);
        const auto rightNumber = tryReadInt(right);
        if (leftNumber && rightNumber)
            return compare(candidate.op, *leftNumber, *rightNumber);
        // QString's operators compare UTF-16 code units, which is character code order.
        return compare(candidate.op, left, right);
    }
    return Default;
}

QString lineField(const QStringList &fields, int number)
{
    return number >= 1 && number <= fields.size() ? fields[number - 1] : QString();
}

void SelectProfileEmbed(QStringList &Fields, RunLog &log)
{
    if (Fields.size() < 5)
        return;
    const auto setField = [&Fields](int number, const QString &value) {
        if (number <= Fields.size())
            Fields[number - 1] = value;
    };
    const QString profile = trimText(lineField(Fields, 9));
    const QString embed = lineField(Fields, 10);
    if (profile.isEmpty()) {
        setField(10, QString());
        return;
    }
    const qsizetype found = embed.indexOf(profile + u'[');
    if (found < 0) {
        setField(9, QString());
        setField(10, QString());
        return;
    }
    const qsizetype start = found + profile.size() + 1;
    const qsizetype end = embed.indexOf(u']', start);
    if (end < 0) {
        log.LogLine(QStringLiteral("Missing ']' error found in XML file. Profile:") + profile);
        return;
    }
    setField(10, embed.mid(start, end - start));
}

QStringList twelveFieldForm(const QStringList &fields)
{
    constexpr int kShortFormFields = 5;
    constexpr int kFields = 12;
    constexpr int kProfileField = 9;
    if (fields.size() != kShortFormFields)
        return fields;
    QStringList full = fields.mid(0, kShortFormFields - 1);
    while (full.size() < kFields)
        full << QString();
    full[kProfileField - 1] = fields[kShortFormFields - 1];
    return full;
}

bool sameFields(const QStringList &line, const QStringList &existing)
{
    constexpr int kTypeField = 2;
    if (line.size() != existing.size())
        return false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const Qt::CaseSensitivity cs =
            i == kTypeField - 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (line[i].compare(existing[i], cs) != 0)
            return false;
    }
    return true;
}
