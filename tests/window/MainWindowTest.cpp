#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "download/ScriptedMiddleware.h"
#include "project/TK5DB.h"
#include "run/RunState.h"
#include "support/LogTexts.h"
#include "support/QtPrinters.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::ElementsAre;

namespace {

QString examplesFolder()
{
    return QDir(QStringLiteral(TESSILY_FIXTURES "/../../examples")).absolutePath();
}

// A window over a history file of the test's own, with an empty option store, message boxes
// recorded.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { options().clear(); }

    static QSettings &options()
    {
        static QSettings store(settingsOrganization(), settingsApplication());
        store.sync();
        return store;
    }

    QString historyPath() const { return dir.filePath("tessily.ini"); }

    void writeHistory(const QByteArray &text)
    {
        QFile file(historyPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    std::unique_ptr<MainWindow> open()
    {
        options().sync();
        auto window = std::make_unique<MainWindow>(db, middleware, historyPath());
        window->prompts().setShow([this](const QString &, const QString &text) { shown << text; });
        return window;
    }

    template <typename T> static T *child(MainWindow &window, const char *name)
    {
        T *found = window.findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QComboBox *box(MainWindow &window, int i)
    {
        static const char *const names[] = {"cbExcelSheet", "cbExcelSheet2", "cbExcelSheet3",
                                            "cbExcelSheet4"};
        return child<QComboBox>(window, names[i]);
    }

    static QStringList entries(QComboBox *box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }

    static void pressDelete(QComboBox *box)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    }

    QTemporaryDir dir;
    TK5DB db;
    ScriptedMiddleware middleware;
    QStringList shown;
};

TEST_F(WindowTest, FirstStartWithoutStoredSettings)
{
    auto window = open();
    EXPECT_EQ(window->windowTitle(), "Virerur Code generator V1.53B1 (2017/06/30) XE (Macros)");
    EXPECT_THAT(logTexts(window->log()), ElementsAre("Using default parameteres"));
    auto *log = child<QListWidget>(*window, "ListBox1");
    ASSERT_EQ(log->count(), 1);
    EXPECT_EQ(log->item(0)->text(), window->log().lines().front());
    EXPECT_THAT(entries(box(*window, 0)), ElementsAre("Use active sheet in Excel"));
    for (int i = 1; i < 4; ++i)
        EXPECT_THAT(entries(box(*window, i)), ElementsAre("<No Excel file>"));
    for (const char *item : {"Download1", "StartSTRATON1", "ForceGenerateDebugCode",
                             "ForceEmbedSymbolsOfAllVariables"})
        EXPECT_TRUE(child<QAction>(*window, item)->isChecked()) << item;
    EXPECT_FALSE(child<QAction>(*window, "ShowDebugInformation1")->isChecked());
    EXPECT_TRUE(child<QWidget>(*window, "PageControl1")->isHidden());
    EXPECT_TRUE(child<QWidget>(*window, "XtraSheets")->isHidden());
    EXPECT_FALSE(child<QWidget>(*window, "ImgPlus")->isHidden());
    EXPECT_TRUE(child<QWidget>(*window, "ImgMinus")->isHidden());
    EXPECT_TRUE(child<QWidget>(*window, "CompilerErrorList")->isHidden());
    EXPECT_EQ(window->size(), QSize(447, 604));
}

TEST_F(WindowTest, StoreWithOnlyTheTwoActionsAppliesThemAndDefaultsTheRest)
{
    options().setValue("StartStraton", 0);
    options().setValue("Download", 0);
    auto window = open();
    EXPECT_THAT(logTexts(window->log()), ElementsAre("Using default parameteres"));
    EXPECT_FALSE(child<QAction>(*window, "StartSTRATON1")->isChecked());
    EXPECT_FALSE(child<QAction>(*window, "Download1")->isChecked());
    EXPECT_TRUE(child<QAction>(*window, "ForceGenerateDebugCode")->isChecked());
    EXPECT_TRUE(window->settings().DeleteAppliXML);
    EXPECT_FALSE(window->settings().ShowDebug);
}

TEST_F(WindowTest, SavesTheOptionsWithTopAndLeftOnlyWhenThePositionIsKept)
{
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep ? "position kept" : "position not kept");
        options().clear();
        {
            auto window = open();
            window->settings().SaveWindowPosition = keep;
            window->resize(520, 610);
            child<QAction>(*window, "Download1")->setChecked(false);
            child<QAction>(*window, "ShowDebugInformation1")->trigger();
        }
        options().sync();
        EXPECT_EQ(options().value("Width").toInt(), 520);
        EXPECT_EQ(options().value("Height").toInt(), 610);
        EXPECT_EQ(options().contains("Top"), keep);
        EXPECT_EQ(options().contains("Left"), keep);
        EXPECT_EQ(options().value("Download").toInt(), 0);
        EXPECT_EQ(options().value("ShowDebug").toInt(), 1);
        EXPECT_EQ(options().value("SaveWindowPosition").toInt(), keep ? 1 : 0);

        auto reopened = open();
        EXPECT_TRUE(logTexts(reopened->log()).isEmpty());
        EXPECT_FALSE(child<QAction>(*reopened, "Download1")->isChecked());
        EXPECT_FALSE(child<QWidget>(*reopened, "PageControl1")->isHidden());
        EXPECT_EQ(reopened->size(), keep ? QSize(520, 610) : QSize(460, 660));
    }
}

TEST_F(WindowTest, HistoryAndSelectionsComeFromTheFileAndGoBackToIt)
{
    writeHistory("[SheetsHistory]\n1=/w/a.xlsx\n2=/w/b.xls\n"
                 "[LastUsed]\nCB0=2\nCB1=1\nCB2=9\nCB3=0\nExp=1\n");
    {
        auto window = open();
        EXPECT_THAT(entries(box(*window, 0)),
                    ElementsAre("Use active sheet in Excel", "/w/a.xlsx", "/w/b.xls"));
        EXPECT_THAT(entries(box(*window, 3)),
                    ElementsAre("<No Excel file>", "/w/a.xlsx", "/w/b.xls"));
        EXPECT_EQ(box(*window, 0)->currentIndex(), 2);
        EXPECT_EQ(box(*window, 1)->currentIndex(), 1);
        EXPECT_EQ(box(*window, 2)->currentIndex(), -1); // beyond the list: no selection
        EXPECT_FALSE(child<QWidget>(*window, "XtraSheets")->isHidden());
        EXPECT_TRUE(child<QWidget>(*window, "ImgPlus")->isHidden());
        EXPECT_FALSE(child<QWidget>(*window, "ImgMinus")->isHidden());
        box(*window, 3)->setCurrentIndex(1);
        child<QToolButton>(*window, "ImgMinus")->click();
    }
    Settings saved;
    saved.loadHistory(historyPath());
    EXPECT_THAT(saved.SheetsHistory, ElementsAre("/w/a.xlsx", "/w/b.xls"));
    EXPECT_THAT(saved.LastUsed, ElementsAre(2, 1, -1, 1));
    EXPECT_FALSE(saved.Exp);
}

TEST_F(WindowTest, BrowseSelectsAKnownPathOrAddsANewOneToEveryBox)
{
    writeHistory("[SheetsHistory]\n1=/w/Plant.xlsx\n");
    auto window = open();
    QString picked;
    window->setFilePicker([&picked](QWidget *) { return picked; });

    picked = "/W/PLANT.XLSX"; // known, in another case
    child<QPushButton>(*window, "ButtonBrowse3")->click();
    EXPECT_EQ(box(*window, 2)->currentIndex(), 1);
    EXPECT_EQ(box(*window, 2)->count(), 2);

    picked = "/w/new.ods";
    child<QPushButton>(*window, "ButtonBrowse2")->click();
    for (int i = 0; i < 4; ++i)
        EXPECT_THAT(entries(box(*window, i)).mid(1), ElementsAre("/w/Plant.xlsx", "/w/new.ods"));
    EXPECT_EQ(box(*window, 1)->currentIndex(), 2);
    EXPECT_EQ(box(*window, 0)->currentIndex(), 0);

    picked.clear(); // the dialog was cancelled
    child<QPushButton>(*window, "ButtonBrowse")->click();
    EXPECT_EQ(box(*window, 0)->count(), 3);
    EXPECT_EQ(box(*window, 0)->currentIndex(), 0);
}

TEST_F(WindowTest, DeleteRemovesTheSelectedEntryFromEveryBox)
{
    writeHistory("[SheetsHistory]\n1=/w/a.xlsx\n2=/w/b.xlsx\n3=/w/c.xlsx\n"
                 "[LastUsed]\nCB0=2\nCB1=2\nCB2=3\nCB3=0\n");
    auto window = open();

    pressDelete(box(*window, 3)); // entry 0 cannot be removed
    EXPECT_EQ(box(*window, 3)->count(), 4);

    pressDelete(box(*window, 1)); // b.xlsx, selected in the first two boxes
    for (int i = 0; i < 4; ++i)
        EXPECT_THAT(entries(box(*window, i)).mid(1), ElementsAre("/w/a.xlsx", "/w/c.xlsx"));
    EXPECT_EQ(box(*window, 0)->currentIndex(), 0);
    EXPECT_EQ(box(*window, 1)->currentIndex(), 0);
    EXPECT_EQ(box(*window, 2)->itemText(box(*window, 2)->currentIndex()), "/w/c.xlsx");
    EXPECT_EQ(box(*window, 3)->currentIndex(), 0);
}

TEST_F(WindowTest, OptionsDialogOkCopiesBackCancelChangesNothing)
{
    auto window = open();
    struct Case {
        const char *button;
        bool applied;
    };
    for (const Case c : {Case{"Button2", false}, Case{"Button1", true}}) {
        SCOPED_TRACE(c.button);
        bool deleteEnabledBefore = false, deleteEnabledAfter = true, deleteChecked = false;
        QTimer::singleShot(0, window.get(), [&] {
            auto *dialog = window->findChild<OptionsDialog *>();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Options");
            auto *start = dialog->findChild<QCheckBox *>("cbStartWorkbench");
            auto *deleteXml = dialog->findChild<QCheckBox *>("cbDeleteAppliXML");
            for (const char *fixed : {"CheckBox1", "CheckBox2"}) {
                auto *box = dialog->findChild<QCheckBox *>(fixed);
                EXPECT_TRUE(box->isChecked() && !box->isEnabled()) << fixed;
            }
            deleteEnabledBefore = deleteXml->isEnabled();
            start->click(); // unchecks the workbench start
            deleteEnabledAfter = deleteXml->isEnabled();
            deleteChecked = deleteXml->isChecked();
            dialog->findChild<QCheckBox *>("cbStratonAllocateStatusFlags_VSI")->click();
            dialog->findChild<QCheckBox *>("cbDownloadToRTU")->click();
            dialog->findChild<QPushButton *>(c.button)->click();
        });
        window->S1Click();
        EXPECT_TRUE(deleteEnabledBefore);
        EXPECT_FALSE(deleteEnabledAfter);
        EXPECT_TRUE(deleteChecked);
        EXPECT_EQ(window->settings().StartStraton, !c.applied);
        EXPECT_EQ(window->settings().ForceVSI, c.applied);
        EXPECT_EQ(child<QAction>(*window, "Download1")->isChecked(), !c.applied);
        EXPECT_TRUE(window->settings().DeleteAppliXML);
    }
}

TEST_F(WindowTest, TheLibreOfficeChoiceIsStoredWithTheOptionsAndAStoreWithoutItReadsThemAll)
{
    options().clear();
    {
        auto window = open();
        EXPECT_FALSE(window->settings().UseLibreOffice);
        QTimer::singleShot(0, window.get(), [&] {
            auto *dialog = window->findChild<OptionsDialog *>();
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QCheckBox *>("cbUseLibreOffice")->click();
            dialog->findChild<QPushButton *>("Button1")->click();
        });
        window->S1Click();
        EXPECT_TRUE(window->settings().UseLibreOffice);
    }
    options().sync();
    EXPECT_EQ(options().value("UseLibreOffice").toInt(), 1);
    EXPECT_TRUE(logTexts(open()->log()).isEmpty());
    EXPECT_TRUE(open()->settings().UseLibreOffice);

    // a store written before the choice existed reads every option and leaves it off
    options().remove("UseLibreOffice");
    options().sync();
    auto older = open();
    EXPECT_TRUE(logTexts(older->log()).isEmpty());
    EXPECT_FALSE(older->settings().UseLibreOffice);
}

TEST_F(WindowTest, EscapeClosesTheOptionsDialogAsCancel)
{
    auto window = open();
    QTimer::singleShot(0, window.get(), [&] {
        auto *dialog = window->findChild<OptionsDialog *>();
        dialog->findChild<QCheckBox *>("cbStratonGenerateDebugCode")->click();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog, &escape);
    });
    window->S1Click();
    EXPECT_TRUE(window->settings().DebugGen);
}

TEST_F(WindowTest, DebugSwitchTwiceRestoresTheView)
{
    auto window = open();
    window->show();
    auto *view = child<QWidget>(*window, "PageControl1");
    auto *splitter = child<QSplitter>(*window, "Splitter1");
    const bool before = view->isVisible();
    window->ShowDebugInformation1Click();
    EXPECT_NE(view->isVisible(), before);
    EXPECT_NE(splitter->handle(1)->isVisible(), before);
    EXPECT_EQ(window->settings().ShowDebug, !before);
    window->ShowDebugInformation1Click();
    EXPECT_EQ(view->isVisible(), before);
    EXPECT_EQ(splitter->handle(1)->isVisible(), before);
    EXPECT_EQ(window->settings().ShowDebug, before);
}

TEST_F(WindowTest, OpenInNotepadWritesTheLogToTheTemporaryFolder)
{
    const QByteArray oldTemp = qgetenv("TMPDIR"), oldVisual = qgetenv("VISUAL");
    qputenv("TMPDIR", dir.path().toLocal8Bit());
    qputenv("VISUAL", "true"); // an editor that starts and ends at once
    auto window = open();
    window->log().LogLine("second line");
    child<QAction>(*window, "OpeninNotepad1")->trigger();
    qputenv("TMPDIR", oldTemp);
    qputenv("VISUAL", oldVisual);

    QFile file(dir.filePath("LOG.TXT"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = window->log().lines();
    EXPECT_EQ(file.readAll(), (lines.join("\r\n") + "\r\n").toLocal8Bit());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(WindowTest, HelpWithoutTheInstallationSaysSo)
{
    auto window = open();
    child<QAction>(*window, "PelagrinHelp1")->trigger();
    EXPECT_THAT(shown, ElementsAre("Not able to open help file"));
}

// The demo generated from the window: the command runs on its worker thread, the window
// shows each line, and the workbench start's message box is shown by the window.
class DemoWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (const char *name : {"substation.xlsx", "substation.xml"})
            QFile::copy(examplesFolder() + u'/' + QLatin1String(name),
                        dir.filePath(QLatin1String(name)));
        m_oldK5main = qgetenv("K5MAIN");
        qunsetenv("K5MAIN");
    }
    void TearDown() override
    {
        if (!m_oldK5main.isEmpty())
            qputenv("K5MAIN", m_oldK5main);
    }

    // Generates the demo; false when the command did not end within a minute.
    bool generate(MainWindow &window, bool deviceRuns = true)
    {
        window.setFilePicker([this](QWidget *) { return dir.filePath("substation.xlsx"); });
        child<QPushButton>(window, "ButtonBrowse")->click();
        if (deviceRuns)
            scriptDevice();
        QEventLoop loop;
        bool finished = false;
        QObject::connect(&window, &MainWindow::generateFinished, &loop,
                         [&](const GenerationOutcome &result) {
                             outcome = result;
                             finished = true;
                             loop.quit();
                         });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        child<QPushButton>(window, "BtnGenerate")->click();
        generateDisabledWhileRunning = !child<QPushButton>(window, "BtnGenerate")->isEnabled();
        if (!finished)
            loop.exec();
        return finished;
    }

    // A device that stops, receives and starts the application as asked.
    void scriptDevice()
    {
        middleware.status = 15;
        middleware.onExecute = [this](const QString &command) {
            if (command == "AppStop") {
                middleware.status = 16;
            } else if (command.startsWith("LoadCode:")) {
                middleware.post(4, 100);
                middleware.post(12, 0);
            } else if (command == "AppStart") {
                middleware.status = 15;
            }
            return 0;
        };
    }

    bool generateDisabledWhileRunning = false;
    GenerationOutcome outcome;
    QByteArray m_oldK5main;
};

TEST_F(DemoWindowTest, GenerateRunsToTheEndWithTheLogLinesInOrder)
{
    auto window = open();
    ASSERT_TRUE(generate(*window));
    EXPECT_TRUE(generateDisabledWhileRunning);
    EXPECT_TRUE(child<QPushButton>(*window, "BtnGenerate")->isEnabled());

    const QStringList lines = window->log().lines();
    auto *list = child<QListWidget>(*window, "ListBox1");
    QStringList shownLines;
    for (int i = 0; i < list->count(); ++i)
        shownLines << list->item(i)->text();
    EXPECT_EQ(shownLines, lines);
    EXPECT_EQ(list->currentRow(), list->count() - 1);
    const QStringList texts = logTexts(window->log());
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_THAT(texts, Contains("Successful compilation"));
    const QString ip = window->state().IpAddress;
    EXPECT_THAT(texts, Contains("Project downloaded succesfully to :" + ip));
    const QString projectFolder = window->state().ProjectName;
    EXPECT_THAT(middleware.executed,
                ElementsAre("AppStop", "LoadCode:" + projectFolder + "/APPLI.XTI", "AppStart"));
    EXPECT_TRUE(window->findChild<QDialog *>("TDownloadForm")->isHidden());
    EXPECT_TRUE(outcome.generated && outcome.compiled);
    EXPECT_EQ(outcome.download, 1);
    EXPECT_THAT(texts, ::testing::Not(Contains("Using default parameteres")));
    // The workbench is not installed: its message box was shown by the window.
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.front().contains("W6Main.exe")) << shown.front().toStdString();
    EXPECT_GT(window->horizontalExtent(), 0);

    // The README's picture of the window: TESSILY_WINDOW_PICTURE=path.png.
    if (const QString picture = qEnvironmentVariable("TESSILY_WINDOW_PICTURE");
        !picture.isEmpty()) {
        window->ShowDebugInformation1Click();
        child<QTabWidget>(*window, "PageControl1")->setCurrentIndex(1);
        window->resize(760, 720);
        window->show();
        QApplication::processEvents();
        EXPECT_TRUE(window->grab().save(picture));
    }
}

TEST_F(DemoWindowTest, ClosingTheDownloadDialogEndsTheDownloadAndTheCommandGoesOn)
{
    auto window = open();
    auto *dialog = window->findChild<QDialog *>("TDownloadForm");
    ASSERT_NE(dialog, nullptr);
    middleware.onExecute = [](const QString &) { return 0; }; // the device never stops
    bool shownWhileWaiting = false;
    bool generateEnabled = true;
    QString lastShownLine;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, dialog, [&] {
        if (dialog->isVisible() && !shownWhileWaiting) {
            shownWhileWaiting = true;
            // The command is still running, and the window already shows its lines.
            auto *list = child<QListWidget>(*window, "ListBox1");
            lastShownLine = list->count() > 0 ? list->item(list->count() - 1)->text() : "";
            generateEnabled = child<QPushButton>(*window, "BtnGenerate")->isEnabled();
            dialog->close();
        }
    });
    poll.start(50);
    ASSERT_TRUE(generate(*window, false));
    EXPECT_TRUE(shownWhileWaiting);
    EXPECT_TRUE(lastShownLine.endsWith("Downloading to :" + window->state().IpAddress))
        << lastShownLine.toStdString();
    EXPECT_FALSE(generateEnabled);
    EXPECT_TRUE(outcome.compiled);
    EXPECT_EQ(outcome.download, 2);
    EXPECT_EQ(logTexts(window->log()).back(), "Project probably not downloaded");
    ASSERT_EQ(shown.size(), 1); // the workbench start still follows
}

TEST_F(DemoWindowTest, TemplateViewShowsTheRunsDescriptors)
{
    auto window = open();
    ASSERT_TRUE(generate(*window));
    const RunState &state = window->state();
    auto *view = child<QTabWidget>(*window, "PageControl1");
    QStringList pages;
    for (int i = 0; i < view->count(); ++i)
        pages << view->tabText(i);
    EXPECT_THAT(pages, ElementsAre("User Data", "Main Code", "Function Blocks", "Signal Types",
                                   "Macros", "Code Section", "Generated Code"));

    auto *userData = qobject_cast<QListWidget *>(view->widget(0));
    ASSERT_NE(userData, nullptr);
    EXPECT_EQ(userData->count(), state.SignalSheet.lines.size());

    struct Row {
        int page;
        std::vector<QString> names;
    };
    auto names = [](const auto &tabs) {
        std::vector<QString> list;
        for (const auto &tab : tabs)
            list.push_back(tab->name);
        return list;
    };
    const Row rows[] = {
        {1, names(state.Template.MainCodePages)},
        {2, names(state.Template.FunctionBlocksPages)},
        {3, names(state.Template.SignalTypesPages)},
        {4, names(state.Template.MacrosPages)},
        {5, names(state.Template.CodeSectionsPages)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(pages[row.page].toStdString());
        auto *tabs = qobject_cast<QTabWidget *>(view->widget(row.page));
        ASSERT_NE(tabs, nullptr);
        std::vector<QString> captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions.push_back(tabs->tabText(i));
        EXPECT_EQ(captions, row.names);
        EXPECT_EQ(tabs->tabPosition(), QTabWidget::South);
    }
    ASSERT_FALSE(state.Template.MainCodePages.empty());
    auto *mainPage = qobject_cast<QTabWidget *>(view->widget(1))->widget(0);
    auto *code = mainPage->findChild<QPlainTextEdit *>("reCode");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->toPlainText(), state.Template.MainCodePages.front()->reCode.join('\n'));

    ASSERT_FALSE(state.Template.SignalTypesPages.empty());
    const TSignalTypeTab &type = *state.Template.SignalTypesPages.front();
    auto *variants =
        qobject_cast<QTabWidget *>(view->widget(3))->widget(0)->findChild<QTabWidget *>("PC");
    ASSERT_NE(variants, nullptr);
    ASSERT_EQ(variants->count(), static_cast<int>(type.PC.size()));
    for (int i = 0; i < variants->count(); ++i)
        EXPECT_EQ(variants->tabText(i), type.PC[i]->name);

    auto *generated = qobject_cast<QTabWidget *>(view->widget(6));
    ASSERT_NE(generated, nullptr);
    ASSERT_TRUE(state.GenTab);
    EXPECT_EQ(generated->widget(0)->findChild<QPlainTextEdit *>("reCode")->toPlainText(),
              state.GenTab->reCode.join('\n'));
}

} // namespace

TEST_F(DemoWindowTest, CheckTemplateLogsTheDiagnosticsAndMarksTheirLines)
{
    QFile xml(dir.filePath("substation.xml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadWrite));
    QByteArray text = xml.readAll();
    text.replace("%%Heartbeat(Life_Counter)%%", "%%Hearbeat(Life_Counter)%%");
    xml.resize(0);
    xml.write(text);
    xml.close();

    auto window = open();
    window->setFilePicker([this](QWidget *) { return dir.filePath("substation.xlsx"); });
    child<QPushButton>(*window, "ButtonBrowse")->click();
    QAction *check = child<QAction>(*window, "CheckTemplate");
    EXPECT_EQ(check->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    check->trigger();

    const QString file = dir.filePath("substation.xml");
    EXPECT_THAT(
        logTexts(window->log()),
        Contains(
            file +
            R"(:63:9: error: macro call "Hearbeat" names no macro (did you mean "Heartbeat"?); the line stays as written)"));
    EXPECT_THAT(logTexts(window->log()), Contains("1 error, 1 warning"));
    auto *view = child<QPlainTextEdit>(*window, "CheckedTemplate");
    ASSERT_EQ(view->extraSelections().size(), 2); // the unused macro, and the call
    EXPECT_EQ(view->extraSelections()[0].cursor.blockNumber(), 20 - 1);
    EXPECT_EQ(view->textCursor().blockNumber(), 20 - 1); // shown at the first
    EXPECT_EQ(view->extraSelections()[1].cursor.blockNumber(), 63 - 1);
    EXPECT_EQ(view->extraSelections()[1].cursor.positionInBlock(), 8);
}
