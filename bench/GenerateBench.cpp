// Times the dry run of a generation (workbook and template to the generated program in
// memory) on workbooks of 5,000 to 100,000 signals, written by our own writer and as
// spreadsheet tools write theirs, each run in a process of its own so that its peak memory
// is that of the run alone.
//
//   bench_generate                 runs every size and form and prints a table
//   bench_generate --run BOOK      runs one workbook (its template beside it) and prints
//                                  "ms peak-kB code-lines blocks cpu-ms"
//   bench_generate --write DIR N FORM
//                                  writes the workbook of N signals in FORM (synthetic, inline
//                                  or shared) and its template into DIR, for --run
#include "BenchProcess.h"
#include "BenchWorkbook.h"

#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "workbook/FileWorkbooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct SilentPrompts final : UserPrompts {
    void message(const QString &, const QString &text) override
    {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

int runOne(const QString &book)
{
    RunState state;
    FileWorkbooks excel;
    RunLog log;
    SilentPrompts prompts;
    GenerationRun run(state, excel, log, prompts);
    QElapsedTimer timer;
    const long long cpuBefore = cpuMilliseconds();
    timer.start();
    const bool ok = run.GenerateFromWorkbook(WorkbookChooser::forPath(book), false);
    const qint64 ms = timer.elapsed();
    const long long cpu = cpuMilliseconds() - cpuBefore;
    if (!ok || qEnvironmentVariableIsSet("BENCH_LOG")) {
        for (const QString &l : log.lines())
            std::fprintf(stderr, "%s\n", qPrintable(l));
        if (!ok)
            return 1;
    }
    std::printf("%lld %ld %lld %lld %lld\n", static_cast<long long>(ms), peakKilobytes(),
                static_cast<long long>(state.GenTab->reCode.size()),
                static_cast<long long>(state.Template.FuncBlocks.size()), cpu);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"--run")
        return runOne(args[2]);
    if (args.size() == 5 && args[1] == u"--write") {
        const std::optional<BenchForm> form = benchFormFromArgument(args[4]);
        QTemporaryDir dir(args[2] + QStringLiteral("/bench-XXXXXX"));
        if (!form || !dir.isValid())
            return 2;
        dir.setAutoRemove(false);
        std::printf("%s\n", qPrintable(writeBenchInputs(dir, args[3].toInt(), *form)));
        return 0;
    }
    struct Run {
        BenchForm form;
        int signalCount;
    };
    const Run runs[] = {
        {BenchForm::Synthetic, 5000},
        {BenchForm::Synthetic, 10000},
        {BenchForm::Synthetic, 20000},
        {BenchForm::Synthetic, 40000},
        {BenchForm::Synthetic, 100000},
        {BenchForm::InlineStrings, 10000},
        {BenchForm::InlineStrings, 40000},
        {BenchForm::InlineStrings, 100000},
        {BenchForm::SharedStringsAndStyles, 10000},
        {BenchForm::SharedStringsAndStyles, 40000},
        {BenchForm::SharedStringsAndStyles, 100000},
    };
    std::printf("%-24s %8s %10s %10s %10s %12s %8s %14s\n", "workbook", "signals", "wall ms",
                "cpu ms", "peak MB", "code lines", "blocks", "cpu x 10,000");
    QHash<int, qint64> tenThousand; // cpu ms of the 10,000-signal run of each form
    for (const Run &run : runs) {
        QTemporaryDir dir;
        const QString book = writeBenchInputs(dir, run.signalCount, run.form);
        QProcess one;
        one.start(app.applicationFilePath(), {"--run", book});
        if (!one.waitForFinished(600000) || one.exitCode() != 0) {
            std::fprintf(stderr, "run of %d signals failed: %s\n", run.signalCount,
                         one.readAllStandardError().constData());
            return 1;
        }
        const QList<QByteArray> f = one.readAllStandardOutput().trimmed().split(' ');
        const qint64 ms = f[0].toLongLong();
        const qint64 cpu = f[4].toLongLong();
        if (run.signalCount == 10000)
            tenThousand[int(run.form)] = cpu;
        const qint64 base = tenThousand.value(int(run.form));
        std::printf("%-24s %8d %10lld %10lld %10.1f %12s %8s %14.2f\n", benchFormName(run.form),
                    run.signalCount, static_cast<long long>(ms), static_cast<long long>(cpu),
                    f[1].toDouble() / 1024.0, f[2].constData(), f[3].constData(),
                    base ? double(cpu) / double(base) : 0.0);
    }
    return 0;
}
