#include "app/TemplateView.h"

#include "run/RunState.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextBlock>
#include <memory>
#include <vector>

namespace {

QFont descriptorFont()
{
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

// A plain-text view without word wrap, with both scroll bars as needed.
QPlainTextEdit *textView(const QStringList &lines, const char *name)
{
    auto *view = new QPlainTextEdit;
    view->setObjectName(QLatin1String(name));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(descriptorFont());
    view->setPlainText(lines.join(u'\n'));
    return view;
}

// The right panel of a descriptor or signal type: the local variables filling it, the global
// ones at its bottom. The retain variables are not shown.
template <typename Tab> QSplitter *variablesPanel(const Tab &tab)
{
    auto *panel = new QSplitter(Qt::Vertical);
    panel->addWidget(textView(tab.reLocVar, "reLocVar"));
    panel->addWidget(textView(tab.reGloVar, "reGloVar"));
    panel->setStretchFactor(0, 3);
    panel->setStretchFactor(1, 1);
    return panel;
}

QTabWidget *pageRow()
{
    auto *row = new QTabWidget;
    row->setTabPosition(QTabWidget::South);
    row->setDocumentMode(true);
    return row;
}

QWidget *codeTabPage(const TCodeTab &tab)
{
    auto *page = new QSplitter(Qt::Horizontal);
    page->addWidget(textView(tab.reCode, "reCode"));
    page->addWidget(variablesPanel(tab));
    page->setStretchFactor(0, 3);
    page->setStretchFactor(1, 1);
    return page;
}

QWidget *signalTypePage(const TSignalTypeTab &tab)
{
    auto *page = new QSplitter(Qt::Horizontal);
    QTabWidget *variants = pageRow();
    variants->setObjectName(QStringLiteral("PC"));
    for (const auto &variant : tab.PC)
        variants->addTab(textView(variant->reCode, "reCode"), variant->name);
    page->addWidget(variants);
    page->addWidget(variablesPanel(tab));
    page->setStretchFactor(0, 3);
    page->setStretchFactor(1, 1);
    return page;
}

void clearRow(QTabWidget *row)
{
    while (row->count() > 0) {
        QWidget *page = row->widget(0);
        row->removeTab(0);
        delete page;
    }
}

void fillRow(QTabWidget *row, const std::vector<std::unique_ptr<TCodeTab>> &tabs)
{
    clearRow(row);
    for (const auto &tab : tabs)
        row->addTab(codeTabPage(*tab), tab->name);
}

} // namespace

TemplateView::TemplateView(QWidget *parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PageControl1"));
    m_userData = new QListWidget;
    m_userData->setFont(descriptorFont());
    addTab(m_userData, QStringLiteral("User Data"));
    const std::pair<QTabWidget **, const char *> rows[] = {
        {&m_mainCode, "Main Code"},        {&m_functionBlocks, "Function Blocks"},
        {&m_signalTypes, "Signal Types"},  {&m_macros, "Macros"},
        {&m_codeSections, "Code Section"},
    };
    for (const auto &[row, caption] : rows) {
        *row = pageRow();
        addTab(*row, QLatin1String(caption));
    }
}

void TemplateView::showRunState(const RunState &state)
{
    m_userData->clear();
    m_userData->addItems(state.SignalSheet.lines);
    const TemplateModel &model = state.Template;
    fillRow(m_mainCode, model.MainCodePages);
    fillRow(m_functionBlocks, model.FunctionBlocksPages);
    fillRow(m_macros, model.MacrosPages);
    fillRow(m_codeSections, model.CodeSectionsPages);
    clearRow(m_signalTypes);
    for (const auto &type : model.SignalTypesPages)
        m_signalTypes->addTab(signalTypePage(*type), type->name);

    delete m_generatedCode;
    m_generatedCode = nullptr;
    if (state.GenTab) {
        m_generatedCode = pageRow();
        m_generatedCode->addTab(codeTabPage(*state.GenTab), state.GenTab->name);
        addTab(m_generatedCode, QStringLiteral("Generated Code"));
    }
}

void TemplateView::showCheck(const QString &file, const QString &source,
                             const std::vector<Diagnostic> &diagnostics)
{
    if (!m_checkedTemplate) {
        m_checkedTemplate = textView({}, "CheckedTemplate");
        addTab(m_checkedTemplate, QStringLiteral("Template Check"));
    }
    m_checkedTemplate->setPlainText(source);
    QList<QTextEdit::ExtraSelection> marks;
    for (const Diagnostic &d : diagnostics) {
        const QTextBlock line = m_checkedTemplate->document()->findBlockByNumber(d.line - 1);
        if (d.file != file || d.line < 1 || !line.isValid())
            continue;
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(d.severity == Severity::Error ? QColor(255, 200, 200)
                                                                : QColor(255, 240, 180));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.format.setToolTip(d.message);
        mark.cursor = QTextCursor(line);
        mark.cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                                 std::max(d.column - 1, 0));
        marks.append(mark);
    }
    m_checkedTemplate->setExtraSelections(marks);
    if (!marks.isEmpty())
        m_checkedTemplate->setTextCursor(marks.front().cursor);
    setCurrentWidget(m_checkedTemplate);
}
