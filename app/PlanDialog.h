#pragma once

#include "run/ChangePlan.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// Shows a change plan before the project is written: a tree of the projects with their
// folders, programs, variable groups and files, each change with its action; the selected
// item's detail (a source diff, the fields that change, the options) beside it; the summary
// below. "Write project" accepts, "Cancel" rejects.
class PlanDialog final : public QDialog {
    Q_OBJECT
public:
    explicit PlanDialog(const ChangePlan &plan, QWidget *parent = nullptr);

    QTreeWidget *tree() const { return m_tree; }
    QPlainTextEdit *details() const { return m_details; }
    QPushButton *writeButton() const { return m_write; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    void fill(const ChangePlan &plan);
    void showDetails(QTreeWidgetItem *item);

    QTreeWidget *m_tree;
    QPlainTextEdit *m_details;
    QLabel *m_summary;
    QPushButton *m_write;
    QPushButton *m_cancel;
};
