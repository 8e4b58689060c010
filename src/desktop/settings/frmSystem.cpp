#include "desktop/settings/frmSystem.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/settings/SettingsLimits.h"
#include "desktop/platform/Fonts.h"
#include "desktop/settings/mdlCommon.h"
#include "desktop/platform/Accessible.h"

namespace {

constexpr int kRowTop = 8;
constexpr int kRowPitch = 32;
constexpr int kRowHeight = 20;
constexpr int kLabelLeft = 8;
constexpr int kColumn1 = 136;
constexpr int kColumn2 = 216;
constexpr int kBoxWidth = 57;
constexpr int kListWidth = 73;
constexpr int kFontPixels = 12; // 9 pt

int RowY(int row) { return kRowTop + kRowPitch * row; }

} // namespace

frmSystem::frmSystem(SystemSettings& settings, const mdlSystem::SettingsLocation& location, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      settings_(settings), location_(location)
{
    platform::InstallAccessibleInterfaces(); // its drop-downs named by their labels
    setWindowTitle(QStringLiteral("物質量"));
    setFixedSize(289, 244);
    setFont(platform::ProportionalFont(kFontPixels));
    const QFont bold = platform::ProportionalFont(kFontPixels, true);

    const char* const labels[] = {"物質量　（mol）", "容器の体積　(L)", "温度の単位",
                                  "圧力の単位", "グラフの温度範囲", "グラフの圧力範囲"};
    for (int row = 0; row < 6; ++row) {
        auto* label = new QLabel(QString::fromUtf8(labels[row]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        label->setFont(bold);
        label->setGeometry(kLabelLeft, RowY(row), kColumn1 - kLabelLeft - 4, kRowHeight);
    }
    auto box = [this](const char* name, int x, int row) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setGeometry(x, RowY(row), kBoxWidth, kRowHeight);
        return edit;
    };
    auto list = [this](const char* name, int row, QStringList items) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(name));
        combo->addItems(items);
        combo->setGeometry(kColumn1, RowY(row), kListWidth, kRowHeight);
        return combo;
    };
    auto tilde = [this](const char* name, int row) {
        auto* label = new QLabel(QStringLiteral("～"), this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(kColumn1 + kBoxWidth, RowY(row), kColumn2 - kColumn1 - kBoxWidth, kRowHeight);
    };
    auto button = [this](const char* name, const char* text, int x) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        // Neither button answers Enter: the dialog has no default button.
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setGeometry(x, 204, 89, 25);
        return b;
    };

    txtMol = box("txtMol", kColumn1, 0);
    txtContainer = box("txtContainer", kColumn1, 1);
    cmbTempUnit = list("cmbTempUnit", 2, {QStringLiteral("℃"), QStringLiteral("Ｋ")});
    cmbPressUnit = list("cmbPressUnit", 3, {QStringLiteral("mmHg"), QStringLiteral("atm"), QStringLiteral("hPa")});
    txtGrphWMin = box("txtGrphWMin", kColumn1, 4);
    tilde("Label7", 4);
    txtGrphWMax = box("txtGrphWMax", kColumn2, 4);
    txtPressWMin = box("txtPressWMin", kColumn1, 5);
    tilde("Label8", 5);
    txtPressWMax = box("txtPressWMax", kColumn2, 5);
    cmdDefault = button("cmdDefault", "初期値", 40);
    cmdClose = button("cmdClose", "閉じる", 160);
    // Names a screen reader speaks: the label each box or list stands beside.
    txtMol->setAccessibleName(QString::fromUtf8(labels[0]));
    txtContainer->setAccessibleName(QString::fromUtf8(labels[1]));
    cmbTempUnit->setAccessibleName(QString::fromUtf8(labels[2]));
    cmbPressUnit->setAccessibleName(QString::fromUtf8(labels[3]));
    txtGrphWMin->setAccessibleName(QStringLiteral("グラフの温度範囲（下限）"));
    txtGrphWMax->setAccessibleName(QStringLiteral("グラフの温度範囲（上限）"));
    txtPressWMin->setAccessibleName(QStringLiteral("グラフの圧力範囲（下限）"));
    txtPressWMax->setAccessibleName(QStringLiteral("グラフの圧力範囲（上限）"));

    QWidget::setTabOrder(txtMol, txtContainer);
    QWidget::setTabOrder(txtContainer, cmbTempUnit);
    QWidget::setTabOrder(cmbTempUnit, cmbPressUnit);
    QWidget::setTabOrder(cmbPressUnit, txtGrphWMin);
    QWidget::setTabOrder(txtGrphWMin, txtGrphWMax);
    QWidget::setTabOrder(txtGrphWMax, txtPressWMin);
    QWidget::setTabOrder(txtPressWMin, txtPressWMax);
    QWidget::setTabOrder(txtPressWMax, cmdDefault);
    QWidget::setTabOrder(cmdDefault, cmdClose);
    txtMol->setFocus();

    connect(cmdDefault, &QPushButton::clicked, this, &frmSystem::cmdDefault_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSystem::cmdClose_Click);

    Form_Load();
}

void frmSystem::Form_Load()
{
    mdlCommon::LimitInputLength(txtMol, 3);
    mdlCommon::LimitInputLength(txtContainer, 3);
    mdlCommon::LimitInputLength(txtGrphWMin, 3);
    mdlCommon::LimitInputLength(txtGrphWMax, 3);
    mdlCommon::LimitInputLength(txtPressWMin, 4);
    mdlCommon::LimitInputLength(txtPressWMax, 4);
}

void frmSystem::Form_Activate()
{
    mdlCommon::FillSettingsBoxes({txtMol, txtContainer, cmbTempUnit, cmbPressUnit, txtGrphWMin,
                                  txtGrphWMax, txtPressWMin, txtPressWMax},
                                 settings_);
}

void frmSystem::cmdDefault_Click()
{
    mdlSystem::InitSystemSettings(settings_);
    Form_Activate();
}

void frmSystem::cmdClose_Click()
{
    const std::string texts[] = {txtMol->text().toStdString(),      txtContainer->text().toStdString(),
                                 txtGrphWMin->text().toStdString(), txtGrphWMax->text().toStdString(),
                                 txtPressWMin->text().toStdString(), txtPressWMax->text().toStdString()};
    mdlSystem::SettingsBoxes boxes;
    boxes.temperatureUnit = cmbTempUnit->currentIndex();
    boxes.pressureUnit = cmbPressUnit->currentIndex();
    boxes.mol = texts[0];
    boxes.container = texts[1];
    boxes.grphWMin = texts[2];
    boxes.grphWMax = texts[3];
    boxes.grphHMin = texts[4];
    boxes.grphHMax = texts[5];
    const mdlSystem::TakenBoxes taken = mdlSystem::TakeSettingsBoxes(settings_, boxes);
    QLineEdit* const faultBoxes[] = {txtMol, txtContainer, txtGrphWMin, txtPressWMin};
    for (QLineEdit* b : faultBoxes) b->setStyleSheet(QString());
    if (taken.faults != 0) {
        // Nothing is saved; the dialog stays open at the box to mend.
        int first = 0;
        while (!(taken.faults & (1u << first))) ++first;
        QLineEdit* box = faultBoxes[first];
        box->setStyleSheet(QStringLiteral("background: rgb(255, 214, 214);"));
        if (showMessage) showMessage(this, mdlCommon::kProgramCaption, QString::fromStdString(mdlSystem::FaultText(taken.faults)));
        box->setFocus();
        box->selectAll();
        return;
    }
    settings_ = taken.settings;
    // A teacher must not leave believing the settings were kept. The file is as it was,
    // and the next activation of the main window reloads it.
    QString reason;
    if (!mdlSystem::SaveSystemSettings(settings_, location_, &reason) && showMessage) {
        showMessage(this, mdlCommon::kProgramCaption,
                    QStringLiteral("設定を保存できませんでした。%1\n\nファイル: %2\n\n設定は変更前のままです。")
                        .arg(reason, QDir::toNativeSeparators(location_.Path())));
    }
    accept();
}

void frmSystem::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous()) Form_Activate();
}

void frmSystem::keyPressEvent(QKeyEvent* e)
{
    if (mdlCommon::IsDialogKey(*e)) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
