// A template of any bytes through the whole generation in memory: parse, signal types, user
// inputs, macros, placeholders and the assembly of the main program, on a small fixed
// workbook whose signals name the common signal types.
#include "FuzzInput.h"

#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "support/FakeWorkbook.h"

namespace {

struct SilentPrompts final : UserPrompts {
    void message(const QString &, const QString &) override {}
};

void fillWorkbook(FakeWorkbooks &excel, const QString &folder)
{
    auto &book = excel.addBook(folder, QStringLiteral("plant.xlsx"));
    auto settings = FakeWorkbooks::addSheet(book, QStringLiteral("Settings"));
    const char *const cells[][2] = {{"Template", "plant.xml"},
                                    {"Project", "Plant"},
                                    {"Address", "127.0.0.1"},
                                    {"Main type", "Main"},
                                    {"Main name", "Main"},
                                    {"Version", "1.0"},
                                    {"Base", "7"}};
    for (int r = 0; r < int(std::size(cells)); ++r) {
        settings->set(r + 2, 1, QString::fromLatin1(cells[r][0]));
        settings->set(r + 2, 2, QString::fromLatin1(cells[r][1]));
    }
    auto signalSheet = FakeWorkbooks::addSheet(book, QStringLiteral("Signals"));
    const char *const rows[][5] = {
        {"Type", "Off", "Tag", "Text", "Port"},     {"DI", "", "Door", "Door open", "1"},
        {"AI", "", "Temp", "Oil %% temp", "2"},     {"DI", "x", "Spare", "", "3"},
        {"SCO", "", "Breaker", "Q0 \"on\"", "$10"}, {"END", "", "", "", ""}};
    for (int r = 0; r < int(std::size(rows)); ++r)
        for (int c = 0; c < 5; ++c)
            if (*rows[r][c])
                signalSheet->set(r + 1, c + 1, QString::fromLatin1(rows[r][c]));
    excel.activate(book);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString templatePath = writeFuzzFile(fuzzBytes(data, size), QStringLiteral("plant.xml"));
    FakeWorkbooks excel;
    fillWorkbook(excel, QFileInfo(templatePath).path());
    RunState state;
    RunLog log;
    SilentPrompts prompts;
    GenerationRun run(state, excel, log, prompts);
    run.GenerateFromWorkbook(WorkbookChooser(), false);
    return 0;
}
