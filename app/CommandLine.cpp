#include "app/CommandLine.h"

#include "check/CheckCommand.h"
#include "run/GenerateCommand.h"

#include "common/Failure.h"
#include "common/LenientInt.h"
#include "workbook/FileWorkbooks.h"
#include "workbook/OfficeWorkbooks.h"

namespace {

const char *const kUsage =
    "usage: tessily generate [--dry-run] [--dump FILE] [--download] [--workbench] [--office] "
    "[SETTING...] WORKBOOK...\n"
    "       tessily generate --plan [--plan-json FILE] [--office] [SETTING...] WORKBOOK...\n"
    "       tessily cells [--office] WORKBOOK SHEET RANGE\n"
    "       tessily office\n"
    "       tessily check [--json] TEMPLATE [WORKBOOK]\n"
    "  WORKBOOK  an .xlsx, .xlsm, .xls or .ods file\n"
    "  SHEET     sheet number from 1 in tab order\n"
    "  RANGE     a block in A1 notation, such as A1:L40 (or one cell, such as B2)\n"
    "  SETTING   --delete-appli-xml, --debug-gen, --embed-symb, --force-vsi, each also with\n"
    "            --no- in front: overrides the stored option for this run\n"
    "  Without --dry-run the project the workbook names in B3 is written and compiled;\n"
    "  --download then loads it into the device at B4 and starts it, --workbench starts\n"
    "  the STRATON workbench on it. --plan says what the build would change and writes\n"
    "  nothing (exit status 0: nothing, 2: changes, 1: failure); --plan-json writes it as JSON.\n"
    "  --office reads the workbooks through LibreOffice Calc and runs their macros: the Calc\n"
    "  started by `tessily office` when it runs (without WORKBOOK, its active workbook), else\n"
    "  a LibreOffice of Tessily's own.\n"
    "  A usage error of any command exits with 64.\n";

} // namespace

int runCellsCommand(QStringList arguments, QTextStream &out, QTextStream &err)
{
    const bool office = !arguments.isEmpty() && arguments.front() == u"--office";
    if (office)
        arguments.removeFirst();
    if (arguments.size() != 3) {
        err << kUsage;
        return kUsageStatus;
    }
    const std::optional<int> sheetNumber = tryReadInt(arguments[1]);
    if (!sheetNumber) {
        err << "tessily: sheet number expected, not \"" << arguments[1] << "\"\n";
        return kUsageStatus;
    }
    const QStringList corners = arguments[2].split(u':');
    if (corners.size() > 2) {
        err << "tessily: range expected, such as A1:L40, not \"" << arguments[2] << "\"\n";
        return kUsageStatus;
    }
    try {
        std::unique_ptr<WorkbookComponent> workbooks;
        if (office)
            workbooks = std::make_unique<OfficeWorkbooks>();
        else
            workbooks = std::make_unique<FileWorkbooks>();
        workbooks->Open(arguments[0]);
        const auto sheet = workbooks->Sheet(*sheetNumber);
        const CellBlock block = sheet->Range(corners.front(), corners.back());
        for (int r = 1; r <= block.rows(); ++r) {
            for (int c = 1; c <= block.columns(); ++c) {
                if (c > 1)
                    out << '\t';
                out << block.text(r, c);
            }
            out << '\n';
        }
        out.flush();
        return 0;
    } catch (const Failure &e) {
        err << e.message() << '\n';
        return 1;
    }
}

int runOfficeCommand(QTextStream &out, QTextStream &err)
{
    try {
        startVisibleOffice();
        out << "LibreOffice Calc started, listening on the pipe " << officePipeName()
            << ": open the workbook there and generate with --office or the window\n";
        return 0;
    } catch (const Failure &e) {
        err << "tessily: " << e.message() << '\n';
        return 1;
    }
}

int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!arguments.isEmpty() && arguments.front() == u"generate")
        return runGenerateCommand(arguments.mid(1), out, err);
    if (!arguments.isEmpty() && arguments.front() == u"cells")
        return runCellsCommand(arguments.mid(1), out, err);
    if (arguments.size() == 1 && arguments.front() == u"office")
        return runOfficeCommand(out, err);
    if (!arguments.isEmpty() && arguments.front() == u"check")
        return runCheckCommand(arguments.mid(1), out, err);
    err << kUsage;
    return kUsageStatus;
}
