#include "app/MainWindow.h"

#include "app/DownloadDialog.h"
#include "app/HelpDocument.h"
#include "app/LogFile.h"
#include "app/OptionStore.h"
#include "app/OptionsDialog.h"
#include "app/TemplateView.h"
#include "common/Failure.h"
#include "download/DownloadProject.h"
#include "download/DownloadSession.h"
#include "download/WorkbenchLaunch.h"
#include "project/Compiler.h"
#include "run/ProjectUpdate.h"

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

const char *const kFileFilter = "Excel files (*.xls *.xlsx *.xlsm *.ods);;All files (*.*)";

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

    QMenu *templateMenu = menuBar()->addMenu(QStringLiteral("&Template"));
    m_CheckTemplate = templateMenu->addAction(QStringLiteral("Check Template"));
    m_CheckTemplate->setObjectName(QStringLiteral("CheckTemplate"));
    m_CheckTemplate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(m_CheckTemplate, &QAction::triggered, this, &MainWindow::CheckTemplateClick);

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
