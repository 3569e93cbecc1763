// Times the dry run of a generation (workbook and template to the generated program in
// memory) on synthetic workbooks of 5,000 to 40,000 signals, each size in a process of its
// own so that its peak memory can be read.
//
//   bench_generate            runs every size and prints a table
//   bench_generate --one N    runs one size and prints "N ms peak-kB"
#include "BenchWorkbook.h"

#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "workbook/FileWorkbooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Processor time of this process so far, in milliseconds: on a busy machine it says more
// than the wall clock.
long long cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

long peakKilobytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

struct SilentPrompts final : UserPrompts {
    void message(const QString &, const QString &text) override
    {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

int runOne(int signalCount)
{
    QTemporaryDir dir;
    const QString book = writeBenchInputs(dir, signalCount);
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
    std::printf("%d %lld %ld %lld %lld %lld\n", signalCount, static_cast<long long>(ms),
                peakKilobytes(), static_cast<long long>(state.GenTab->reCode.size()),
                static_cast<long long>(state.Template.FuncBlocks.size()), cpu);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"--one")
        return runOne(args[2].toInt());
    std::printf("%8s %10s %10s %10s %12s %8s\n", "signals", "wall ms", "cpu ms", "peak MB",
                "code lines", "blocks");
    qint64 first = 0;
    for (const int n : {5000, 10000, 20000, 40000}) {
        QProcess one;
        one.start(app.applicationFilePath(), {"--one", QString::number(n)});
        if (!one.waitForFinished(600000) || one.exitCode() != 0) {
            std::fprintf(stderr, "run of %d signalCount failed: %s\n", n,
                         one.readAllStandardError().constData());
            return 1;
        }
        const QList<QByteArray> f = one.readAllStandardOutput().trimmed().split(' ');
        const qint64 ms = f[1].toLongLong();
        const qint64 cpu = f[5].toLongLong();
        if (n == 5000)
            first = cpu;
        std::printf("%8d %10lld %10lld %10.1f %12s %8s   (cpu %.2f x the 5,000 run)\n", n,
                    static_cast<long long>(ms), static_cast<long long>(cpu),
                    f[2].toDouble() / 1024.0, f[3].constData(), f[4].constData(),
                    first ? double(cpu) / double(first) : 0.0);
    }
    return 0;
}
