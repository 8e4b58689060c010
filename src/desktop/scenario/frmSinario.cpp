#include "desktop/scenario/frmSinario.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <optional>

#include "core/model/NumText.h"
#include "core/scenario/SinarioEdit.h"
#include "desktop/platform/Fonts.h"
#include "desktop/settings/mdlCommon.h"
#include "desktop/platform/Accessible.h"

using mdlSinario::SinarioStep;

namespace {

constexpr int kFontPixels = 12; // 9 pt

QString Utf8(const char* text) { return QString::fromUtf8(text); }
QString Text(const std::string& s) { return QString::fromStdString(s); }

std::optional<std::int32_t> WholeOf(const QLineEdit& box) { return numtext::ParseTypedWhole(box.text().toStdString()); }

// Only half-width spaces: the padding. Other blanks belong to the title.
QString TrimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') ++first;
    while (last > first && text[last - 1] == u' ') --last;
    return text.mid(first, last - first);
}

using mdlSinario::StepsInUse;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, QRect geometry)
{
    auto* b = new QPushButton(Utf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    // No button answers Enter: the dialog has no default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setGeometry(geometry);
    return b;
}

} // namespace

frmSinario::frmSinario(mdlSinario::SinarioData& sinario, const SystemSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      sinario_(sinario), choosePath_([](QWidget* p, FileDialogMode m) { return ChoosePathWithDialog(p, m); })
{
    platform::InstallAccessibleInterfaces(); // its drop-downs named by their labels
    setWindowTitle(Utf8("シナリオ作成"));
    setFixedSize(490, 480);
    setFont(platform::ProportionalFont(kFontPixels));
    const QFont bold = platform::ProportionalFont(kFontPixels, true);

    txtTTl = new QLineEdit(this);
    txtTTl->setObjectName(QStringLiteral("txtTTl"));
    txtTTl->setGeometry(8, 8, 465, 25);
    txtTTl->installEventFilter(this);

    SSTabMenu = new QTabWidget(this);
    SSTabMenu->setObjectName(QStringLiteral("SSTabMenu"));
    SSTabMenu->setGeometry(8, 40, 473, 137);
    const char* const captions[] = {"初期設定", "温度設定", "グラフ表示", "グラフ消去", "物質変更"};
    QWidget* pages[5];
    for (int i = 0; i < 5; ++i) {
        pages[i] = new QWidget;
        SSTabMenu->addTab(pages[i], Utf8(captions[i]));
    }
    // Places are given from the tab control's corner, strip included; pages start below it.
    const int strip = SSTabMenu->tabBar()->sizeHint().height();
    auto place = [strip](QWidget* w, int x, int y, int width, int height) {
        w->setGeometry(x - 2, y - strip, width, height);
    };
    auto label = [&](int page, const char* name, const char* text, int x, int y, bool isBold) {
        auto* l = new QLabel(Utf8(text), pages[page]);
        l->setObjectName(QString::fromLatin1(name));
        if (isBold) l->setFont(bold);
        l->adjustSize();
        place(l, x, y, l->width(), 20);
        return l;
    };
    auto box = [&](const char* name, int x, int y) {
        auto* edit = new QLineEdit(pages[0]);
        edit->setObjectName(QString::fromLatin1(name));
        place(edit, x, y, 57, 20);
        return edit;
    };
    auto list = [&](const char* name, int y, QStringList items) {
        auto* combo = new QComboBox(pages[0]);
        combo->setObjectName(QString::fromLatin1(name));
        combo->addItems(items);
        place(combo, 120, y, 73, 20);
        return combo;
    };
    auto addButton = [&](int page) {
        const QByteArray name = "cmdAdd" + QByteArray::number(page + 1);
        auto* b = MakeButton(pages[page], name.constData(), "追加", QRect());
        place(b, 392, 104, 65, 25);
        return b;
    };

    // 初期設定
    label(0, "Label1", "物質量　（mol）", 8, 32, true);
    txtMol = box("txtMol", 120, 32);
    txtMol->setText(QStringLiteral("1"));
    label(0, "Label2", "容器の体積　(L)", 8, 56, true);
    txtContainer = box("txtContainer", 120, 56);
    label(0, "Label3", "温度の単位", 8, 80, true);
    cmbTempUnit = list("cmbTempUnit", 80, {Utf8("℃"), Utf8("Ｋ")});
    label(0, "Label4", "圧力の単位", 8, 104, true);
    cmbPressUnit = list("cmbPressUnit", 104, {QStringLiteral("mmHg"), QStringLiteral("atm"), QStringLiteral("hPa")});
    label(0, "Label5", "グラフの温度範囲", 208, 32, true);
    txtGrphWMin = box("txtGrphWMin", 320, 32);
    label(0, "Label7", "～", 384, 32, false);
    txtGrphWMax = box("txtGrphWMax", 408, 32);
    label(0, "Label6", "グラフの圧力範囲", 208, 56, true);
    txtPressWMin = box("txtPressWMin", 320, 56);
    label(0, "Label8", "～", 384, 56, false);
    txtPressWMax = box("txtPressWMax", 408, 56);
    cmdAdd1 = addButton(0);

    // 温度設定
    label(1, "Label9", "温度を", 24, 48, false);
    txtTemp = new QLineEdit(pages[1]);
    txtTemp->setObjectName(QStringLiteral("txtTemp"));
    txtTemp->setFont(platform::ProportionalFont(platform::PixelsForPoints(11.25), true));
    place(txtTemp, 64, 40, 49, 26);
    label(1, "Label10", "に設定します。", 120, 48, false);
    chkAddTemp = new QCheckBox(Utf8("1度ずつ変化する。"), pages[1]);
    chkAddTemp->setObjectName(QStringLiteral("chkAddTemp"));
    chkAddTemp->adjustSize();
    place(chkAddTemp, 24, 80, chkAddTemp->width(), 20);
    cmdAdd2 = addButton(1);

    // グラフ表示
    OptGrphOn = new QRadioButton(Utf8("グラフ表示"), pages[2]);
    OptGrphOn->setObjectName(QStringLiteral("OptGrphOn"));
    OptGrphOn->setChecked(true);
    OptGrphOn->adjustSize();
    place(OptGrphOn, 32, 40, OptGrphOn->width(), 20);
    optGrphOff = new QRadioButton(Utf8("グラフ非表示"), pages[2]);
    optGrphOff->setObjectName(QStringLiteral("optGrphOff"));
    optGrphOff->adjustSize();
    place(optGrphOff, 32, 64, optGrphOff->width(), 20);
    cmdAdd3 = addButton(2);

    // グラフ消去
    label(3, "Label11", "描画されているグラフを消去します。", 24, 48, false);
    cmdAdd4 = addButton(3);

    // 物質変更
    label(4, "Label12", "物質を変更します。", 16, 40, false);
    cmbBussitu = new QComboBox(pages[4]);
    cmbBussitu->setObjectName(QStringLiteral("cmbBussitu"));
    cmbBussitu->setEditable(true);
    // Typed text is only ever "no selection": it must not become an item or be completed
    // into one.
    cmbBussitu->setInsertPolicy(QComboBox::NoInsert);
    cmbBussitu->setCompleter(nullptr);
    cmbBussitu->addItems({Utf8("水"), Utf8("エタノール"), Utf8("ジエチルエーテル")});
    place(cmbBussitu, 56, 72, 209, 22);
    // Typed text stays typed: the box would otherwise take an item whose text it spells
    // when it loses the focus, and the step would record that item instead of -1.
    disconnect(cmbBussitu->lineEdit(), &QLineEdit::editingFinished, cmbBussitu, nullptr);
    connect(cmbBussitu->lineEdit(), &QLineEdit::textEdited, this, [this] { bussituTyped_ = true; });
    connect(cmbBussitu, &QComboBox::activated, this, [this] { bussituTyped_ = false; });
    cmdAdd5 = addButton(4);

    cmdDel = MakeButton(this, "cmdDel", "削除", QRect(400, 184, 65, 17));
    listSinario = new QListWidget(this);
    listSinario->setObjectName(QStringLiteral("listSinario"));
    listSinario->setGeometry(8, 200, 473, 232);
    listSinario->setSelectionMode(QAbstractItemView::SingleSelection);
    listSinario->setFont(platform::MonospaceFont(kFontPixels));
    cmdLoad = MakeButton(this, "cmdLoad", "読込", QRect(8, 448, 73, 25));
    cmdSave = MakeButton(this, "cmdSave", "保存", QRect(96, 448, 73, 25));
    cmdClose = MakeButton(this, "cmdClose", "閉じる", QRect(416, 448, 65, 25));

    // Names a screen reader speaks: the label each box or list stands beside.
    txtTTl->setAccessibleName(Utf8("シナリオのタイトル"));
    SSTabMenu->tabBar()->setAccessibleName(Utf8("追加するステップの種類"));
    txtMol->setAccessibleName(Utf8("物質量　（mol）"));
    txtContainer->setAccessibleName(Utf8("容器の体積　(L)"));
    cmbTempUnit->setAccessibleName(Utf8("温度の単位"));
    cmbPressUnit->setAccessibleName(Utf8("圧力の単位"));
    txtGrphWMin->setAccessibleName(Utf8("グラフの温度範囲（下限）"));
    txtGrphWMax->setAccessibleName(Utf8("グラフの温度範囲（上限）"));
    txtPressWMin->setAccessibleName(Utf8("グラフの圧力範囲（下限）"));
    txtPressWMax->setAccessibleName(Utf8("グラフの圧力範囲（上限）"));
    txtTemp->setAccessibleName(Utf8("設定する温度"));
    cmbBussitu->setAccessibleName(Utf8("変更後の物質"));
    listSinario->setAccessibleName(Utf8("シナリオのステップ"));

    QWidget* const tabOrder[] = {txtTTl, txtMol, txtContainer, cmbTempUnit, cmbPressUnit,
                                 txtGrphWMin, txtGrphWMax, txtPressWMin, txtPressWMax, txtTemp,
                                 chkAddTemp, OptGrphOn, optGrphOff, cmbBussitu, SSTabMenu,
                                 listSinario, cmdLoad, cmdSave, cmdClose, cmdAdd1, cmdAdd2,
                                 cmdAdd3, cmdAdd4, cmdAdd5, cmdDel};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    txtTTl->setFocus();

    connect(cmdAdd1, &QPushButton::clicked, this, &frmSinario::cmdAdd1_Click);
    connect(cmdAdd2, &QPushButton::clicked, this, &frmSinario::cmdAdd2_Click);
    connect(cmdAdd3, &QPushButton::clicked, this, &frmSinario::cmdAdd3_Click);
    connect(cmdAdd4, &QPushButton::clicked, this, &frmSinario::cmdAdd4_Click);
    connect(cmdAdd5, &QPushButton::clicked, this, &frmSinario::cmdAdd5_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmSinario::cmdDel_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &frmSinario::cmdLoad_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSinario::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSinario::cmdClose_Click);

    Form_Load(settings);
}

void frmSinario::Form_Load(const SystemSettings& settings)
{
    temperatureUnit_ = settings.temperatureUnit;
    mdlCommon::LimitInputLength(txtTTl, mdlSinario::kTitleChars);
    mdlCommon::LimitInputLength(txtMol, 3);
    mdlCommon::LimitInputLength(txtContainer, 3);
    mdlCommon::LimitInputLength(txtGrphWMin, 3);
    mdlCommon::LimitInputLength(txtGrphWMax, 3);
    mdlCommon::LimitInputLength(txtPressWMin, 4);
    mdlCommon::LimitInputLength(txtPressWMax, 4);
    mdlCommon::LimitInputLength(txtTemp, 4);

    mdlCommon::FillSettingsBoxes({txtMol, txtContainer, cmbTempUnit, cmbPressUnit, txtGrphWMin,
                                  txtGrphWMax, txtPressWMin, txtPressWMax},
                                 settings);

    cmbBussitu->setCurrentIndex(0);
    bussituTyped_ = false;
    txtTTl->setText(mdlSinario::TitleText(sinario_));
    RefreshStepList();
}

QFileDialog::Options frmSinario::SaveDialogOptions()
{
    return {};
}

QString frmSinario::ChoosePathWithDialog(QWidget* parent, FileDialogMode mode, const QString& folder)
{
    const QString filter = Utf8("シナリオデータ(*.so1)");
    if (mode == FileDialogMode::Open)
        return QFileDialog::getOpenFileName(parent, Utf8("シナリオデータを読み込む"), folder, filter);
    // Asks before replacing an existing file: saving over a colleague's lesson by a slip of
    // the mouse would lose it for good.
    return QFileDialog::getSaveFileName(parent, Utf8("シナリオデータを保存する"), folder, filter,
                                        nullptr, SaveDialogOptions());
}

QString frmSinario::DescribeStep(const SinarioStep& step, std::int32_t temperatureUnit)
{
    return Text(mdlSinario::DescribeStep(step, temperatureUnit));
}

int frmSinario::SelectedRow() const
{
    const auto selected = listSinario->selectedItems();
    return selected.isEmpty() ? -1 : listSinario->row(selected.front());
}

bool frmSinario::InsertStep(const SinarioStep& step)
{
    return mdlSinario::InsertStep(sinario_, SelectedRow(), step);
}

void frmSinario::RefreshStepList()
{
    listSinario->clear();
    const int count = StepsInUse(sinario_);
    for (int n = 1; n <= count; ++n)
        listSinario->addItem(DescribeStep(sinario_.steps[n], mdlSinario::TemperatureUnitAt(sinario_, n - 1, temperatureUnit_)));
}

void frmSinario::AddStep(const SinarioStep& step)
{
    if (InsertStep(step)) RefreshStepList();
}

void frmSinario::txtTTl_LostFocus()
{
    mdlSinario::SetTitle(sinario_, txtTTl->text());
}

void frmSinario::cmdAdd1_Click()
{
    // A box that is empty or holds no number adds nothing and gets the focus, the first
    // such box in tab order.
    QLineEdit* const boxes[] = {txtMol, txtContainer, txtGrphWMin, txtGrphWMax, txtPressWMin, txtPressWMax};
    std::string texts[6];
    for (int n = 0; n < 6; ++n) texts[n] = boxes[n]->text().toStdString();
    const mdlSinario::TypedInit init = mdlSinario::InitStepFromTexts(
        cmbTempUnit->currentIndex(), cmbPressUnit->currentIndex(),
        {texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]});
    if (!init.step) {
        if (!init.fault.empty() && showMessage)
            showMessage(this, mdlCommon::kProgramCaption, QString::fromStdString(init.fault));
        boxes[init.unreadBox]->setFocus();
        return;
    }
    AddStep(*init.step);
}

void frmSinario::cmdAdd2_Click()
{
    const auto value = WholeOf(*txtTemp);
    if (!value) {
        txtTemp->setFocus();
        return;
    }
    SinarioStep step;
    step.kind = mdlSinario::StepTemp;
    step.value = *value;
    step.addTemp = chkAddTemp->isChecked() ? 1 : 0;
    AddStep(step);
}

void frmSinario::cmdAdd3_Click()
{
    SinarioStep step;
    step.kind = OptGrphOn->isChecked() ? mdlSinario::StepGrphOn : mdlSinario::StepGrphOff;
    AddStep(step);
}

void frmSinario::cmdAdd4_Click()
{
    SinarioStep step;
    step.kind = mdlSinario::StepGrphCls;
    AddStep(step);
}

void frmSinario::cmdAdd5_Click()
{
    SinarioStep step;
    step.kind = mdlSinario::StepBussitu;
    step.value = bussituTyped_ ? -1 : cmbBussitu->currentIndex();
    AddStep(step);
}

void frmSinario::cmdDel_Click()
{
    if (mdlSinario::DeleteStep(sinario_, SelectedRow())) RefreshStepList();
}

void frmSinario::cmdLoad_Click()
{
    const QString path = choosePath_ ? choosePath_(this, FileDialogMode::Open) : QString();
    if (path.isEmpty()) return;
    QString reason;
    if (!mdlSinario::ReadSinarioFile(sinario_, path, &reason)) {
        // The steps being edited stay as they were.
        if (showMessage) showMessage(this, mdlCommon::kProgramCaption, reason);
        return;
    }
    loaded_ = true;
    txtTTl->setText(TrimSpaces(mdlSinario::TitleText(sinario_)));
    RefreshStepList();
}

void frmSinario::cmdSave_Click()
{
    const QString chosen = choosePath_ ? choosePath_(this, FileDialogMode::Save) : QString();
    if (chosen.isEmpty()) return;
    // Without the extension the open dialog would never list the file. The save dialog
    // asked about the name chosen, not this one, so the question is asked here.
    const QString path = mdlSinario::WithScenarioExtension(chosen);
    const QString shown = QDir::toNativeSeparators(path);
    if (path != chosen && QFileInfo::exists(path) && askYesNo
        && !askYesNo(this, mdlCommon::kProgramCaption,
                     QStringLiteral("%1 は既に存在します。\n上書きしますか？").arg(shown)))
        return;
    QString reason;
    if (!mdlSinario::WriteSinarioFile(sinario_, path, &reason) && showMessage) {
        showMessage(this, mdlCommon::kProgramCaption,
                    QStringLiteral("シナリオを保存できませんでした。%1\n\nファイル: %2\n\n"
                                   "別の場所か別の名前で保存してください。")
                        .arg(reason, shown));
    }
}

void frmSinario::cmdClose_Click()
{
    accept();
}

bool frmSinario::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == txtTTl && e->type() == QEvent::FocusOut) txtTTl_LostFocus();
    return QDialog::eventFilter(watched, e);
}

void frmSinario::keyPressEvent(QKeyEvent* e)
{
    if (mdlCommon::IsDialogKey(*e)) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
