// Times the macro expansion of a long code text with a macro call on every line, alone and
// followed by the user-input substitution of the two placeholders each expanded line holds,
// at two sizes, to show that the time grows in proportion to the text.
#include "common/RunLog.h"
#include "expand/PlaceholderSubstitution.h"
#include "template/MacroExpansion.h"
#include "template/SignalSheetState.h"
#include "template/TCodeTab.h"
#include "template/TInsertUserVar.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

QStringList codeWithCalls(int lines)
{
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines; ++i)
        code.append(QStringLiteral("    %%SendFrame(16#%1,Len%2)%%")
                        .arg(i % 256, 2, 16, QChar(u'0'))
                        .arg(i));
    return code;
}

// Two user inputs without a cell: their value is their default.
UserInputList makeInputs()
{
    UserInputList list;
    for (const char *name : {"Base", "Port"}) {
        auto record = std::make_unique<TUserInputType>();
        record->v.VarName = QString::fromLatin1(name);
        record->v.Default = QStringLiteral("17");
        const QString key = record->v.VarName;
        list.add(key, UserInputEntry{QStringLiteral("-1,-1,-1,17"), std::move(record)});
    }
    return list;
}

// Processor time of this thread: other programs on a busy machine do not count.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Timing {
    double macros = 0;
    double withPlaceholders = 0;
    qsizetype lines = 0;
};

Timing timeOnce(int lines, const NamedList<TCodeTab *> &macros)
{
    QStringList code = codeWithCalls(lines);
    RunLog log;
    SignalSheetState signalSheet;
    TInsertUserVar reader(nullptr, signalSheet, log);
    PlaceholderSubstitution substitution(reader, log);
    UserInputList inputs = makeInputs();

    const double start = cpuSeconds();
    ExpandMacros(code, macros, log);
    Timing t;
    t.macros = cpuSeconds() - start;
    substitution.ReplaceUserVariablesInLines(-1, QString(), &code, inputs);
    t.withPlaceholders = cpuSeconds() - start;
    t.lines = code.size();
    if (!log.lines().isEmpty() || !code[1].endsWith(QStringLiteral(" + 17;")) ||
        !code[2].endsWith(QStringLiteral(", 18);")))
        std::fprintf(stderr, "unexpected result: %s\n", qPrintable(code[2]));
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TCodeTab sendFrame(QStringLiteral("SendFrame"));
    sendFrame.reCode = QStringList{QStringLiteral("Buf[0] := %%0%% + %%Base%%;"),
                                   QStringLiteral("Send(Buf, %%1%%, %%#INC#Port%%);")};
    NamedList<TCodeTab *> macros(NameOrder::Sorted, NameRepeats::Refuse);
    macros.add(sendFrame.name, &sendFrame);

    Timing previous;
    for (const int lines : {100'000, 200'000, 400'000}) {
        Timing best{1e9, 1e9, 0};
        for (int run = 0; run < 5; ++run) {
            const Timing t = timeOnce(lines, macros);
            best.macros = std::min(best.macros, t.macros);
            best.withPlaceholders = std::min(best.withPlaceholders, t.withPlaceholders);
            best.lines = t.lines;
        }
        std::printf(
            "%d lines -> %lld: macros %.3f s, macros + two placeholders %.3f s (processor time)",
            lines, static_cast<long long>(best.lines), best.macros, best.withPlaceholders);
        if (previous.macros > 0)
            std::printf(" (x%.2f and x%.2f for twice the text)", best.macros / previous.macros,
                        best.withPlaceholders / previous.withPlaceholders);
        std::printf("\n");
        previous = best;
    }
    return 0;
}
