// Times placeholder substitution over large code texts: every line holds two user-input
// placeholders, one of them through an inline function, as generated main programs do.
// Prints the time for each text size; doubling the text should at most double the time.

#include "common/Failure.h"
#include "common/RunLog.h"
#include "expand/PlaceholderSubstitution.h"
#include "template/TInsertUserVar.h"
#include "workbook/WorkbookComponent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>

namespace {

// One settings sheet whose cells hold their row number.
class SettingsSheet final : public Worksheet {
public:
    QString Name() const override { return QStringLiteral("Settings"); }
    CellValue Cell(int row, int) const override { return CellValue::fromNumber(row); }
    CellBlock Range(const QString &, const QString &) const override { return {}; }
};

class SettingsBook final : public WorkbookComponent {
public:
    void Attach() override {}
    void Detach() override {}
    void Activate(const QString &) override {}
    void Open(const QString &) override {}
    QString ActiveWorkbookName() const override { return QStringLiteral("bench.xlsx"); }
    QString ActiveWorkbookPath() const override { return {}; }
    std::shared_ptr<Worksheet> Sheet(int) override { return m_sheet; }
    QVariant Run(const QString &) override { throw Failure(QStringLiteral("no macros")); }
    QVariant Run(const QString &, const QString &) override
    {
        throw Failure(QStringLiteral("no macros"));
    }

private:
    std::shared_ptr<Worksheet> m_sheet = std::make_shared<SettingsSheet>();
};

constexpr int kInputs = 40;

UserInputList makeInputs()
{
    UserInputList list;
    for (int i = 0; i < kInputs; ++i) {
        auto record = std::make_unique<TUserInputType>();
        record->v.VarName = QStringLiteral("Input%1").arg(i);
        record->v.SheetNo = 1;
        record->v.RowNo = i + 1;
        record->v.ColNo = 2;
        record->v.Default = QStringLiteral("0");
        record->v.VarTypeStr = QStringLiteral("int");
        record->v.VarType = TVarType::tInt;
        const QString name = record->v.VarName;
        list.add(name, UserInputEntry{QStringLiteral("1,%1,2,0").arg(i + 1), std::move(record)});
    }
    return list;
}

QStringList makeCode(int lines)
{
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        code.append(
            QStringLiteral("    Frame[%1] := %%Input%2%% + %%#ADD(%3)#Input%4%%; (* line %1 *)")
                .arg(i)
                .arg(i % kInputs)
                .arg(i % 7)
                .arg((i * 7) % kInputs));
    }
    return code;
}

double timeSubstitution(int lines)
{
    SettingsBook book;
    SignalSheetState signalSheet;
    RunLog log;
    TInsertUserVar reader(&book, signalSheet, log);
    PlaceholderSubstitution substitution(reader, log);
    UserInputList inputs = makeInputs();
    QStringList code = makeCode(lines);

    QElapsedTimer timer;
    timer.start();
    substitution.ReplaceUserVariablesInLines(-1, QString(), &code, inputs);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!log.lines().isEmpty() || code.first().contains(u"%%"))
        throw Failure(QStringLiteral("substitution left placeholders or logged errors"));
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out << "lines      ms (best of 3)\n";
    for (const int lines : {100'000, 200'000, 400'000}) {
        double best = 1e300;
        for (int run = 0; run < 3; ++run)
            best = std::min(best, timeSubstitution(lines));
        out << QString::asprintf("%7d %10.1f\n", lines, best);
        out.flush();
    }
    return 0;
}
