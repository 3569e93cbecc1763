#include "app/GenerateCommand.h"

#include "app/GenerationDump.h"
#include "app/GenerationRun.h"
#include "app/RunLog.h"
#include "app/RunState.h"
#include "app/UserPrompts.h"
#include "app/WorkbookChooser.h"
#include "common/Failure.h"
#include "workbook/FileWorkbooks.h"

namespace {

const char *const kUsage = "usage: tessily generate [--dry-run] [--dump FILE] WORKBOOK...\n";
// The window offers one main and three additional workbooks.
constexpr int kMaxWorkbooks = 4;

struct GenerateOptions {
    bool dryRun = false;
    QString dumpPath;
    QStringList workbooks;
};

// Message boxes of the command line: a line on standard error, kept for the dump.
class StreamPrompts final : public UserPrompts {
public:
    explicit StreamPrompts(QTextStream &err) : m_err(err) {}
    void message(const QString &caption, const QString &text) override
    {
        shown << text;
        m_err << caption << ": " << text << '\n';
        m_err.flush();
    }
    QStringList shown;

private:
    QTextStream &m_err;
};

// Returns an error text, or empty when the arguments are usable.
QString parseArguments(const QStringList &arguments, GenerateOptions &options)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a == u"--dry-run") {
            options.dryRun = true;
        } else if (a == u"--dump") {
            if (++i >= arguments.size())
                return QStringLiteral("--dump needs a file name");
            options.dumpPath = arguments[i];
        } else if (a.startsWith(u"--")) {
            return QStringLiteral("unknown option ") + a;
        } else {
            options.workbooks << a;
        }
    }
    if (options.workbooks.isEmpty())
        return QStringLiteral("no workbook given");
    if (options.workbooks.size() > kMaxWorkbooks)
        return QStringLiteral("at most %1 workbooks").arg(kMaxWorkbooks);
    return {};
}

} // namespace

int runGenerateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    GenerateOptions options;
    if (const QString problem = parseArguments(arguments, options); !problem.isEmpty()) {
        err << "tessily: " << problem << '\n' << kUsage;
        return 2;
    }
    RunState state;
    FileWorkbooks excel;
    RunLog log;
    StreamPrompts prompts(err);
    QObject::connect(&log, &RunLog::lineAdded, [&out](const QString &line) {
        out << line << '\n';
        out.flush();
    });
    GenerationRun run(state, excel, log, prompts);
    bool ok = true;
    for (qsizetype i = 0; i < options.workbooks.size() && ok; ++i)
        ok = run.GenerateFromWorkbook(WorkbookChooser::forPath(options.workbooks[i]), i > 0);
    if (!options.dumpPath.isEmpty()) {
        try {
            writeGenerationDump(options.dumpPath,
                                generationDump(state, {ok, log.lines(), prompts.shown}));
        } catch (const Failure &e) {
            err << "tessily: " << e.message() << '\n';
            return 1;
        }
    }
    return ok ? 0 : 1;
}
