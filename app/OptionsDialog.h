#pragma once

#include <QDialog>
#include <utility>
#include <vector>

class QCheckBox;
class QPushButton;
class Settings;

// The options dialog (TOptionsForm): one check box per user option.
class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget *parent = nullptr);

    // Copy the seven options into the check boxes and back.
    void setOptions(const Settings &settings);
    void getOptions(Settings &settings) const;

    // "Delete appli.xml" is enabled exactly when "Start Benchora ..." is checked; its check
    // mark stays either way.
    void FormShow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Each check box with the option it edits.
    std::vector<std::pair<QCheckBox *, bool Settings::*>> optionBoxes() const;

    QCheckBox *m_cbDownloadToRTU;
    QCheckBox *m_cbStartWorkbench;
    QCheckBox *m_cbDeleteAppliXML;
    QCheckBox *m_cbStratonGenerateDebugCode;
    QCheckBox *m_cbStratonAllocateStatusFlags_VSI;
    QCheckBox *m_cbStratonEmbedSymbolsofAllVariables;
    QCheckBox *m_ckbSaveWindowPosition;
    QCheckBox *m_cbUseLibreOffice;
};
