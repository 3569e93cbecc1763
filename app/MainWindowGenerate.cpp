#include "app/MainWindow.h"

#include "app/DownloadDialog.h"
#include "app/TemplateView.h"
#include "download/DownloadProject.h"
#include "download/DownloadSession.h"
#include "download/WorkbenchLaunch.h"
#include "project/Compiler.h"
#include "run/ProjectUpdate.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>

template <typename Result> Result MainWindow::onWindowThread(const std::function<Result()> &step)
{
    if (QThread::currentThread() == thread())
        return step();
    Result result{};
    QMetaObject::invokeMethod(
        this, [&] { result = step(); }, Qt::BlockingQueuedConnection);
    return result;
}

GenerationSteps MainWindow::generationSteps()
{
    return {
        [this](const WorkbookChooser &chooser, bool keepLog) {
            return m_run.GenerateFromWorkbook(chooser, keepLog);
        },
        [this] { return CompileProject(m_state.ProjectName, m_log, m_compilerErrors); },
        // The download dialog and its session belong to the window's thread.
        [this] { return onWindowThread<int>([this] { return downloadProject(); }); },
        [this](const QString &project) {
            return onWindowThread<bool>(
                [this, project] { return StartWorkbench(project, m_prompts); });
        },
    };
}

int MainWindow::downloadProject()
{
    // The session tells how its dialog closed; one that never opened could not connect.
    int result = DownloadSession::kNotConnected;
    const QMetaObject::Connection closed = connect(
        m_downloadSession.get(), &DownloadSession::closed, this, [&result](int r) { result = r; });
    DownloadProject(*m_downloadSession, m_log, m_state.IpAddress, m_state.ProjectName);
    disconnect(closed);
    return result;
}

void MainWindow::BtnGenerateClick()
{
    if (m_worker)
        return;
    m_BtnGenerate->setEnabled(false);
    m_OpeninNotepad1->setEnabled(false);
    m_run.setProjectUpdater(
        makeProjectUpdater(m_run, m_state, m_log, m_db, m_settings.buildSettings()));
    m_excel.useOffice = m_settings.UseLibreOffice;
    // a LibreOffice the window starts shows its windows where there is a screen
    const QString platform = QGuiApplication::platformName();
    m_excel.officeVisible = platform != u"offscreen" && platform != u"minimal";
    m_commands = std::make_unique<GenerationCommands>(m_state, generationSteps());
    WorkbookChooser *choosers[] = {&m_commands->cbExcelSheet, &m_commands->cbExcelSheet2,
                                   &m_commands->cbExcelSheet3, &m_commands->cbExcelSheet4};
    for (int box = 0; box < kBoxes; ++box) {
        choosers[box]->entries.clear();
        for (int i = 0; i < m_boxes[box]->count(); ++i)
            choosers[box]->entries << m_boxes[box]->itemText(i);
        choosers[box]->selectedIndex = m_boxes[box]->currentIndex();
    }
    m_commands->XtraSheetsVisible = !m_XtraSheets->isHidden();
    m_commands->Download = m_settings.Download;
    m_commands->StartStraton = m_settings.StartStraton;
    m_worker = QThread::create([this] { m_outcome = m_commands->BtnGenerateClick(); });
    connect(m_worker, &QThread::finished, this, &MainWindow::finishGenerate);
    m_worker->start();
}

void MainWindow::finishGenerate()
{
    if (!m_worker)
        return;
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_commands.reset();
    m_CompilerErrorList->clear();
    m_CompilerErrorList->addItems(m_compilerErrors);
    m_PageControl1->showRunState(m_state);
    updateHorizontalExtent();
    m_BtnGenerate->setEnabled(true);
    m_OpeninNotepad1->setEnabled(true);
    emit generateFinished(m_outcome);
}
