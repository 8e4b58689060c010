#pragma once
// The settings dialog: edits the eight settings and saves them on its close button.
#include <QDialog>

#include "core/settings/SystemSettings.h"
#include "desktop/settings/mdlCommon.h"
#include "desktop/settings/mdlSystem.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSystem : public QDialog {
    Q_OBJECT
public:
    // Both are referred to, not copied: the dialog writes settings on its close button and
    // saves them to location. Run it modally (exec); it fills itself when shown.
    frmSystem(SystemSettings& settings, const mdlSystem::SettingsLocation& location,
              QWidget* parent = nullptr);

    // The failure message of the close button; replaceable for tests.
    mdlCommon::MessageBoxFn showMessage = mdlCommon::ShowWarning;

    QLineEdit* txtMol;
    QLineEdit* txtContainer;
    QComboBox* cmbTempUnit;
    QComboBox* cmbPressUnit;
    QLineEdit* txtGrphWMin;
    QLineEdit* txtGrphWMax;
    QLineEdit* txtPressWMin;
    QLineEdit* txtPressWMax;
    QPushButton* cmdDefault;
    QPushButton* cmdClose;

public slots:
    void Form_Load();
    void Form_Activate();
    void cmdDefault_Click();
    void cmdClose_Click();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    SystemSettings& settings_;
    const mdlSystem::SettingsLocation& location_;
};
