// Times the macro expansion of a long code text with a macro call on every line, at two
// sizes, to show that the time grows in proportion to the text.
#include "app/RunLog.h"
#include "expand/MacroExpansion.h"
#include "template/TCodeTab.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

QStringList codeWithCalls(int lines)
{
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines; ++i)
        code.append(QStringLiteral("    %%SendFrame(16#%1,Len%2)%%").arg(i % 256, 2, 16).arg(i));
    return code;
}

double expandSeconds(int lines, const NamedList<TCodeTab *> &macros, qsizetype &resultLines)
{
    QStringList code = codeWithCalls(lines);
    RunLog log;
    QElapsedTimer timer;
    timer.start();
    ExpandMacros(code, macros, log);
    const double seconds = timer.nsecsElapsed() / 1e9;
    resultLines = code.size();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TCodeTab sendFrame(QStringLiteral("SendFrame"));
    sendFrame.reCode = QStringList{QStringLiteral("Buf[0] := %%0%%;"),
                                   QStringLiteral("Send(Buf, %%1%%, %%Addr%%);")};
    NamedList<TCodeTab *> macros(NameOrder::Sorted, NameRepeats::Refuse);
    macros.add(sendFrame.name, &sendFrame);

    double previous = 0;
    for (const int lines : {100'000, 200'000}) {
        qsizetype out = 0;
        double best = 1e9;
        for (int run = 0; run < 3; ++run)
            best = std::min(best, expandSeconds(lines, macros, out));
        std::printf("macro expansion: %d lines -> %lld lines in %.3f s", lines,
                    static_cast<long long>(out), best);
        if (previous > 0)
            std::printf(" (x%.2f for twice the text)", best / previous);
        std::printf("\n");
        previous = best;
    }
    return 0;
}
