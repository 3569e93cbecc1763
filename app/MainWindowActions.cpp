#include "app/MainWindow.h"

#include "app/HelpDocument.h"
#include "app/LogFile.h"
#include "app/OptionsDialog.h"
#include "app/TemplateView.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>

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
