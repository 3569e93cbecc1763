// Times a whole generation into a project on the benchmark's workbook: the dry run, the first
// generation into an empty project folder, a second, unchanged one, and the plan of a third
// against the project the second left.
//
//   bench_project                   40,000 and 100,000 signals of the synthetic workbook, and
//                                   40,000 of each form spreadsheet tools write
//   bench_project SIGNALS [FORM]    one workbook (FORM: synthetic, inline or shared)
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
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

long long cpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

struct SilentPrompts final : UserPrompts {
    void message(const QString &, const QString &text) override
    {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

struct Timing {
    qint64 wallMs = 0;
    long long cpuMs = 0;
    int lines = 0;
};

// One run of the workbook; with `db` the project is written, without it the run is dry.
enum class Mode { Dry, Build, Plan };

// One run of the workbook: dry, written into the project, or planned against it.
bool timeRun(const QString &book, TK5DB &db, Mode mode, Timing &timing)
{
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
    timing = {timer.elapsed(), cpuMilliseconds() - cpuBefore, int(log.lines().size())};
    if (!ok || qEnvironmentVariableIsSet("BENCH_LOG")) {
        for (const QString &l : log.lines())
            std::fprintf(stderr, "%s\n", qPrintable(l));
    }
    return ok;
}

// The three runs on one workbook, printed as rows of the table.
bool timeWorkbook(TK5DB &db, int signalCount, BenchForm form)
{
    QTemporaryDir dir;
    const QString book = writeBenchInputs(dir, signalCount, form);
    struct Step {
        const char *name;
        Mode mode;
    } const steps[] = {{"dry run", Mode::Dry},
                       {"first generation", Mode::Build},
                       {"second, unchanged", Mode::Build},
                       {"plan, unchanged", Mode::Plan}};
    for (const Step &step : steps) {
        Timing t;
        if (!timeRun(book, db, step.mode, t)) {
            std::fprintf(stderr, "%s failed\n", step.name);
            return false;
        }
        std::printf("%-24s %8d %-20s %10lld %10lld %10d\n", benchFormName(form), signalCount,
                    step.name, static_cast<long long>(t.wallMs), t.cpuMs, t.lines);
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TK5DB db;
    if (!db.Result) {
        std::fprintf(stderr, "the project database library K5DBSRV was not found\n");
        return 1;
    }
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
    std::printf("%-24s %8s %-20s %10s %10s %10s\n", "workbook", "signals", "run", "wall ms",
                "cpu ms", "log lines");
    for (const auto &[signalCount, form] : workbooks) {
        if (!timeWorkbook(db, signalCount, form))
            return 1;
    }
    return 0;
}
