// Times reading an .xls workbook: the Workbook stream out of the compound file, the workbook
// globals (shared strings, formats, sheets), the first sheet's cells, and fetching that sheet
// in 500-row blocks of 20 columns, as the signal sheet reader does.
//
//     bench_xls_read FILE.xls
//
// A large file is easy to make: a CSV of 50,000 rows and 20 columns converted with
// `soffice --headless --convert-to xls`.
#include "workbook/WorkbookFile.h"
#include "workbook/XlsStreamLoader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

double seconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_xls_read FILE.xls\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (int round = 1; round <= 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        const qsizetype streamSize = loadWorkbookStream(path).size();
        const double stream = seconds(timer);
        timer.restart();
        const auto book = openWorkbookFile(path);
        const double open = seconds(timer);
        timer.restart();
        const SheetData &sheet = book->sheet(0);
        const double load = seconds(timer);
        timer.restart();
        for (int row = 1; row <= sheet.lastRow(); row += 500) {
            CellBlock block(500, 20);
            sheet.fillBlock(block, row, 1);
        }
        const double blocks = seconds(timer);
        std::printf("round %d: stream %.3f s (%lld bytes), open %.3f s, first sheet %.3f s "
                    "(%zu cells, %d rows), 500-row blocks %.3f s\n",
                    round, stream, static_cast<long long>(streamSize), open, load,
                    sheet.cellCount(), sheet.lastRow(), blocks);
    }
    return 0;
}
