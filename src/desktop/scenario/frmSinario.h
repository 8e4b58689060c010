#pragma once
// The scenario editor: a title and up to 50 steps, composed on five tabs, saved to and
// loaded from .so1 files. Every change goes straight into the scenario it is given.
#include <QDialog>
#include <QFileDialog>
#include <functional>

#include "desktop/scenario/mdlSinario.h"
#include "core/settings/SystemSettings.h"
#include "desktop/settings/mdlCommon.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

class frmSinario : public QDialog {
    Q_OBJECT
public:
    enum class FileDialogMode { Open, Save };
    // Asks the user for a scenario file; an empty result means the user cancelled.
    using PathChooser = std::function<QString(QWidget* parent, FileDialogMode mode)>;

    // sinario is edited in place. settings only fills the first tab, and gives the unit of
    // the temperatures listed before any settings step, when the dialog is built; the
    // dialog never writes it. Run it modally (exec).
    frmSinario(mdlSinario::SinarioData& sinario, const SystemSettings& settings,
               QWidget* parent = nullptr);

    // The platform's open and save dialogs, titled and filtered for scenario files, opening
    // in folder (the platform's choice when empty).
    static QString ChoosePathWithDialog(QWidget* parent, FileDialogMode mode,
                                        const QString& folder = QString());
    static QFileDialog::Options SaveDialogOptions();
    void SetPathChooser(PathChooser chooser) { choosePath_ = std::move(chooser); }

    // The failure message of a save and the question before replacing a file; replaceable
    // for tests.
    mdlCommon::MessageBoxFn showMessage = mdlCommon::ShowWarning;
    mdlCommon::QuestionFn askYesNo = mdlCommon::AskYesNo;

    // The list's line of a step, its temperature read in temperatureUnit.
    static QString DescribeStep(const mdlSinario::SinarioStep& step, std::int32_t temperatureUnit);
    // Puts step before the selected row's step, or after the last one when no row is
    // selected. False, and nothing changed, when the scenario is full.
    bool InsertStep(const mdlSinario::SinarioStep& step);
    void RefreshStepList();

    QLineEdit* txtTTl;
    QTabWidget* SSTabMenu;
    QLineEdit* txtMol;
    QLineEdit* txtContainer;
    QComboBox* cmbTempUnit;
    QComboBox* cmbPressUnit;
    QLineEdit* txtGrphWMin;
    QLineEdit* txtGrphWMax;
    QLineEdit* txtPressWMin;
    QLineEdit* txtPressWMax;
    QLineEdit* txtTemp;
    QCheckBox* chkAddTemp;
    QRadioButton* OptGrphOn;
    QRadioButton* optGrphOff;
    QComboBox* cmbBussitu;
    QPushButton* cmdAdd1;
    QPushButton* cmdAdd2;
    QPushButton* cmdAdd3;
    QPushButton* cmdAdd4;
    QPushButton* cmdAdd5;
    QPushButton* cmdDel;
    QListWidget* listSinario;
    QPushButton* cmdLoad;
    QPushButton* cmdSave;
    QPushButton* cmdClose;

    // Whether a scenario file was loaded while the dialog was open.
    bool Loaded() const { return loaded_; }

public slots:
    void txtTTl_LostFocus();
    void cmdAdd1_Click();
    void cmdAdd2_Click();
    void cmdAdd3_Click();
    void cmdAdd4_Click();
    void cmdAdd5_Click();
    void cmdDel_Click();
    void cmdLoad_Click();
    void cmdSave_Click();
    void cmdClose_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Form_Load(const SystemSettings& settings);
    int SelectedRow() const;
    void AddStep(const mdlSinario::SinarioStep& step);

    mdlSinario::SinarioData& sinario_;
    PathChooser choosePath_;
    std::int32_t temperatureUnit_ = 0; // of the settings given: the steps before any settings step read in it
    bool bussituTyped_ = false; // the substance's text field was typed into
    bool loaded_ = false;
};
