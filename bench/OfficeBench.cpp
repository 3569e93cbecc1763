// The 5,000-signal workbook generated (dry run) through LibreOffice against the file
// readers. LibreOffice's start-up is timed apart; then each way is run three times and the
// best run kept: the first bridge run loads the workbook into Calc, the later ones find it
// open, as they do when the engineer has it open.
//
//   bench_office [SIGNALS]
#include "BenchWorkbook.h"

#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "workbook/FileWorkbooks.h"
#include "workbook/OfficeWorkbooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

struct SilentPrompts final : UserPrompts {
    void message(const QString &, const QString &text) override
    {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

// Milliseconds of one dry run; -1 when it failed.
qint64 timeRun(WorkbookComponent &excel, const QString &book)
{
    RunState state;
    RunLog log;
    SilentPrompts prompts;
    GenerationRun run(state, excel, log, prompts);
    QElapsedTimer timer;
    timer.start();
    if (!run.GenerateFromWorkbook(WorkbookChooser::forPath(book), false)) {
        for (const QString &l : log.lines())
            std::fprintf(stderr, "%s\n", qPrintable(l));
        return -1;
    }
    return timer.elapsed();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int signalCount = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    QTemporaryDir dir;
    const QString book = writeBenchInputs(dir, signalCount);

    OfficeBridgeOptions options = OfficeWorkbooks::defaultOptions();
    options.pipeName += QStringLiteral("-bench"); // always a LibreOffice of our own
    OfficeWorkbooks office(options);
    QElapsedTimer startup;
    startup.start();
    office.Attach();
    const qint64 startupMs = startup.elapsed();

    FileWorkbooks files;
    qint64 bestFiles = -1;
    qint64 firstOffice = -1;
    qint64 bestOffice = -1;
    for (int i = 0; i < 3; ++i) {
        const qint64 f = timeRun(files, book);
        const qint64 o = timeRun(office, book);
        if (f < 0 || o < 0)
            return 1;
        if (i == 0)
            firstOffice = o;
        bestFiles = bestFiles < 0 ? f : std::min(bestFiles, f);
        bestOffice = bestOffice < 0 ? o : std::min(bestOffice, o);
    }
    std::printf("signals %d\n", signalCount);
    std::printf("LibreOffice start-up                 %6lld ms\n",
                static_cast<long long>(startupMs));
    std::printf("file readers, best of 3              %6lld ms\n",
                static_cast<long long>(bestFiles));
    std::printf("LibreOffice, first run (loads it)    %6lld ms\n",
                static_cast<long long>(firstOffice));
    std::printf("LibreOffice, best of 3 (open)        %6lld ms  (%.2f x the file readers)\n",
                static_cast<long long>(bestOffice),
                double(bestOffice) / double(std::max<qint64>(bestFiles, 1)));
    return 0;
}
