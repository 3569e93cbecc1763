// Reading speed of the .xlsx reader: a 50,000-row by 20-column sheet of numbers and texts,
// fetched in 500-row blocks as the signal sheet reader fetches it, against the time that
// `unzip -p` takes only to inflate the same sheet part. Both the elapsed time and the processor
// time are given: on a busy machine the elapsed time says more about the other programs.

#include "common/Failure.h"
#include "workbook/CellAddress.h"
#include "workbook/FileWorkbooks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {

constexpr int kRows = 50000;
constexpr int kColumns = 20;
constexpr int kBlockRows = 500;

// Even columns hold numbers (whole and fractional), odd ones texts, some repeated.
void writeSheet(const QString &path)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        throw Failure(path + QStringLiteral(": cannot create the workbook"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Signals");
    char text[64];
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            if (c % 2 == 0) {
                const double value = c % 4 == 0 ? r * 7 + c : r * 0.25 + c / 3.0;
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), value, nullptr);
            } else {
                std::snprintf(text, sizeof text, c % 4 == 1 ? "Signal_%d_%d" : "Type %d",
                              c % 4 == 1 ? r : r % 50, c);
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), text, nullptr);
            }
        }
    }
    if (const lxw_error rc = workbook_close(book); rc != LXW_NO_ERROR)
        throw Failure(path + QStringLiteral(": cannot write (") +
                      QString::fromUtf8(lxw_strerror(rc)) + u')');
}

struct Times {
    double elapsed = 0; // seconds
    double processor = 0;
};

double ownProcessorSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double childProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Times unzipTimes(const QString &path)
{
    QProcess unzip;
    unzip.setStandardOutputFile(QProcess::nullDevice());
    const double processorBefore = childProcessorSeconds();
    QElapsedTimer timer;
    timer.start();
    unzip.start(QStringLiteral("unzip"),
                {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml")});
    if (!unzip.waitForFinished(600000) || unzip.exitCode() != 0)
        throw Failure(path + QStringLiteral(": unzip -p failed"));
    return {timer.nsecsElapsed() / 1e9, childProcessorSeconds() - processorBefore};
}

struct ReadResult {
    Times times;
    qint64 cells = 0;
};

ReadResult readTimes(const QString &path)
{
    const double processorBefore = ownProcessorSeconds();
    QElapsedTimer timer;
    timer.start();
    FileWorkbooks books;
    books.Open(path);
    const auto sheet = books.Sheet(1);
    ReadResult result;
    const QString lastColumn = columnName(kColumns);
    for (int top = 1; top <= kRows; top += kBlockRows) {
        const CellBlock block = sheet->Range(QStringLiteral("A%1").arg(top),
                                             lastColumn + QString::number(top + kBlockRows - 1));
        for (int r = 1; r <= block.rows(); ++r) {
            for (int c = 1; c <= block.columns(); ++c)
                result.cells += block.at(r, c).kind != CellKind::Empty;
        }
    }
    result.times = {timer.nsecsElapsed() / 1e9, ownProcessorSeconds() - processorBefore};
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    try {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.xlsx"));
        writeSheet(path);
        std::printf("workbook: %d rows x %d columns, %lld bytes\n", kRows, kColumns,
                    static_cast<long long>(QFile(path).size()));
        Times bestUnzip{1e9, 1e9};
        Times bestRead{1e9, 1e9};
        for (int i = 0; i < runs; ++i) {
            const Times unzip = unzipTimes(path);
            const ReadResult read = readTimes(path);
            if (read.cells != qint64(kRows) * kColumns)
                throw Failure(path + QStringLiteral(": %1 cells read").arg(read.cells));
            std::printf("run %d: unzip -p %.3f s (processor %.3f s), open and read in %d-row "
                        "blocks %.3f s (processor %.3f s)\n",
                        i + 1, unzip.elapsed, unzip.processor, kBlockRows, read.times.elapsed,
                        read.times.processor);
            bestUnzip = {std::min(bestUnzip.elapsed, unzip.elapsed),
                         std::min(bestUnzip.processor, unzip.processor)};
            bestRead = {std::min(bestRead.elapsed, read.times.elapsed),
                        std::min(bestRead.processor, read.times.processor)};
        }
        std::printf("best elapsed: unzip -p %.3f s, read %.3f s, ratio %.2f\n", bestUnzip.elapsed,
                    bestRead.elapsed, bestRead.elapsed / bestUnzip.elapsed);
        std::printf("best processor: unzip -p %.3f s, read %.3f s, ratio %.2f\n",
                    bestUnzip.processor, bestRead.processor,
                    bestRead.processor / bestUnzip.processor);
        return 0;
    } catch (const Failure &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}
