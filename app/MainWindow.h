#pragma once

#include "app/ChosenWorkbooks.h"
#include "app/PromptDialog.h"
#include "app/Settings.h"
#include "common/RunLog.h"
#include "run/GenerationCommands.h"
#include "run/GenerationRun.h"
#include "run/RunState.h"

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class DownloadDialog;
class DownloadSession;
class Middleware;
class OptionsDialog;
class QAction;
class QComboBox;
class QListWidget;
class QPushButton;
class QSplitter;
class QThread;
class QToolButton;
class TemplateView;
class TK5DB;

// The main window (TForm1): up to four workbooks with their shared history, the Generate
// command, the run log and the template view. It owns the run's state, log and settings; the
// Generate command runs on a worker thread so that the window keeps painting and answering.
class MainWindow final : public QMainWindow {
    Q_OBJECT
    static constexpr const char *kCaption =
        "Virerur Code generator V1.53B1 (2017/06/30) XE (Macros)";

public:
    using FilePicker = std::function<QString(QWidget *parent)>;
    static constexpr int kBoxes = Settings::kWorkbookBoxes;

    // The project database wrapper and the middleware are made before the window. Loads the
    // settings: the options from the user's option store, the workbook history and
    // selections from `historyPath`.
    MainWindow(TK5DB &db, Middleware &middleware, const QString &historyPath,
               QWidget *parent = nullptr);
    // Saves the settings.
    ~MainWindow() override;

    RunLog &log() { return m_log; }
    RunState &state() { return m_state; }
    PromptDialog &prompts() { return m_prompts; }
    Settings &settings() { return m_settings; }
    // Replaces the file dialog of the Browse buttons (tests pick a file).
    void setFilePicker(FilePicker picker) { m_pickFile = std::move(picker); }
    bool generating() const { return m_worker != nullptr; }
    // The pixel width of the widest log line in the log's font.
    int horizontalExtent() const { return m_horizontalExtent; }

    void BtnGenerateClick();
    void ButtonBrowseClick(int box);
    void cbExcelSheetKeyDown(int box, int key);
    void ImgPlusClick();
    void S1Click();
    void ShowDebugInformation1Click();
    void OpeninNotepad1Click();
    void PelagrinHelp1Click();
    // Checks the template of the workbook selected in the first box, and the workbook with
    // it: the diagnostics go to the log, the template view shows the template with their
    // lines marked.
    void CheckTemplateClick();

signals:
    // The Generate command has ended and the window shows its result.
    void generateFinished(const GenerationOutcome &outcome);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    QWidget *buildWorkbookBar();
    QWidget *buildExtraSheets();
    QWidget *buildLogArea();
    void FormCreate();
    void FormDestroy();
    void placeWindow();
    void fillWorkbookBoxes();
    void setExtraSheetsVisible(bool visible);
    void showDebugView(bool visible);
    void addLogLine(const QString &line);
    void updateHorizontalExtent();
    GenerationSteps generationSteps();
    // The download of the last run's project through the download dialog: 1 downloaded, 2
    // closed by the user, 3 not connected.
    int downloadProject();
    void finishGenerate();
    // Runs `step` on the window's thread and waits for it when called from the worker.
    template <typename Result> Result onWindowThread(const std::function<Result()> &step);

    TK5DB &m_db;
    QString m_historyPath;
    Settings m_settings;
    RunLog m_log;
    PromptDialog m_prompts;
    RunState m_state;
    ChosenWorkbooks m_excel;
    GenerationRun m_run;
    std::unique_ptr<DownloadSession> m_downloadSession;
    std::unique_ptr<GenerationCommands> m_commands;
    GenerationOutcome m_outcome;
    QThread *m_worker = nullptr;
    QStringList m_compilerErrors; // filled by the compilation, shown after the command
    FilePicker m_pickFile;
    int m_horizontalExtent = 0;

    std::array<QComboBox *, kBoxes> m_boxes{};
    std::array<QPushButton *, kBoxes> m_browse{};
    QPushButton *m_BtnGenerate = nullptr;
    QToolButton *m_ImgPlus = nullptr;
    QToolButton *m_ImgMinus = nullptr;
    QWidget *m_XtraSheets = nullptr;
    QSplitter *m_Splitter1 = nullptr;
    TemplateView *m_PageControl1 = nullptr;
    QListWidget *m_ListBox1 = nullptr;
    QListWidget *m_CompilerErrorList = nullptr;
    QAction *m_Download1 = nullptr;
    QAction *m_StartSTRATON1 = nullptr;
    QAction *m_ForceGenerateDebugCode = nullptr;
    QAction *m_ForceEmbedSymbolsOfAllVariables = nullptr;
    QAction *m_ShowDebugInformation1 = nullptr;
    QAction *m_OpeninNotepad1 = nullptr;
    QAction *m_CheckTemplate = nullptr;
    DownloadDialog *m_DownloadForm = nullptr;
    OptionsDialog *m_OptionsForm = nullptr;
};
