#pragma once

#include "common/RunLog.h"
#include "common/UserPrompts.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"
#include "run/WorkbookChooser.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"
#include "tools/WorkbookWriter.h"
#include "workbook/FileWorkbooks.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A generation run on a workbook and a template that the test writes into a temporary
// folder, read through the file-backed workbook component as a user's files would be.
struct GenerationFixture {
    struct Prompts final : UserPrompts {
        QStringList shown;
        void message(const QString &, const QString &text) override { shown << text; }
    };

    QTemporaryDir dir;
    FileWorkbooks excel;
    RunState state;
    RunLog log;
    Prompts prompts;
    GenerationRun run{state, excel, log, prompts};

    // Settings sheet: B2 template, B3 project, B4 address, B5 main type, B6 main name, then
    // further rows from row 7.
    QString templateCell = "template.xml";
    QString project = "Plant";
    QString address = "127.0.0.1";
    QString mainType = "Main";
    QString mainName = "Main";
    std::vector<std::vector<QVariant>> moreSettings;
    std::vector<std::vector<QVariant>> signalRows; // sheet 2 from row 1
    std::vector<SheetContent> extraSheets;

    void writeTemplate(const QByteArray &xml, const QString &name = "template.xml")
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
    }
    QString writeWorkbook(const QString &name = "book.xlsx")
    {
        SheetContent first{"Settings",
                           {{"Settings"},
                            {"Template", templateCell},
                            {"Project", project},
                            {"Address", address},
                            {"Main type", mainType},
                            {"Main name", mainName}}};
        first.rows.insert(first.rows.end(), moreSettings.begin(), moreSettings.end());
        std::vector<SheetContent> sheets{first, {"Signals", signalRows}};
        sheets.insert(sheets.end(), extraSheets.begin(), extraSheets.end());
        const QString path = dir.filePath(name);
        writeXlsx(path, sheets);
        return path;
    }
    bool generate()
    {
        return run.GenerateFromWorkbook(WorkbookChooser::forPath(writeWorkbook()), false);
    }
    QStringList texts() const { return logTexts(log); }
    const TCodeTab *block(const QString &name) const
    {
        const auto *found = state.Template.FuncBlocks.find(name);
        return found ? *found : nullptr;
    }
};
