#include "main/frmMain.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "about/frmAbout.h"
#include "assets/Background.h"
#include "main/Simulation.h"
#include "model/NumText.h"
#include "platform/Fonts.h"
#include "platform/KeyPreview.h"
#include "platform/ModalDialog.h"
#include "platform/PictureButton.h"
#include "platform/TickTimer.h"
#include "scenario/frmSinario.h"
#include "settings/frmSystem.h"

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 559;
constexpr QRgb kBlack = qRgb(0, 0, 0);

// Sizes in pixels as at 96 dpi, so the layout does not depend on the display.
constexpr int k20pt = 27;
constexpr int k14pt = 19;
constexpr int k12pt = 16;

// Drawn in code rather than from a full-window picture: nothing to decode at start-up and
// nothing held in memory, and the painter clips it to what is exposed.
class Background : public QWidget {
public:
    explicit Background(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kClientWidth, kClientHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        assets::PaintBackground(p);
    }
};

QImage LoadImage(const char* name)
{
    // Named as PNG and not guessed: guessing asks every image plugin installed, and loads
    // each of them, before it settles on the built-in PNG reader.
    QImageReader reader(QStringLiteral(":/img/%1").arg(QLatin1String(name)), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int w, int h, int px,
                  bool bold, QColor color)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, h);
    l->setFont(platform::ProportionalFont(px, bold));
    l->setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, color);
    l->setPalette(pal);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

std::string Utf8(const QString& s) { return s.toStdString(); }

} // namespace

UpDownSpinner::UpDownSpinner(QWidget* parent) : QWidget(parent)
{
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setAutoRepeat(true);
    down->setAutoRepeat(true);
    up->setFocusPolicy(Qt::NoFocus);
    down->setFocusPolicy(Qt::NoFocus);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    up->setAccessibleName(QStringLiteral("温度を上げる"));
    down->setAccessibleName(QStringLiteral("温度を下げる"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up);
    layout->addWidget(down);
    for (auto* b : {up, down}) b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(up, &QToolButton::clicked, this, [this] { emit stepped(+1); });
    connect(down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

frmMain::frmMain(SharedRecords& shared, mdlSprite::TimeOfDayClock clock, QWidget* parent)
    : QMainWindow(parent),
      shared_(shared),
      clock_(std::move(clock)),
      backArea_(mdlSprite::kContainerWidth, mdlSprite::kContainerHeight, kBlack),
      grphArea_(315, 334, graph::kBackground),
      graph_(grphArea_)
{
    sprite_ = platform::DrawArea::PreparedBlock(LoadImage("molecule.png"));
    sinarioImg_ = {LoadImage("sinario_on.png"), LoadImage("sinario_off.png")};
    grphSwImg_ = {LoadImage("grphsw_on.png"), LoadImage("grphsw_off.png")};
    grphClsImg_ = {LoadImage("grphcls_on.png"), LoadImage("grphcls_off.png")};

    auto* client = new Background(this);
    setCentralWidget(client);
    BuildControls(client);
    BuildMenu();
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString());
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Start-up, before the window is first shown.
    AppState& st = shared_.state;
    mdlSprite::InitMolField(shared_.field, clock_);
    mdlData::InitVaporTable(shared_.table);
    st.sinarioRun = 0;
    picGrphSw->SetPicture(grphSwImg_.on);
    st.grphVisible = 1;
    st.curLiquid = mdlData::Water;
    st.fullVaporTemp = 100;
    st.freezeTemp = 0;
    st.frameWait = 0;

    timer1_ = std::make_unique<platform::TickTimer>([this] { Timer1_Wake(); }, this);
    keyPreview_ = std::make_unique<platform::KeyPreview>(
        this, [this](int key, int shift) { Form_KeyUp(key, shift); });
}

frmMain::~frmMain() = default;

void frmMain::BuildControls(QWidget* client)
{
    auto* back = new platform::DrawAreaView(backArea_, client);
    back->setGeometry(37, 20, backArea_.Width(), backArea_.Height());
    back->setAccessibleName(QStringLiteral("容器"));
    auto* grph = new platform::DrawAreaView(grphArea_, client);
    grph->setGeometry(446, 64, grphArea_.Width(), grphArea_.Height());
    grph->setAccessibleName(QStringLiteral("蒸気圧曲線のグラフ"));

    auto makeButton = [client](int x, const QString& tip, const QImage& image) {
        auto* b = new platform::PictureButton(client);
        b->move(x, 8);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->SetPicture(image);
        return b;
    };
    picSinario = makeButton(464, QStringLiteral("シナリオ実行"), sinarioImg_.off);
    picGrphSw = makeButton(560, QStringLiteral("グラフ表示・非表示切替"), grphSwImg_.off);
    picGrphCls = makeButton(656, QStringLiteral("表示されているグラフの消去"), grphClsImg_.off);
    connect(picSinario, &platform::PictureButton::clicked, this, &frmMain::picSinario_Click);
    connect(picGrphSw, &platform::PictureButton::clicked, this, &frmMain::picGrphSw_Click);
    connect(picGrphCls, &platform::PictureButton::clicked, this, &frmMain::picGrphCls_Click);

    const QColor red(255, 0, 0), grey(128, 128, 128), white(255, 255, 255), black(0, 0, 0);
    // Shadows first, so the red text lies on top.
    MakeLabel(client, QStringLiteral("温度"), 477, 430, 62, 36, k20pt, true, grey);
    MakeLabel(client, QStringLiteral("温度"), 475, 428, 62, 36, k20pt, true, red);
    MakeLabel(client, QStringLiteral("圧力"), 478, 480, 62, 36, k20pt, true, grey);
    MakeLabel(client, QStringLiteral("圧力"), 476, 479, 62, 36, k20pt, true, red);

    txtOndo = new QLineEdit(QStringLiteral("0"), client);
    txtOndo->setGeometry(539, 428, 60, 36);
    txtOndo->setFont(platform::ProportionalFont(k20pt, true));
    txtOndo->setAccessibleName(QStringLiteral("温度"));
    connect(txtOndo, &QLineEdit::textChanged, this, &frmMain::txtOndo_Change);

    UpDownOndo = new UpDownSpinner(client);
    UpDownOndo->setGeometry(599, 430, 16, 33);
    connect(UpDownOndo, &UpDownSpinner::stepped, this, &frmMain::UpDownOndo_Click);

    lblTmp = MakeLabel(client, QString(), 624, 432, 41, 25, k20pt, false, black);
    lblTmp->setAccessibleName(QStringLiteral("温度の単位"));

    txtAturyoku = new QLineEdit(QStringLiteral("0"), client);
    txtAturyoku->setGeometry(540, 475, 103, 36);
    txtAturyoku->setFont(platform::ProportionalFont(k20pt, true));
    txtAturyoku->setReadOnly(true); // a readout: typing into it would only mislead
    txtAturyoku->setAccessibleName(QStringLiteral("圧力"));
    QPalette pal = txtAturyoku->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 192));
    pal.setColor(QPalette::Text, black);
    txtAturyoku->setPalette(pal);

    lblPress = MakeLabel(client, QString(), 648, 480, 97, 33, k20pt, false, black);
    lblPress->setAccessibleName(QStringLiteral("圧力の単位"));

    cmbLiquid = new QComboBox(client);
    cmbLiquid->setGeometry(40, 500, 173, 27);
    cmbLiquid->setFont(platform::ProportionalFont(k14pt, true));
    cmbLiquid->addItems({QStringLiteral("水"), QStringLiteral("エタノール"),
                         QStringLiteral("ジエチルエーテル")});
    cmbLiquid->setAccessibleName(QStringLiteral("物質"));
    // A new selection is taken up by the next frame, which a resting timer must then draw.
    connect(cmbLiquid, &QComboBox::currentIndexChanged, this, [this] { Replan(); });

    lblMol = MakeLabel(client, QString(), 240, 504, 65, 17, k12pt, true, white);
    lblMol->setAccessibleName(QStringLiteral("物質量"));
    lblVal = MakeLabel(client, QString(), 320, 504, 81, 17, k12pt, true, white);
    lblVal->setAccessibleName(QStringLiteral("容器の体積"));

    // The temperature comes first when tabbing, then the selector.
    setTabOrder(txtOndo, cmbLiquid);
    txtOndo->setFocus();
}

void frmMain::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    menu_Init = file->addAction(QStringLiteral("初期設定(&I)"), this, &frmMain::menu_Init_Click);
    menu_Sinario = file->addAction(QStringLiteral("シナリオ設定(&S)"), this, &frmMain::menu_Sinario_Click);
    menu_end = file->addAction(QStringLiteral("終了(&X)"), this, &frmMain::menu_end_Click);
    menu_View = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    menu_search = help->addAction(QStringLiteral("検索(&H)"), this, &frmMain::menu_search_Click);
    menu_ver = help->addAction(QStringLiteral("バージョン情報(&A)"), this, &frmMain::menu_ver_Click);
    menuBar()->setFont(platform::ProportionalFont(15));
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (activatedOnce_) return;
    activatedOnce_ = true;
    if (QScreen* screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        const QSize size = frameGeometry().size();
        move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    Form_Activate();
    StartTimer();
}

void frmMain::Form_Activate()
{
    AppState& st = shared_.state;
    SystemSettings& s = shared_.settings;
    setWindowTitle(QStringLiteral("蒸気圧曲線　-　") + mdlSinario::TitleText(shared_.sinario));
    mdlSystem::LoadSystemSettings(s, shared_.location);
    graph_.GrphRedraw(s);
    lblTmp->setText(s.temperatureUnit == 0 ? QStringLiteral("℃") : QStringLiteral("Ｋ"));
    lblPress->setText(s.pressureUnit == 0   ? QStringLiteral("mmHg")
                      : s.pressureUnit == 1 ? QStringLiteral("atm")
                                            : QStringLiteral("hPa"));
    cmbLiquid->setCurrentIndex(st.curLiquid >= 0 && st.curLiquid <= 2 ? st.curLiquid : -1);
    simulation::RefreshLiquidTemps(st, shared_.table, s);
    Replan();
    picSinario->SetPicture(st.sinarioRun != 0 ? sinarioImg_.on : sinarioImg_.off);
    lblMol->setText(QString::fromStdString(numtext::FormatWhole(s.mol)) + QStringLiteral("mol"));
    lblVal->setText(QString::fromStdString(numtext::FormatGeneral(s.container)) + QStringLiteral("ﾘｯﾄﾙ"));
    update();
}

void frmMain::txtOndo_Change()
{
    const auto t = ShownTemperature();
    Replan();
    if (!t) return; // empty or no number: nothing changes
    const SystemSettings& s = shared_.settings;
    AppState& st = shared_.state;
    const simulation::Readout r = simulation::ComputeReadout(shared_.table, st.curLiquid, s, t->whole);
    txtAturyoku->setText(QString::fromStdString(r.text));
    if (st.grphVisible != 0) graph_.GrphPlotPoint(s, st, t->whole, r.pressure);
    const std::int64_t celsius = std::int64_t{t->whole} - (s.temperatureUnit == 1 ? 273 : 0);
    if (celsius <= st.freezeTemp) mdlSprite::InitMolField(shared_.field, clock_);
}

std::optional<simulation::Temperature> frmMain::ShownTemperature() const
{
    // Read without allocating, as the tick reads it on every frame; text that is not plain
    // ASCII takes the general path.
    const QString text = txtOndo->text();
    char ascii[64];
    if (text.size() < qsizetype{sizeof ascii}) {
        qsizetype n = 0;
        for (const QChar c : text) {
            if (c.unicode() > 0x7F) break;
            ascii[n++] = static_cast<char>(c.unicode());
        }
        if (n == text.size()) return simulation::ReadTemperature(std::string_view(ascii, static_cast<std::size_t>(n)));
    }
    return simulation::ReadTemperature(Utf8(text));
}

void frmMain::StartTimer()
{
    timer1_->Start();
    pace_.Start();
    Replan();
}

void frmMain::Replan()
{
    if (inWake_ || !timer1_ || !timer1_->IsEnabled()) return; // a frame plans after itself
    if (const auto ms = pace_.Plan(shared_.state, ShownTemperature().has_value()))
        timer1_->WakeIn(*ms);
    else
        timer1_->Sleep();
}

void frmMain::Timer1_Wake()
{
    AppState& st = shared_.state;
    inWake_ = true;
    pace_.BeginFrame(st);
    Timer1_Timer();
    inWake_ = false;
    const bool atRest = framepace::AtRest(shared_.field, st, cmbLiquid->currentIndex(), drawn_);
    if (const auto ms = pace_.AfterFrame(st, ShownTemperature().has_value(), atRest))
        timer1_->WakeIn(*ms);
    else
        timer1_->Sleep();
}

void frmMain::UpDownOndo_Click(int direction)
{
    // Continue from the temperature shown, so typing 25 then clicking up gives 26.
    if (const auto t = simulation::ReadTemperature(Utf8(txtOndo->text())))
        spinnerValue_ = std::clamp(t->whole, UpDownSpinner::kMin, UpDownSpinner::kMax);
    spinnerValue_ = std::clamp(spinnerValue_ + direction, UpDownSpinner::kMin, UpDownSpinner::kMax);
    txtOndo->setText(QString::number(spinnerValue_));
}

void frmMain::Timer1_Timer()
{
    AppState& st = shared_.state;
    const SystemSettings& s = shared_.settings;
    auto t = ShownTemperature();
    if (!t) return;
    if (st.frameWait > 0) {
        --st.frameWait;
        return;
    }
    if (st.rampOn != 0) {
        if (const auto next = simulation::NextRampTemperature(st, t->whole)) {
            txtOndo->setText(QString::fromStdString(numtext::FormatWhole(*next)));
            t = ShownTemperature();
            if (!t) return;
        }
    }
    const int selected = cmbLiquid->currentIndex();
    if (selected != st.curLiquid) {
        st.curLiquid = selected;
        simulation::RefreshLiquidTemps(st, shared_.table, s);
    }
    const double celsius = simulation::CelsiusOf(t->real, s.temperatureUnit);
    st.frameWait = simulation::FrameWaitFor(celsius, st.fullVaporTemp, st.freezeTemp);
    const std::int64_t wholeCelsius = std::int64_t{t->whole} - (s.temperatureUnit == 1 ? 273 : 0);
    mdlSprite::SetMolStates(shared_.field,
                            static_cast<std::int32_t>(std::max<std::int64_t>(
                                wholeCelsius, std::numeric_limits<std::int32_t>::min())),
                            st);

    // A frame that would show the same picture again is neither drawn nor flushed.
    if (!framepace::MoveAll(shared_.field, drawn_)) return;
    backArea_.FillBox(0, 0, mdlSprite::kContainerWidth, mdlSprite::kContainerHeight, kBlack);
    platform::DrawArea::BlockCopier sprites(backArea_, sprite_);
    for (int i = mdlSprite::kRows; i >= 1; --i) {
        for (int j = 1; j <= mdlSprite::kColumns; ++j) {
            const mdlSprite::MolCell& c = shared_.field.cells[i][j];
            sprites.Copy(c.x, c.y);
        }
    }
    backArea_.Refresh();
}

void frmMain::Form_KeyUp(int keyCode, int /*shift*/)
{
    if (simulation::IsPlaybackKey(keyCode) && shared_.state.sinarioRun == 1) RunSinarioStep();
}

void frmMain::picSinario_Click()
{
    AppState& st = shared_.state;
    if (st.sinarioRun == 0) {
        picSinario->SetPicture(sinarioImg_.on);
        st.sinarioRun = 1;
        st.sinarioPos = 1;
    } else {
        picSinario->SetPicture(sinarioImg_.off);
        st.sinarioRun = 0;
    }
}

void frmMain::SetTemperatureText(const QString& text)
{
    // A step that sets the same temperature again still produces the readout and point.
    if (txtOndo->text() == text) txtOndo_Change();
    else txtOndo->setText(text);
}

void frmMain::RunSinarioStep()
{
    std::optional<std::int32_t> shown;
    if (const auto t = ShownTemperature()) shown = t->whole;
    const simulation::StepEffect e = simulation::RunSinarioStep(
        shared_.state, shared_.sinario, shared_.settings, shared_.table, shown);
    switch (e.kind) {
    case simulation::StepEffect::SetTemperature:
        SetTemperatureText(QString::fromStdString(numtext::FormatWhole(e.value)));
        break;
    case simulation::StepEffect::GraphOn:
        picGrphSw->SetPicture(grphSwImg_.on);
        graph_.GrphRedraw(shared_.settings);
        break;
    case simulation::StepEffect::GraphOff:
        picGrphSw->SetPicture(grphSwImg_.off);
        graph_.GrphClear();
        break;
    case simulation::StepEffect::GraphClear:
        graph_.GrphClear();
        break;
    case simulation::StepEffect::SelectLiquid:
        cmbLiquid->setCurrentIndex(e.value);
        break;
    case simulation::StepEffect::None:
        break;
    }
    Replan(); // a ramp, or settings of an initial-settings step
}

void frmMain::picGrphSw_Click()
{
    graph_.SwitchClicked(shared_.settings, shared_.state, [this](bool on) {
        picGrphSw->SetPicture(on ? grphSwImg_.on : grphSwImg_.off);
    });
}

void frmMain::picGrphCls_Click()
{
    graph_.ClearClicked(shared_.settings, shared_.state, [this](bool on) {
        picGrphCls->SetPicture(on ? grphClsImg_.on : grphClsImg_.off);
        repaint();
    });
}

void frmMain::ShowDialog(QDialog& dialog)
{
    platform::RunModal(dialog, *this, [this] { Form_Activate(); });
}

void frmMain::menu_Init_Click()
{
    frmSystem dialog(shared_.settings, shared_.location, this);
    ShowDialog(dialog);
}

void frmMain::menu_Sinario_Click()
{
    frmSinario dialog(shared_.sinario, shared_.settings, this);
    ShowDialog(dialog);
}

void frmMain::menu_ver_Click()
{
    about::frmAbout dialog(this);
    ShowDialog(dialog);
}

void frmMain::menu_end_Click()
{
    close();
}
