// Times a whole generation into a project on the benchmark's workbook: the dry run, the first
// generation into an empty project folder, a second, unchanged one, and the plan of a third
// against the project the second left. Each run is a process of its own, so that its peak
// memory is that of the run alone.
//
//   bench_project                   40,000 and 100,000 signals of the synthetic workbook, and
//                                   40,000 of each form spreadsheet tools write
//   bench_project SIGNALS [FORM]    one workbook (FORM: synthetic, inline or shared)
//   bench_project --run RUN BOOK    one run (dry, build or plan) of any workbook; prints
//                                   "wall-ms cpu-ms log-lines peak-kB"
#include "BenchProcess.h"
#include "BenchWorkbook.h"

#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "project/BuildSettings.h"
#include "project/TK5DB.h"
#include "run/ChangePlanRun.h"
#include "run/GenerationRun.h"
#include "run/ProjectUpdate.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "workbook/FileWorkbooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
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

// One run of the workbook: dry, written into the project, or planned against it.
enum class Mode { Dry, Build, Plan };

const struct {
    const char *argument;
    Mode mode;
} kModes[] = {{"dry", Mode::Dry}, {"build", Mode::Build}, {"plan", Mode::Plan}};

// Runs the workbook once in this process and prints its row of figures; a plan counts as
// failed when it finds a change (the benchmark plans against an unchanged project).
int runOne(const QString &modeArgument, const QString &book)
{
    const auto found = std::find_if(std::begin(kModes), std::end(kModes),
                                    [&](const auto &m) { return modeArgument == m.argument; });
    if (found == std::end(kModes))
        return 2;
    const Mode mode = found->mode;
    TK5DB db;
    if (mode != Mode::Dry && !db.Result) {
        std::fprintf(stderr, "the project database library K5DBSRV was not found\n");
        return 1;
    }
    RunState state;
    FileWorkbooks excel;
    RunLog log;
    SilentPrompts prompts;
    GenerationRun run(state, excel, log, prompts);
    if (mode == Mode::Build)
        run.setProjectUpdater(makeProjectUpdater(run, state, log, db, BuildSettings()));
    QElapsedTimer timer;
    const long long cpuBefore = cpuMilliseconds();
    timer.start();
    bool ok = false;
    if (mode == Mode::Plan) {
        const ChangePlan plan =
            planGeneration(run, state, log, db, BuildSettings(), {WorkbookChooser::forPath(book)});
        ok = plan.ok && !plan.hasChanges();
    } else {
        ok = run.GenerateFromWorkbook(WorkbookChooser::forPath(book), false);
    }
    const qint64 wallMs = timer.elapsed();
    const long long cpuMs = cpuMilliseconds() - cpuBefore;
    if (!ok || qEnvironmentVariableIsSet("BENCH_LOG")) {
        for (const QString &l : log.lines())
            std::fprintf(stderr, "%s\n", qPrintable(l));
        if (!ok)
            return 1;
    }
    std::printf("%lld %lld %lld %ld\n", static_cast<long long>(wallMs), cpuMs,
                static_cast<long long>(log.lines().size()), peakKilobytes());
    return 0;
}

// The four runs on one workbook, each in a process of its own, printed as rows of the table.
bool timeWorkbook(const QString &program, int signalCount, BenchForm form)
{
    QTemporaryDir dir;
    const QString book = writeBenchInputs(dir, signalCount, form);
    struct Step {
        const char *name;
        const char *mode;
    } const steps[] = {{"dry run", "dry"},
                       {"first generation", "build"},
                       {"second, unchanged", "build"},
                       {"plan, unchanged", "plan"}};
    for (const Step &step : steps) {
        QProcess one;
        one.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        one.start(program, {"--run", step.mode, book});
        if (!one.waitForFinished(600000) || one.exitStatus() != QProcess::NormalExit ||
            one.exitCode() != 0) {
            std::fprintf(stderr, "%s failed\n", step.name);
            return false;
        }
        const QList<QByteArray> f = one.readAllStandardOutput().trimmed().split(' ');
        if (f.size() != 4)
            return false;
        std::printf("%-24s %8d %-20s %10s %10s %10.1f %10s\n", benchFormName(form), signalCount,
                    step.name, f[0].constData(), f[1].constData(), f[3].toDouble() / 1024.0,
                    f[2].constData());
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"--run")
        return runOne(args[2], args[3]);
    std::vector<std::pair<int, BenchForm>> workbooks = {
        {40000, BenchForm::Synthetic},
        {100000, BenchForm::Synthetic},
        {40000, BenchForm::InlineStrings},
        {40000, BenchForm::SharedStringsAndStyles},
    };
    if (argc > 1) {
        const std::optional<BenchForm> form =
            argc > 2 ? benchFormFromArgument(QString::fromLocal8Bit(argv[2]))
                     : BenchForm::Synthetic;
        if (!form) {
            std::fprintf(stderr, "unknown workbook form %s\n", argv[2]);
            return 2;
        }
        workbooks = {{QString::fromLocal8Bit(argv[1]).toInt(), *form}};
    }
    std::printf("%-24s %8s %-20s %10s %10s %10s %10s\n", "workbook", "signals", "run", "wall ms",
                "cpu ms", "peak MB", "log lines");
    for (const auto &[signalCount, form] : workbooks) {
        if (!timeWorkbook(app.applicationFilePath(), signalCount, form))
            return 1;
    }
    return 0;
}
