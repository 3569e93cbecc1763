#pragma once

#include "common/Diagnostics.h"

#include <QTabWidget>

class QListWidget;
class QPlainTextEdit;
struct RunState;

// The template view (PageControl1): what the last run read from the workbook and the
// template, and the program it generated, for inspection only. Rebuilt from the run state
// after each run.
class TemplateView final : public QTabWidget {
    Q_OBJECT
public:
    explicit TemplateView(QWidget *parent = nullptr);

    void showRunState(const RunState &state);
    // The template's text with the lines of its diagnostics marked (errors and warnings in
    // two colours), on a page of its own, shown at the first of them.
    void showCheck(const QString &file, const QString &source,
                   const std::vector<Diagnostic> &diagnostics);

private:
    QListWidget *m_userData;
    QTabWidget *m_mainCode;
    QTabWidget *m_functionBlocks;
    QTabWidget *m_signalTypes;
    QTabWidget *m_macros;
    QTabWidget *m_codeSections;
    QTabWidget *m_generatedCode = nullptr;
    QPlainTextEdit *m_checkedTemplate = nullptr;
};
