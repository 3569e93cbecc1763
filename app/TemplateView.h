#pragma once

#include <QTabWidget>

class QListWidget;
struct RunState;

// The template view (PageControl1): what the last run read from the workbook and the
// template, and the program it generated, for inspection only. Rebuilt from the run state
// after each run.
class TemplateView final : public QTabWidget {
    Q_OBJECT
public:
    explicit TemplateView(QWidget *parent = nullptr);

    void showRunState(const RunState &state);

private:
    QListWidget *m_userData;
    QTabWidget *m_mainCode;
    QTabWidget *m_functionBlocks;
    QTabWidget *m_signalTypes;
    QTabWidget *m_macros;
    QTabWidget *m_codeSections;
    QTabWidget *m_generatedCode = nullptr;
};
