#include "app/OptionsDialog.h"

#include "app/Settings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QCheckBox *addCheckBox(QBoxLayout *layout, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(name));
    layout->addWidget(box);
    return box;
}

} // namespace

OptionsDialog::OptionsDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TOptionsForm"));
    setWindowTitle(QStringLiteral("Options"));
    auto *layout = new QVBoxLayout(this);

    auto *group1 =
        new QGroupBox(QStringLiteral(" Optional actions after successful code generation "));
    group1->setObjectName(QStringLiteral("GroupBox1"));
    auto *actions = new QVBoxLayout(group1);
    m_cbDownloadToRTU =
        addCheckBox(actions, "cbDownloadToRTU", QStringLiteral("Download project to Orvane"));
    m_cbStartWorkbench = addCheckBox(actions, "cbStartWorkbench",
                                     QStringLiteral("Start Benchora with the downloaded project"));
    auto *indented = new QHBoxLayout;
    indented->addSpacing(20);
    m_cbDeleteAppliXML =
        addCheckBox(indented, "cbDeleteAppliXML", QStringLiteral("Delete appli.xml"));
    actions->addLayout(indented);
    layout->addWidget(group1);

    auto *group2 = new QGroupBox(QStringLiteral(" Benchora project settings "));
    group2->setObjectName(QStringLiteral("GroupBox2"));
    auto *project = new QVBoxLayout(group2);
    m_cbStratonGenerateDebugCode = addCheckBox(project, "cbStratonGenerateDebugCode",
                                               QStringLiteral("Force: Generate debug code"));
    m_cbStratonAllocateStatusFlags_VSI = addCheckBox(
        project, "cbStratonAllocateStatusFlags_VSI",
        QStringLiteral("Force: Allocate status flags for variables with embedded properties"));
    m_cbStratonEmbedSymbolsofAllVariables =
        addCheckBox(project, "cbStratonEmbedSymbolsofAllVariables",
                    QStringLiteral("Force: Embed symbols of all variables"));
    // Always on in the projects this program writes; shown so the user knows.
    for (const auto &[name, caption] :
         {std::pair{"CheckBox1", "Force: Store complex variables in a separate segment"},
          std::pair{"CheckBox2", "Force: Allow large jump instructions"}}) {
        QCheckBox *fixed = addCheckBox(project, name, QLatin1String(caption));
        fixed->setChecked(true);
        fixed->setEnabled(false);
    }
    layout->addWidget(group2);

    m_ckbSaveWindowPosition = addCheckBox(layout, "ckbSaveWindowPosition",
                                          QStringLiteral("Position window on last used postion"));
    m_cbUseLibreOffice =
        addCheckBox(layout, "cbUseLibreOffice",
                    QStringLiteral("Read workbooks through LibreOffice Calc and run their macros"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("Ok"));
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("Button2"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // Escape rejects the dialog, as Cancel does.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cbStartWorkbench, &QCheckBox::clicked, this, &OptionsDialog::FormShow);
    connect(m_cbDeleteAppliXML, &QCheckBox::clicked, this, &OptionsDialog::FormShow);

    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::vector<std::pair<QCheckBox *, bool Settings::*>> OptionsDialog::optionBoxes() const
{
    return {
        {m_cbDownloadToRTU, &Settings::Download},
        {m_cbStartWorkbench, &Settings::StartStraton},
        {m_cbDeleteAppliXML, &Settings::DeleteAppliXML},
        {m_cbStratonGenerateDebugCode, &Settings::DebugGen},
        {m_cbStratonAllocateStatusFlags_VSI, &Settings::ForceVSI},
        {m_cbStratonEmbedSymbolsofAllVariables, &Settings::EmbedSymb},
        {m_ckbSaveWindowPosition, &Settings::SaveWindowPosition},
        {m_cbUseLibreOffice, &Settings::UseLibreOffice},
    };
}

void OptionsDialog::setOptions(const Settings &settings)
{
    for (const auto &[box, option] : optionBoxes())
        box->setChecked(settings.*option);
}

void OptionsDialog::getOptions(Settings &settings) const
{
    for (const auto &[box, option] : optionBoxes())
        settings.*option = box->isChecked();
}

void OptionsDialog::FormShow()
{
    m_cbDeleteAppliXML->setEnabled(m_cbStartWorkbench->isChecked());
}

void OptionsDialog::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}
