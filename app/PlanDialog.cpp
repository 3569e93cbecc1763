#include "app/PlanDialog.h"

#include "run/ChangePlanText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The detail text of an item sits in this role; the tree shows names and actions only.
constexpr int kDetailRole = Qt::UserRole + 1;

QColor colourOf(const QString &action)
{
    struct Colour {
        const char *action;
        QRgb rgb;
    };
    static const Colour kColours[] = {
        {"created", 0x1b7f2a}, {"added", 0x1b7f2a},     {"removed", 0xb3261e},
        {"deleted", 0xb3261e}, {"replaced", 0x9a5b00},  {"changed", 0x9a5b00},
        {"updated", 0x9a5b00}, {"recreated", 0x9a5b00}, {"marked", 0x9a5b00},
        {"skipped", 0x6a1b9a},
    };
    for (const Colour &c : kColours) {
        if (action == QLatin1String(c.action))
            return QColor(c.rgb);
    }
    return QColor(0x6b6b6b); // unchanged, kept, left, regenerated
}

QTreeWidgetItem *addItem(QTreeWidgetItem *parent, const QString &name, const QString &action,
                         const QString &detail)
{
    auto *item = new QTreeWidgetItem(parent, {name, action});
    item->setForeground(1, colourOf(action));
    item->setData(0, kDetailRole, detail);
    return item;
}

QTreeWidgetItem *addSection(QTreeWidgetItem *project, const QString &title)
{
    auto *section = new QTreeWidgetItem(project, {title});
    section->setExpanded(true);
    QFont bold = section->font(0);
    bold.setBold(true);
    section->setFont(0, bold);
    return section;
}

QString programDetail(const ProgramChange &c)
{
    QStringList lines{c.name +
                      (c.folder.isEmpty() ? QString() : QStringLiteral(" in ") + c.folder) +
                      QStringLiteral(": ") + c.action};
    lines << c.details;
    if (!c.diff.isEmpty())
        lines << QString() << c.diff;
    return lines.join(u'\n');
}

QString variableDetail(const QString &group, const VariableChange &v)
{
    QStringList lines{group + u' ' + v.name + QStringLiteral(": ") + v.action};
    for (const PlanField &f : v.fields) {
        lines << (v.action == u"added"
                      ? QStringLiteral("  %1: \"%2\"").arg(f.name, f.after)
                      : QStringLiteral("  %1: \"%2\" -> \"%3\"").arg(f.name, f.before, f.after));
    }
    return lines.join(u'\n');
}

QString fileDetail(const FileChange &f)
{
    QStringList lines{f.name + QStringLiteral(": ") + f.action};
    for (const OptionChange &o : f.options) {
        lines << (o.action == u"changed"
                      ? QStringLiteral("  %1=%2 (was %3)").arg(o.key, o.after, o.before)
                      : QStringLiteral("  %1=%2 (%3)").arg(o.key, o.after, o.action));
    }
    if (!f.diff.isEmpty())
        lines << QString() << f.diff;
    return lines.join(u'\n');
}

void fillGroups(QTreeWidgetItem *project, const ProjectPlan &p)
{
    for (const GroupPlan &g : p.groups) {
        QTreeWidgetItem *section = addSection(project, QStringLiteral("Variables ") + g.name);
        if (g.skipped)
            addItem(section, QStringLiteral("(the group)"), QStringLiteral("skipped"),
                    g.name + QStringLiteral(" is locked by another client: the build leaves it "
                                            "as it is"));
        for (const VariableChange &v : g.variables)
            addItem(section, v.name, v.action, variableDetail(g.name, v));
        if (g.reordered)
            addItem(section, QStringLiteral("(order)"), QStringLiteral("changed"),
                    QStringLiteral("The variables that stay change their order."));
        if (g.unchanged > 0)
            addItem(section, QStringLiteral("%1 more").arg(g.unchanged),
                    QStringLiteral("unchanged"), QString());
    }
}

} // namespace

PlanDialog::PlanDialog(const ChangePlan &plan, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PlanDialog"));
    setWindowTitle(QStringLiteral("Changes to the project"));
    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Horizontal);
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("planTree"));
    m_tree->setHeaderLabels({QStringLiteral("Item"), QStringLiteral("Change")});
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_tree->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_details = new QPlainTextEdit;
    m_details->setObjectName(QStringLiteral("planDetails"));
    m_details->setReadOnly(true);
    m_details->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    splitter->addWidget(m_tree);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({340, 560});
    layout->addWidget(splitter, 1);
    m_summary = new QLabel(changePlanSummaryLine(plan));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_write = new QPushButton(QStringLiteral("Write project"));
    m_write->setObjectName(QStringLiteral("writeProject"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setDefault(true); // Enter does not write by accident
    buttons->addWidget(m_write);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_write, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { showDetails(item); });
    fill(plan);
    resize(900, 560);
}

void PlanDialog::fill(const ChangePlan &plan)
{
    for (const ProjectPlan &p : plan.projects) {
        auto *project = new QTreeWidgetItem(
            m_tree, {p.folder, p.created ? QStringLiteral("created") : QString()});
        project->setExpanded(true);
        if (!p.workspace.isEmpty()) {
            QTreeWidgetItem *workspace =
                addItem(project, QStringLiteral("multi-task workspace"),
                        p.workspace == u"unpacked" ? QStringLiteral("created")
                                                   : QStringLiteral("unchanged"),
                        QStringLiteral("The multi-task workspace is ") + p.workspace);
            for (const FileChange &f : p.workspaceFiles)
                addItem(workspace, f.name, f.action, fileDetail(f));
        }
        if (!p.folders.empty()) {
            QTreeWidgetItem *section = addSection(project, QStringLiteral("Folders"));
            for (const FolderChange &f : p.folders)
                addItem(section, f.path, f.action, f.path + QStringLiteral(": ") + f.action);
        }
        if (!p.programs.empty()) {
            QTreeWidgetItem *section = addSection(project, QStringLiteral("Programs"));
            for (const ProgramChange &c : p.programs)
                addItem(section, c.name, c.action, programDetail(c));
        }
        fillGroups(project, p);
        if (!p.files.empty()) {
            QTreeWidgetItem *section = addSection(project, QStringLiteral("Files"));
            for (const FileChange &f : p.files)
                addItem(section, f.name, f.action, fileDetail(f));
        }
    }
    if (!plan.hasChanges())
        m_details->setPlainText(QStringLiteral("The build would change nothing."));
}

void PlanDialog::showDetails(QTreeWidgetItem *item)
{
    m_details->setPlainText(item ? item->data(0, kDetailRole).toString() : QString());
}
