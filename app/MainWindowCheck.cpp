#include "app/MainWindow.h"

#include "app/TemplateView.h"
#include "check/CheckCommand.h"
#include "check/WorkbookCheck.h"
#include "common/Failure.h"
#include "template/TemplateDocument.h"

#include <QComboBox>
#include <QFile>

namespace {

// The template's text for the view; none when it cannot be read or is beyond the bound.
QString templateSource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTemplateBytes)
        return QString();
    return QString::fromUtf8(file.read(kMaxTemplateBytes));
}

} // namespace

void MainWindow::CheckTemplateClick()
{
    if (m_worker)
        return; // a run is reading the same files
    const int index = m_boxes[0]->currentIndex();
    if (index <= 0) {
        m_log.LogError(QStringLiteral("Check: choose the workbook whose template to check"));
        return;
    }
    const QString workbook = m_boxes[0]->itemText(index);
    QString templatePath;
    try {
        FileWorkbooks excel; // the run's workbooks stay as they are
        excel.Open(workbook);
        templatePath = templateNamedInB2(excel, workbook);
    } catch (const Failure &e) {
        m_log.LogError(e.message());
        return;
    }
    m_log.LogLine(QStringLiteral("Checking template ") + templatePath);
    const DiagnosticList list = CheckTemplateAndWorkbook(templatePath, workbook);
    const std::vector<Diagnostic> sorted = list.sorted();
    for (const Diagnostic &d : sorted) {
        if (d.severity == Severity::Error)
            m_log.LogError(d.text());
        else
            m_log.LogLine(d.text());
    }
    m_log.LogLine(list.summary());
    if (!m_ShowDebugInformation1->isChecked())
        ShowDebugInformation1Click();
    m_PageControl1->showCheck(templatePath, templateSource(templatePath), sorted);
}
