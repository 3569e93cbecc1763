#include "app/MainWindow.h"

#include "app/HelpDocument.h"
#include "app/LogFile.h"
#include "app/OptionStore.h"
#include "app/OptionsDialog.h"
#include "app/ProjectUpdate.h"
#include "app/TemplateView.h"
#include "common/Failure.h"
#include "download/DownloadDialog.h"
#include "download/DownloadProject.h"
#include "download/DownloadSession.h"
#include "download/WorkbenchLaunch.h"
#include "project/Compiler.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QThread>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char *const kCaption = "Virerur Code generator V1.53B1 (2017/06/30) XE (Macros)";
const char *const kNoWorkbook = "<No Excel file>";
const char *const kFileFilter = "Excel files (*.xls *.xlsx *.xlsm *.ods);;All files (*.*)";
// The designed client size of the window.
constexpr int kDesignedWidth = 447;
constexpr int kDesignedHeight = 604;

QAction *checkItem(QMenu *menu, const char *name, const QString &caption, bool checked)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(true);
    item->setChecked(checked);
    return item;
}

QString pickWorkbook(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), QLatin1String(kFileFilter));
}

} // namespace

MainWindow::MainWindow(TK5DB &db, Middleware &middleware, const QString &historyPath,
                       QWidget *parent)
    : QMainWindow(parent), m_db(db), m_historyPath(historyPath),
      m_run(m_state, m_excel, m_log, m_prompts),
      m_downloadSession(std::make_unique<DownloadSession>(middleware)), m_pickFile(pickWorkbook)
{
    setObjectName(QStringLiteral("TForm1"));
    m_prompts.setParentWidget(this);
    m_run.setApplicationTitle(QLatin1String(kCaption));
    connect(&m_log, &RunLog::lineAdded, this, &MainWindow::addLogLine);
    connect(&m_log, &RunLog::cleared, this, [this] {
        m_ListBox1->clear();
        m_CompilerErrorList->clear();
    });
    buildMenu();
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(buildWorkbookBar());
    layout->addWidget(buildExtraSheets());
    m_Splitter1 = new QSplitter(Qt::Vertical);
    m_Splitter1->setObjectName(QStringLiteral("Splitter1"));
    m_PageControl1 = new TemplateView;
    m_Splitter1->addWidget(m_PageControl1);
    m_Splitter1->addWidget(buildLogArea());
    m_Splitter1->setStretchFactor(1, 1);
    layout->addWidget(m_Splitter1, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_DownloadForm = new DownloadDialog(*m_downloadSession, this);
    m_OptionsForm = new OptionsDialog(this);
    FormCreate();
}

MainWindow::~MainWindow()
{
    // A command still running holds the state and the log; it ends before they go.
    if (m_worker) {
        while (!m_worker->wait(10))
            QCoreApplication::processEvents();
        finishGenerate();
    }
    FormDestroy();
}

void MainWindow::buildMenu()
{
    QMenu *options = menuBar()->addMenu(QStringLiteral("Options"));
    QAction *viewOptions = options->addAction(QStringLiteral("View Options"));
    viewOptions->setObjectName(QStringLiteral("S1"));
    connect(viewOptions, &QAction::triggered, this, &MainWindow::S1Click);

    // The options as check marks of hidden items; the options dialog is the user's way.
    QMenu *actions = options->addMenu(QStringLiteral("Optional actions after generate"));
    actions->menuAction()->setVisible(false);
    m_Download1 = checkItem(actions, "Download1", QStringLiteral("Download to Orvane"), true);
    m_StartSTRATON1 = checkItem(actions, "StartSTRATON1", QStringLiteral("Start STRATON WB"), true);
    QMenu *project = options->addMenu(QStringLiteral("Straton Project Settings"));
    project->menuAction()->setVisible(false);
    m_ForceGenerateDebugCode = checkItem(project, "ForceGenerateDebugCode",
                                         QStringLiteral("Force: Generate debug code"), true);
    m_ForceEmbedSymbolsOfAllVariables =
        checkItem(project, "ForceEmbedSymbolsOfAllVariables",
                  QStringLiteral("Force: Embed symbols of all variables"), true);
    const std::pair<QAction *, bool Settings::*> items[] = {
        {m_Download1, &Settings::Download},
        {m_StartSTRATON1, &Settings::StartStraton},
        {m_ForceGenerateDebugCode, &Settings::DebugGen},
        {m_ForceEmbedSymbolsOfAllVariables, &Settings::EmbedSymb},
    };
    for (const auto &[item, option] : items)
        connect(item, &QAction::toggled, this,
                [this, option](bool on) { m_settings.*option = on; });

    m_ShowDebugInformation1 = checkItem(options, "ShowDebugInformation1",
                                        QStringLiteral("Show XML Debug Information"), true);
    connect(m_ShowDebugInformation1, &QAction::triggered, this, &MainWindow::showDebugView);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction *helpItem = help->addAction(QStringLiteral("Pelagrin Help"));
    helpItem->setObjectName(QStringLiteral("PelagrinHelp1"));
    connect(helpItem, &QAction::triggered, this, &MainWindow::PelagrinHelp1Click);
}

QWidget *MainWindow::buildWorkbookBar()
{
    auto *bar = new QWidget;
    auto *grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Select Excel Workbook(s)")), 0, 0, 1, 3);
    m_boxes[0] = new QComboBox;
    m_boxes[0]->setObjectName(QStringLiteral("cbExcelSheet"));
    m_browse[0] = new QPushButton(QStringLiteral("Browse"));
    m_browse[0]->setObjectName(QStringLiteral("ButtonBrowse"));
    m_BtnGenerate = new QPushButton(QStringLiteral("Generate"));
    m_BtnGenerate->setObjectName(QStringLiteral("BtnGenerate"));
    grid->addWidget(m_boxes[0], 1, 0);
    grid->addWidget(m_browse[0], 1, 1);
    grid->addWidget(m_BtnGenerate, 1, 2);
    grid->setColumnStretch(0, 1);

    // The expand and collapse icons share one place; one of them is visible at a time.
    auto *more = new QHBoxLayout;
    m_ImgPlus = new QToolButton;
    m_ImgPlus->setObjectName(QStringLiteral("ImgPlus"));
    m_ImgPlus->setText(QStringLiteral("+"));
    m_ImgMinus = new QToolButton;
    m_ImgMinus->setObjectName(QStringLiteral("ImgMinus"));
    m_ImgMinus->setText(QStringLiteral("\u2212"));
    for (QToolButton *icon : {m_ImgPlus, m_ImgMinus}) {
        icon->setAutoRaise(true);
        more->addWidget(icon);
        connect(icon, &QToolButton::clicked, this, &MainWindow::ImgPlusClick);
    }
    more->addWidget(new QLabel(QStringLiteral("Select More Excel Workbooks")));
    more->addStretch();
    grid->addLayout(more, 2, 0, 1, 3);
    connect(m_BtnGenerate, &QPushButton::clicked, this, &MainWindow::BtnGenerateClick);
    return bar;
}

QWidget *MainWindow::buildExtraSheets()
{
    m_XtraSheets = new QWidget;
    m_XtraSheets->setObjectName(QStringLiteral("XtraSheets"));
    auto *grid = new QGridLayout(m_XtraSheets);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int box = 1; box < kBoxes; ++box) {
        m_boxes[box] = new QComboBox;
        m_boxes[box]->setObjectName(QStringLiteral("cbExcelSheet%1").arg(box + 1));
        m_browse[box] = new QPushButton(QStringLiteral("Browse"));
        m_browse[box]->setObjectName(QStringLiteral("ButtonBrowse%1").arg(box + 1));
        grid->addWidget(m_boxes[box], box - 1, 0);
        grid->addWidget(m_browse[box], box - 1, 1);
    }
    grid->setColumnStretch(0, 1);
    for (int box = 0; box < kBoxes; ++box) {
        m_boxes[box]->setEditable(false);
        m_boxes[box]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_boxes[box]->installEventFilter(this);
        connect(m_browse[box], &QPushButton::clicked, this,
                [this, box] { ButtonBrowseClick(box); });
    }
    return m_XtraSheets;
}

QWidget *MainWindow::buildLogArea()
{
    auto *area = new QWidget;
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_ListBox1 = new QListWidget;
    m_ListBox1->setObjectName(QStringLiteral("ListBox1"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::TypeWriter);
    m_ListBox1->setFont(font);
    m_ListBox1->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_OpeninNotepad1 = new QAction(QStringLiteral("Open in Notepad"), m_ListBox1);
    m_OpeninNotepad1->setObjectName(QStringLiteral("OpeninNotepad1"));
    m_ListBox1->addAction(m_OpeninNotepad1);
    connect(m_OpeninNotepad1, &QAction::triggered, this, &MainWindow::OpeninNotepad1Click);
    layout->addWidget(m_ListBox1, 1);

    m_CompilerErrorList = new QListWidget;
    m_CompilerErrorList->setObjectName(QStringLiteral("CompilerErrorList"));
    m_CompilerErrorList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_CompilerErrorList->hide();
    layout->addWidget(m_CompilerErrorList);
    return area;
}

// Load: the defaults, the stored options in their order, the caption, the template view, the
// run state, the workbook boxes.
void MainWindow::FormCreate()
{
    m_log.clear();
    QSettings store(settingsOrganization(), settingsApplication());
    SettingsOptionStore options(store);
    if (!m_settings.loadOptions(options))
        m_log.LogLine(QStringLiteral("Using default parameteres"));
    m_Download1->setChecked(m_settings.Download);
    m_StartSTRATON1->setChecked(m_settings.StartStraton);
    m_ForceGenerateDebugCode->setChecked(m_settings.DebugGen);
    m_ForceEmbedSymbolsOfAllVariables->setChecked(m_settings.EmbedSymb);
    placeWindow();
    setWindowTitle(QLatin1String(kCaption));
    // The item holds the opposite of the option until its handler flips it.
    m_ShowDebugInformation1->setChecked(!m_settings.ShowDebug);
    ShowDebugInformation1Click();
    m_run.ResetRunState(true);
    m_settings.loadHistory(m_historyPath);
    fillWorkbookBoxes();
}

void MainWindow::placeWindow()
{
    switch (m_settings.Placement) {
    case WindowPlacement::Designed:
        resize(kDesignedWidth, kDesignedHeight);
        break;
    case WindowPlacement::SystemDefault:
        resize(Settings::kDefaultWidth, Settings::kDefaultHeight);
        break;
    case WindowPlacement::Stored:
        resize(m_settings.Geometry.size());
        move(m_settings.Geometry.topLeft());
        break;
    }
}

void MainWindow::fillWorkbookBoxes()
{
    for (int box = 0; box < kBoxes; ++box) {
        m_boxes[box]->clear();
        m_boxes[box]->addItem(box == 0 ? WorkbookChooser::useActiveEntry()
                                       : QLatin1String(kNoWorkbook));
        m_boxes[box]->addItems(m_settings.SheetsHistory);
        // An index beyond the list leaves the box without a selection.
        const int index = m_settings.LastUsed[box];
        m_boxes[box]->setCurrentIndex(index < m_boxes[box]->count() ? index : -1);
    }
    setExtraSheetsVisible(m_settings.Exp);
}

void MainWindow::FormDestroy()
{
    m_settings.Geometry = QRect(pos(), size());
    QSettings store(settingsOrganization(), settingsApplication());
    SettingsOptionStore options(store);
    m_settings.saveOptions(options);
    store.sync();
    m_settings.SheetsHistory.clear();
    for (int i = 1; i < m_boxes[0]->count(); ++i)
        m_settings.SheetsHistory << m_boxes[0]->itemText(i);
    for (int box = 0; box < kBoxes; ++box)
        m_settings.LastUsed[box] = m_boxes[box]->currentIndex();
    m_settings.Exp = !m_XtraSheets->isHidden();
    try {
        m_settings.saveHistory(m_historyPath);
    } catch (const Failure &e) {
        qWarning("%s", qPrintable(e.message()));
    }
}

void MainWindow::ButtonBrowseClick(int box)
{
    const QString path = m_pickFile(this);
    if (path.isEmpty())
        return;
    QComboBox *chosen = m_boxes[box];
    for (int i = 1; i < chosen->count(); ++i) {
        if (chosen->itemText(i).compare(path, Qt::CaseInsensitive) == 0) {
            chosen->setCurrentIndex(i);
            return;
        }
    }
    for (QComboBox *each : m_boxes)
        each->addItem(path);
    chosen->setCurrentIndex(chosen->count() - 1);
}

void MainWindow::cbExcelSheetKeyDown(int box, int key)
{
    const int index = m_boxes[box]->currentIndex();
    if (key != Qt::Key_Delete || index < 1)
        return;
    for (QComboBox *each : m_boxes) {
        const bool selected = each->currentIndex() == index;
        each->removeItem(index);
        if (selected)
            each->setCurrentIndex(0);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        for (int box = 0; box < kBoxes; ++box) {
            if (watched == m_boxes[box] &&
                static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
                cbExcelSheetKeyDown(box, Qt::Key_Delete);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ImgPlusClick()
{
    setExtraSheetsVisible(m_XtraSheets->isHidden());
}

void MainWindow::setExtraSheetsVisible(bool visible)
{
    m_XtraSheets->setVisible(visible);
    m_ImgPlus->setVisible(!visible);
    m_ImgMinus->setVisible(visible);
}

void MainWindow::S1Click()
{
    m_OptionsForm->setOptions(m_settings);
    if (m_OptionsForm->exec() != QDialog::Accepted)
        return;
    m_OptionsForm->getOptions(m_settings);
    m_Download1->setChecked(m_settings.Download);
    m_StartSTRATON1->setChecked(m_settings.StartStraton);
    m_ForceGenerateDebugCode->setChecked(m_settings.DebugGen);
    m_ForceEmbedSymbolsOfAllVariables->setChecked(m_settings.EmbedSymb);
}

void MainWindow::ShowDebugInformation1Click()
{
    m_ShowDebugInformation1->trigger(); // flips the check mark, then shows or hides the view
}

void MainWindow::showDebugView(bool visible)
{
    m_settings.ShowDebug = visible;
    m_PageControl1->setVisible(visible);
    // The splitter's own relayout would hide its handle later; the view and its splitter
    // change together.
    m_Splitter1->handle(1)->setVisible(visible);
}

void MainWindow::OpeninNotepad1Click()
{
    OpenLogInEditor(m_log, m_prompts);
}

void MainWindow::PelagrinHelp1Click()
{
    const QString document = helpDocumentPath(pelagrinInstallFolder());
    const bool opened =
        QFileInfo::exists(document) && QDesktopServices::openUrl(QUrl::fromLocalFile(document));
    if (!opened)
        m_prompts.message(windowTitle(), QStringLiteral("Not able to open help file"));
}

void MainWindow::addLogLine(const QString &line)
{
    m_ListBox1->addItem(line);
    m_ListBox1->setCurrentRow(m_ListBox1->count() - 1);
}

void MainWindow::updateHorizontalExtent()
{
    const QFontMetrics metrics(m_ListBox1->font());
    int widest = 0;
    for (int i = 0; i < m_ListBox1->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(m_ListBox1->item(i)->text()));
    m_horizontalExtent = widest;
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    updateHorizontalExtent();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The run holds the state and the project; the window closes when it has ended.
    if (m_worker) {
        statusBar()->showMessage(QStringLiteral("Generating: the window closes when it ends"));
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

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
