// Times the dry run of a generation (workbook and template to the generated program in
// memory) on synthetic workbooks of 5,000 to 40,000 signals, each size in a process of its
// own so that its peak memory can be read.
//
//   bench_generate            runs every size and prints a table
//   bench_generate --one N    runs one size and prints "N ms peak-kB"
#include "app/GenerationRun.h"
#include "app/RunLog.h"
#include "app/RunState.h"
#include "app/UserPrompts.h"
#include "app/WorkbookChooser.h"
#include "tools/WorkbookWriter.h"
#include "workbook/FileWorkbooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Six signal types over twelve columns; SPI and MEAS collect into blocks of 16 signals made
// from two function-block templates; IOA, Port and Chan are user inputs with ranges.
const char *const kTemplate = R"(<?xml version="1.0"?>
<Bench>
  <VersionInfo version="1.0" sheet="1" row="7" col="2"/>
  <Macros><Count><CODE>%%0%% := %%0%% + 1;</CODE></Count></Macros>
  <MainCode>
    <Main>
      <UserInput name="CASDU" sheet="1" row="8" col="2" default="1" type="int" range="1..65534"/>
      <globalvar name="Cycles" type="DINT"/>
      <CODE FileName="Main"><![CDATA[
        %%Count(Cycles)%%
        %%Calls%%
        %%Doubles%%
        %%Commands%%
        %%Counters%%
        %%Setpoints%%
      ]]></CODE>
    </Main>
  </MainCode>
  <FunctionBlocks>
    <InputBlock>
      <Calls TemplateCreate="yes">%%option%%();</Calls>
      <CODE MaxIO="16" Section="CHILD" SubProgram="1"><![CDATA[
        %%Scan%%
      ]]></CODE>
    </InputBlock>
    <MeasBlock>
      <Calls TemplateCreate="yes">%%option%%();</Calls>
      <CODE MaxIO="16" Section="CHILD" SubProgram="1"><![CDATA[
        %%Cyclic%%
      ]]></CODE>
    </MeasBlock>
  </FunctionBlocks>
  <SignalTypes>
    <Variables>
      <SignalTypeSheet>2</SignalTypeSheet>
      <SignalTypeStartRow>2</SignalTypeStartRow>
      <SignalTypeColon>1</SignalTypeColon>
      <RowDisableColon>2</RowDisableColon>
      <Tag>3</Tag><Desc>4</Desc><Scale>8</Scale><Unit>9</Unit><Group>10</Group><Note>11</Note><Extra>12</Extra>
      <UserInput name="IOA" sheet="2" row="2" col="5" default="0" type="int" range="1..16777215"/>
      <UserInput name="Port" sheet="2" row="2" col="6" default="1" type="int" range="1..64"/>
      <UserInput name="Chan" sheet="2" row="2" col="7" default="1" type="int" range="1..64"/>
    </Variables>
    <SPI>
      <globalvar name="%%Tag%%" type="BOOL"><varinfo type="desc" data="%%Desc%%"/></globalvar>
      <Scan option="_I%%Port%%" template="InputBlock">%%Tag%% := DI(%%Port%%, %%Chan%%); (* %%IOA%% *)</Scan>
    </SPI>
    <DPI>
      <globalvar name="%%Tag%%" type="INT"><varinfo type="desc" data="%%Desc%%"/></globalvar>
      <Doubles>%%Tag%% := DP(%%Port%%, %%Chan%%, %%#INC#Chan%%); (* %%IOA%% %%Group%% *)</Doubles>
    </DPI>
    <MEAS>
      <globalvar name="%%Tag%%" type="REAL"><varinfo type="desc" data="%%Desc%% [%%Unit%%]"/></globalvar>
      <Cyclic option="_M%%Port%%" template="MeasBlock">%%Tag%% := AI(%%Port%%, %%Chan%%) * %%Scale%%;</Cyclic>
    </MEAS>
    <SCO>
      <globalvar name="%%Tag%%_Cmd" type="BOOL"/>
      <Commands>DO(%%Port%%, %%Chan%%, %%Tag%%_Cmd); (* %%IOA%% %%Note%% *)</Commands>
    </SCO>
    <CNT>
      <retainvar name="%%Tag%%" type="DINT"/>
      <Counters>%%Tag%% := CNT(%%Port%%, %%Chan%%); (* %%Extra%% *)</Counters>
    </CNT>
    <SP>
      <globalvar name="%%Tag%%" type="REAL"/>
      <Setpoints>AO(%%Port%%, %%Chan%%, %%Tag%%);</Setpoints>
    </SP>
  </SignalTypes>
</Bench>
)";

const char *const kTypes[] = {"SPI", "DPI", "MEAS", "SCO", "CNT", "SP"};

QString writeInputs(const QTemporaryDir &dir, int signalCount)
{
    QFile xml(dir.filePath("bench.xml"));
    if (!xml.open(QIODevice::WriteOnly) || xml.write(kTemplate) < 0)
        qFatal("cannot write the template");
    xml.close();
    SheetContent settings{"Settings",
                       {{"Bench"}, {"Template", "bench.xml"}, {"Project", "Bench"}, {"Address", "127.0.0.1"},
                        {"Main type", "Main"}, {"Main name", "Main"}, {"Version", "1.0"}, {"CASDU", 7}}};
    SheetContent sheet{"Signals", {{"Type", "Off", "Tag", "Desc", "IOA", "Port", "Chan", "Scale", "Unit",
                                 "Group", "Note", "Extra"}}};
    sheet.rows.reserve(signalCount + 2);
    for (int i = 0; i < signalCount; ++i) {
        sheet.rows.push_back({kTypes[i % 6], i % 97 == 0 ? QVariant("x") : QVariant(),
                              QStringLiteral("Sig_%1").arg(i), QStringLiteral("Signal number %1").arg(i),
                              1000 + i, 1 + (i / 64) % 64, 1 + i % 64, 0.5, "kV",
                              QStringLiteral("G%1").arg(i % 10), "note", i});
    }
    sheet.rows.push_back({"END"});
    const QString book = dir.filePath("bench.xlsx");
    writeXlsx(book, {settings, sheet});
    return book;
}

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
    const QString book = writeInputs(dir, signalCount);
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
    std::printf("%d %lld %ld %lld %lld %lld\n", signalCount, static_cast<long long>(ms), peakKilobytes(),
                static_cast<long long>(state.GenTab->reCode.size()),
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
    std::printf("%8s %10s %10s %10s %12s %8s\n", "signals", "wall ms", "cpu ms", "peak MB", "code lines",
                "blocks");
    qint64 first = 0;
    for (const int n : {5000, 10000, 20000, 40000}) {
        QProcess one;
        one.start(app.applicationFilePath(), {"--one", QString::number(n)});
        if (!one.waitForFinished(600000) || one.exitCode() != 0) {
            std::fprintf(stderr, "run of %d signalCount failed: %s\n", n, one.readAllStandardError().constData());
            return 1;
        }
        const QList<QByteArray> f = one.readAllStandardOutput().trimmed().split(' ');
        const qint64 ms = f[1].toLongLong();
        const qint64 cpu = f[5].toLongLong();
        if (n == 5000)
            first = cpu;
        std::printf("%8d %10lld %10lld %10.1f %12s %8s   (cpu %.2f x the 5,000 run)\n", n,
                    static_cast<long long>(ms), static_cast<long long>(cpu), f[2].toDouble() / 1024.0,
                    f[3].constData(), f[4].constData(), first ? double(cpu) / double(first) : 0.0);
    }
    return 0;
}
