// Every workbook reader over any file: opened by its content, each sheet read whole and in
// blocks. Failures must be Failure exceptions with a message, nothing else.
#include "FuzzInput.h"

#include "common/Failure.h"
#include "workbook/CellValue.h"
#include "workbook/WorkbookFile.h"

#include <QtGlobal>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString path = writeFuzzFile(fuzzBytes(data, size), QStringLiteral("book"));
    try {
        const auto book = openWorkbookFile(path);
        for (int i = 0; i < std::min(book->sheetCount(), 8); ++i) {
            book->sheetName(i);
            if (!book->isWorksheet(i))
                continue;
            try {
                const SheetData &sheet = book->sheet(i);
                CellBlock block(20, 12);
                sheet.fillBlock(block, 1, 1);
                sheet.cell(1, 1);
            } catch (const Failure &) {
            }
        }
    } catch (const Failure &) {
    }
    return 0;
}
