#include "app/MainWindow.h"

#include "app/OptionStore.h"
#include "common/Failure.h"

#include <QAction>
#include <QComboBox>
#include <QSettings>
#include <QWidget>

namespace {

const char *const kNoWorkbook = "<No Excel file>";
// The designed client size of the window.
constexpr int kDesignedWidth = 447;
constexpr int kDesignedHeight = 604;

} // namespace

// Load: the defaults, the stored options in their order, the caption, the template view, the
// run state, the workbook boxes.
void MainWindow::FormCreate()
{
    m_log.clear();
    QSettings store(settingsOrganization(), settingsApplication());
    SettingsOptionStore options(store);
    if (!m_settings.loadOptions(options))
        m_log.LogLine(QStringLiteral("Using default parameteres"));
    m_settings.UseLibreOffice = options.readInt(QStringLiteral("UseLibreOffice")).value_or(0) != 0;
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
    options.writeInt(QStringLiteral("UseLibreOffice"), m_settings.UseLibreOffice ? 1 : 0);
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
