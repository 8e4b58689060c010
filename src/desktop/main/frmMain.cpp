#include "desktop/main/frmMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QUrl>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QIcon>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "desktop/about/frmAbout.h"
#include "desktop/main/frmKeys.h"
#include "desktop/platform/Accessible.h"
#include "assets/Background.h"
#include "desktop/graph/GraphPrint.h"
#include "desktop/graph/GraphReport.h"
#include "core/app/Simulation.h"
#include "core/model/NumText.h"
#include "desktop/platform/AppIcon.h"
#include "desktop/platform/Fonts.h"
#include "desktop/platform/KeyPreview.h"
#include "desktop/platform/ModalDialog.h"
#include "desktop/platform/PictureButton.h"
#include "desktop/platform/ScaleFit.h"
#include "desktop/platform/TextFit.h"
#include "desktop/platform/TickTimer.h"
#include "desktop/scenario/LessonShelf.h"
#include "core/view/Zoom.h"
#include "desktop/scenario/frmSinario.h"
#include "desktop/settings/frmSystem.h"

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 559;
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QPoint kFieldOrigin(37, 20); // the container's place in the 100 % window
constexpr QRgb kPanel = qRgb(99, 101, 156); // the background picture's slate blue

// Sizes in pixels as at 96 dpi, so the layout does not depend on the display.
constexpr int k20pt = 27;
constexpr int k14pt = 19;
constexpr int k12pt = 16;
constexpr int kMenuFontPixels = 15;

// Drawn in code rather than from a full-window picture: nothing to decode at start-up and
// nothing held in memory, and the painter clips it to what is exposed.
class Background : public QWidget {
public:
    explicit Background(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kClientWidth, kClientHeight);
    }

    void SetZoom(int percent)
    {
        zoomed_ = percent == 100 ? QImage()
                                 : platform::ZoomImage(assets::BackgroundImage(), percent, QPoint());
        const zoom::Rect r = zoom::ScaleRect({0, 0, kClientWidth, kClientHeight}, percent);
        setFixedSize(r.width, r.height);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (zoomed_.isNull()) {
            assets::PaintBackground(p);
            return;
        }
        p.drawImage(0, 0, zoomed_);
    }

private:
    QImage zoomed_; // the background at the projector view's zoom; null at 100 %
};

// The central widget: the client area, centred on the panel colour when there is room.
class ViewStage : public QWidget {
public:
    ViewStage(QWidget* client, QWidget* parent) : QWidget(parent), client_(client)
    {
        client->setParent(this);
        setFixedSize(client->size());
    }

    void Centre()
    {
        client_->move(std::max(0, (width() - client_->width()) / 2),
                      std::max(0, (height() - client_->height()) / 2));
    }

protected:
    void resizeEvent(QResizeEvent*) override { Centre(); }
    void paintEvent(QPaintEvent*) override
    {
        // Only the margin around the client: at its own size the client covers everything.
        const QRegion margin = QRegion(rect()) - client_->geometry();
        if (margin.isEmpty()) return;
        QPainter p(this);
        p.setClipRegion(margin);
        p.fillRect(rect(), QColor::fromRgb(kPanel));
    }

private:
    QWidget* client_;
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
    platform::GiveLineRoom(*l);
    return l;
}

std::string Utf8(const QString& s) { return s.toStdString(); }

// The spinner's arrows at a zoom: the style draws them at most 8 px, so the arrow as drawn
// at 100 % is scaled without blur and shown as the button's icon.
void ZoomSpinnerArrows(QWidget* spinner, int percent)
{
    constexpr int kArrow = 8;
    for (auto* b : spinner->findChildren<QToolButton*>()) {
        const Qt::ArrowType arrow = b->objectName() == QStringLiteral("up") ? Qt::UpArrow : Qt::DownArrow;
        if (percent == 100) {
            b->setIcon(QIcon());
            b->setArrowType(arrow);
            continue;
        }
        QImage image(kArrow, kArrow, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            QStyleOption opt;
            opt.initFrom(b);
            opt.rect = image.rect();
            opt.state |= QStyle::State_Enabled;
            b->style()->drawPrimitive(arrow == Qt::UpArrow ? QStyle::PE_IndicatorArrowUp
                                                           : QStyle::PE_IndicatorArrowDown,
                                      &opt, &p, b);
        }
        const int side = zoom::Length(kArrow, percent);
        b->setArrowType(Qt::NoArrow);
        b->setIcon(QIcon(QPixmap::fromImage(platform::ZoomImage(image, percent, QPoint()))));
        b->setIconSize(QSize(side, side));
    }
}

// The liquid list's arrow at a zoom: the style draws it at one size whatever the font, so
// its button is widened and the arrow, drawn at 100 %, is scaled without blur.
class ZoomedComboStyle : public QProxyStyle {
public:
    explicit ZoomedComboStyle(int percent) : percent_(percent) {}

    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override
    {
        QRect r = QProxyStyle::subControlRect(cc, opt, sc, w);
        if (cc != CC_ComboBox || (sc != SC_ComboBoxArrow && sc != SC_ComboBoxEditField)) return r;
        const QRect arrow = QProxyStyle::subControlRect(cc, opt, SC_ComboBoxArrow, w);
        const int extra = zoom::Length(arrow.width(), percent_) - arrow.width();
        if (sc == SC_ComboBoxArrow) r.setLeft(r.left() - extra);
        else r.setRight(r.right() - extra);
        return r;
    }

    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                            const QWidget* w) const override
    {
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(opt);
        if (cc != CC_ComboBox || !combo) return QProxyStyle::drawComplexControl(cc, opt, p, w);
        // The frame and the field at the widened arrow, then the arrow scaled over it.
        QStyleOptionComboBox body = *combo;
        body.subControls &= ~SC_ComboBoxArrow;
        QProxyStyle::drawComplexControl(cc, &body, p, w);
        constexpr int kArrow = 8;
        QImage image(kArrow, kArrow, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter ip(&image);
            QStyleOption arrowOpt = *opt;
            arrowOpt.rect = image.rect();
            QProxyStyle::drawPrimitive(PE_IndicatorArrowDown, &arrowOpt, &ip, w);
        }
        const QImage zoomed = platform::ZoomImage(image, percent_, QPoint());
        const QRect place = subControlRect(cc, opt, SC_ComboBoxArrow, w);
        p->drawImage(place.center() - QPoint(zoomed.width() / 2, zoomed.height() / 2), zoomed);
    }

private:
    int percent_;
};

void ZoomComboArrow(QComboBox* combo, int percent)
{
    QStyle* old = combo->style();
    if (percent == 100) {
        combo->setStyle(nullptr);
    } else {
        auto* style = new ZoomedComboStyle(percent);
        style->setParent(combo);
        combo->setStyle(style);
    }
    if (dynamic_cast<ZoomedComboStyle*>(old) != nullptr) delete old;
}

// A text the program writes shows from its first character, as a typed one shows its end:
// a long readout keeps its leading digits, a negative temperature its sign.
void SetTextFromStart(QLineEdit& box, const QString& text)
{
    box.setText(text);
    box.setCursorPosition(0);
}

// Swallows the release of the key that chose a menu item or closed a dialog, when that
// release is the next key event: its press went to the menu, so it is no playback key of
// this window (Enter on a lesson would otherwise play its first step at once). Gone at the
// first key event of any kind.
class SwallowChoosingRelease : public QObject {
public:
    explicit SwallowChoosingRelease(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }
    ~SwallowChoosingRelease() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
        // An ignored release passes on to the parents: swallowed there too.
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (done_)
            return type == QEvent::KeyRelease && key == swallowed_ && key->key() == key_
                && key->timestamp() == time_;
        done_ = true;
        deleteLater();
        if (type != QEvent::KeyRelease) return false;
        swallowed_ = key;
        key_ = key->key();
        time_ = key->timestamp();
        return true;
    }

private:
    bool done_ = false;
    const QKeyEvent* swallowed_ = nullptr;
    int key_ = 0;
    quint64 time_ = 0;
};

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
      grphArea_(315, 334, graph::kBackground),
      graph_(grphArea_, shared.program.Graph())
{
    sinarioImg_ = {LoadImage("sinario_on.png"), LoadImage("sinario_off.png")};
    grphSwImg_ = {LoadImage("grphsw_on.png"), LoadImage("grphsw_off.png")};
    grphClsImg_ = {LoadImage("grphcls_on.png"), LoadImage("grphcls_off.png")};

    platform::InstallAccessibleInterfaces();
    auto* client = new Background(nullptr);
    setCentralWidget(MakeViewStage(client));
    BuildControls(client);
    BuildMenu();
    BuildViewMenu();
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString());
    setWindowIcon(platform::ProgramIcon()); // the dialogs, its children, show it too
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Start-up, before the window is first shown.
    shared_.program.SetClocks(clock_, framepace::SteadyMilliseconds);
    shared_.program.Start(shared_.prefs.dataBook);
    shared_.program.SetDistinctMarkers(shared_.prefs.markers);
    BuildDataBookItem();
    menu_Markers->setChecked(shared_.prefs.markers);
    ShowTitleRed(shared_.prefs.markers);
    picGrphSw->SetPicture(grphSwImg_.on);
    picGrphSw->setChecked(true);

    announceTimer_ = new QTimer(this);
    announceTimer_->setSingleShot(true);
    announceTimer_->setInterval(kAnnounceDelayMs);
    connect(announceTimer_, &QTimer::timeout, this, &frmMain::AnnounceReadout);

    openUrl_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    export_.SetStartFolder(SaveFolder());
    export_.SetFolderUsed([this](const QString& folder) { RememberSaveFolder(folder); });

    timer1_ = std::make_unique<platform::TickTimer>([this] { Timer1_Wake(); }, this);
    timer1_->SetOnStop([this] { shared_.program.StopTicking(); });
    keyPreview_ = std::make_unique<platform::KeyPreview>(
        this, [this](int key, int shift) { Form_KeyUp(key, shift); });
}

frmMain::~frmMain() = default;

void frmMain::BuildControls(QWidget* client)
{
    auto* back = fieldView_ = new platform::PictureView(client);
    back->move(kFieldOrigin);
    LayOutField(100);
    back->setAccessibleName(QStringLiteral("容器"));
    auto* grph = picGrph = new platform::DrawAreaView(grphArea_, client);
    grph->setGeometry(446, 64, grphArea_.Width(), grphArea_.Height());
    grph->setAccessibleName(QStringLiteral("蒸気圧曲線のグラフ"));
    connect(grph, &platform::DrawAreaView::stepped, this, &frmMain::StepGraphPoint);
    grphLegend = new graph::GraphLegend(grph);
    grphLegend->SetOn(shared_.prefs.legend);

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
    // Checked while playback is on, while the graph is shown: as the program says.
    picSinario->setCheckable(true);
    picGrphSw->setCheckable(true);
    connect(picSinario, &platform::PictureButton::clicked, this, &frmMain::picSinario_Click);
    connect(picGrphSw, &platform::PictureButton::clicked, this, &frmMain::picGrphSw_Click);
    connect(picGrphCls, &platform::PictureButton::clicked, this, &frmMain::picGrphCls_Click);

    // The molecules' motion, the pupil's to stop: beside the picture buttons, inside their
    // panel, as F8.
    cmdMotion = new QPushButton(client);
    cmdMotion->setGeometry(740, 17, 28, 28);
    connect(cmdMotion, &QPushButton::clicked, this, [this] { Apply(shared_.program.ToggleMotion()); });
    ShowMotion(true);

    const QColor red(255, 0, 0), grey(128, 128, 128), white(255, 255, 255), black(0, 0, 0);
    // Shadows first, so the red text lies on top.
    MakeLabel(client, QStringLiteral("温度"), 477, 430, 62, 36, k20pt, true, grey);
    redTitles_[0] = MakeLabel(client, QStringLiteral("温度"), 475, 428, 62, 36, k20pt, true, red);
    MakeLabel(client, QStringLiteral("圧力"), 478, 480, 62, 36, k20pt, true, grey);
    redTitles_[1] = MakeLabel(client, QStringLiteral("圧力"), 476, 479, 62, 36, k20pt, true, red);

    txtOndo = new QLineEdit(client);
    txtOndo->setGeometry(539, 428, 60, 36);
    txtOndo->setFont(platform::ProportionalFont(k20pt, true));
    txtOndo->setAccessibleName(QStringLiteral("温度"));
    platform::KeepTextInside(*txtOndo);
    txtOndo->installEventFilter(this); // ↑ ↓ step the temperature, as the program says
    connect(txtOndo, &QLineEdit::textChanged, this, &frmMain::txtOndo_Change);

    UpDownOndo = new UpDownSpinner(client);
    UpDownOndo->setGeometry(599, 430, 16, 33);
    connect(UpDownOndo, &UpDownSpinner::stepped, this, &frmMain::UpDownOndo_Click);

    lblTmp = MakeLabel(client, QString(), 624, 432, 41, 25, k20pt, false, black);
    lblTmp->setAccessibleName(QStringLiteral("温度の単位"));

    txtAturyoku = new QLineEdit(client);
    txtAturyoku->setGeometry(540, 475, 103, 36);
    txtAturyoku->setFont(platform::ProportionalFont(k20pt, true));
    txtAturyoku->setReadOnly(true); // a readout: typing into it would only mislead
    txtAturyoku->setAccessibleName(QStringLiteral("圧力"));
    QPalette pal = txtAturyoku->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 192));
    pal.setColor(QPalette::Text, black);
    txtAturyoku->setPalette(pal);
    platform::KeepTextInside(*txtAturyoku);

    lblPress = MakeLabel(client, QString(), 648, 480, 97, 33, k20pt, false, black);
    lblPress->setAccessibleName(QStringLiteral("圧力の単位"));

    // Under the readout, while the data-book values are in use: the class sees which.
    lblDataBook = MakeLabel(client, QStringLiteral("文献値で計算中"), 540, 516, 200, 20, k12pt, true,
                            QColor(0, 0, 160));
    lblDataBook->setAccessibleName(QStringLiteral("蒸気圧の値"));
    lblDataBook->setVisible(shared_.prefs.dataBook);

    // Under the graph, while playback is on: the class sees where the lesson stands.
    lblStep = MakeLabel(client, QString(), 446, 401, 315, 24, k14pt, true, white);
    lblStep->setAccessibleName(QStringLiteral("再生の位置"));
    lblStep->setVisible(false);

    cmbLiquid = new QComboBox(client);
    cmbLiquid->setGeometry(40, 500, 173, 27);
    cmbLiquid->setFont(platform::ProportionalFont(k14pt, true));
    cmbLiquid->addItems({QStringLiteral("水"), QStringLiteral("エタノール"),
                         QStringLiteral("ジエチルエーテル")});
    cmbLiquid->setAccessibleName(QStringLiteral("物質"));
    platform::KeepItemsInside(*cmbLiquid);
    // During playback Space runs the next step here too, instead of opening the list.
    new platform::KeyPressGuard(cmbLiquid, [this](int keyCode) {
        return keyCode == 32 && shared_.program.State().sinarioRun == 1;
    });
    // A new selection is taken up by the next frame, which a resting timer must then draw.
    connect(cmbLiquid, &QComboBox::currentIndexChanged, this,
            [this](int index) { Apply(shared_.program.SelectLiquid(index)); });

    lblMol = MakeLabel(client, QString(), 240, 504, 65, 17, k12pt, true, white);
    lblMol->setAccessibleName(QStringLiteral("物質量"));
    lblVal = MakeLabel(client, QString(), 320, 504, 81, 17, k12pt, true, white);
    lblVal->setAccessibleName(QStringLiteral("容器の体積"));

    // The temperature comes first when tabbing, then the selector, the readout, the buttons
    // from left to right, and the graph they act on.
    setTabOrder(txtOndo, cmbLiquid);
    setTabOrder(cmbLiquid, txtAturyoku);
    setTabOrder(txtAturyoku, picSinario);
    setTabOrder(picSinario, picGrphSw);
    setTabOrder(picGrphSw, picGrphCls);
    txtOndo->setFocus();
}

void frmMain::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    menu_Init = file->addAction(QStringLiteral("初期設定(&I)"), this, &frmMain::menu_Init_Click);
    menu_Sinario = file->addAction(QStringLiteral("シナリオ設定(&S)"), this, &frmMain::menu_Sinario_Click);
    BuildLessonMenu(file);
    menu_Reset = file->addAction(QStringLiteral("最初に戻す(&B)"), this, &frmMain::menu_Reset_Click);
    menu_Reset->setShortcut(QKeySequence(Qt::Key_F9)); // a key the temperature box does not take for itself
    BuildExportMenu(file);
    menu_Print = file->addAction(QStringLiteral("印刷(&P)..."), this, &frmMain::menu_Print_Click);
    menu_Print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator();
    menu_end = file->addAction(QStringLiteral("終了(&X)"), this, &frmMain::menu_end_Click);
    menu_View = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    menu_Keys = help->addAction(QStringLiteral("キー操作(&K)"), this, &frmMain::menu_Keys_Click);
    menu_Keys->setShortcut(QKeySequence(Qt::Key_F1));
    menu_Guide = help->addAction(QStringLiteral("使い方(&U)"), this, &frmMain::menu_Guide_Click);
    menu_search = help->addAction(QStringLiteral("検索(&H)"), this, &frmMain::menu_search_Click);
    menu_ver = help->addAction(QStringLiteral("バージョン情報(&A)"), this, &frmMain::menu_ver_Click);
    menuBar()->setFont(platform::ProportionalFont(kMenuFontPixels));
}

void frmMain::BuildExportMenu(QMenu* file)
{
    file->addSeparator();
    menu_GrphCopy = file->addAction(QStringLiteral("グラフを画像としてコピー(&C)"), this,
                                    &frmMain::menu_GrphCopy_Click);
    menu_GrphSave = file->addAction(QStringLiteral("グラフを画像で保存(&G)..."), this,
                                    &frmMain::menu_GrphSave_Click);
    menu_CsvSave = file->addAction(QStringLiteral("測定点を CSV で保存(&D)..."), this,
                                   &frmMain::menu_CsvSave_Click);
    // Off: the points typed through on the way to the number meant (2 on the way to 20)
    // stay on the panel but out of the picture and the table.
    menu_TypedThrough = file->addAction(QStringLiteral("入力途中の点も書き出す(&A)"));
    menu_TypedThrough->setCheckable(true);
    connect(menu_TypedThrough, &QAction::toggled, this,
            [this](bool on) { shared_.program.Graph().SetIncludeTypedThrough(on); });
    file->addSeparator();

    grphMenu = new QMenu(this);
    grphMenu->addActions({menu_GrphCopy, menu_GrphSave, menu_CsvSave, menu_TypedThrough});
    // Right click, and the menu key once the graph has the focus (last in the tab order).
    picGrph->setFocusPolicy(Qt::TabFocus);
    setTabOrder(picGrphCls, picGrph);
    setTabOrder(picGrph, cmdMotion);
    picGrph->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(picGrph, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        if (!picGrph->rect().contains(pos)) pos = picGrph->rect().center();
        grphMenu->popup(picGrph->mapToGlobal(pos));
    });
}

QImage frmMain::GraphReportImage() const
{
    // The grid the panel shows; the current settings when it shows none.
    return graph::ReportImage(graph_.Points(), graph_.GridSettings().value_or(shared_.program.Settings()),
                              shared_.program.DistinctMarkers());
}

void frmMain::menu_GrphCopy_Click()
{
    graph::GraphExport::CopyImage(GraphReportImage());
}

void frmMain::menu_GrphSave_Click()
{
    export_.SaveImage(this, GraphReportImage());
}

void frmMain::menu_CsvSave_Click()
{
    const std::string csv = shared_.program.PointsCsv();
    export_.SaveCsv(this, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
}

void frmMain::BuildDataBookItem()
{
    menu_View->addSeparator();
    // The key is the program's, taken on its release like the playback keys: the item only
    // shows it, after a tab, where a shortcut would show.
    menu_Motion = menu_View->addAction(QStringLiteral("分子の動きを止める(&M)\tF8"));
    menu_Motion->setCheckable(true);
    connect(menu_Motion, &QAction::triggered, this, [this](bool stop) { Apply(shared_.program.SetMotion(!stop)); });
    menu_DataBook = menu_View->addAction(QStringLiteral("文献値で計算する(&R)"));
    menu_DataBook->setCheckable(true);
    menu_DataBook->setChecked(shared_.prefs.dataBook);
    connect(menu_DataBook, &QAction::triggered, this, &frmMain::menu_DataBook_Click);
    menu_View->addSeparator();
    menu_Legend = menu_View->addAction(QStringLiteral("凡例を表示(&L)"));
    menu_Legend->setCheckable(true);
    menu_Legend->setChecked(shared_.prefs.legend);
    connect(menu_Legend, &QAction::triggered, this, [this](bool on) {
        shared_.prefs.legend = on;
        if (on) grphLegend->SetItems(shared_.program.PanelLegend());
        grphLegend->SetOn(on);
        SaveUserPrefs();
    });
    menu_Markers = menu_View->addAction(QStringLiteral("点を形でも区別する(&K)\tF2"));
    menu_Markers->setCheckable(true);
    connect(menu_Markers, &QAction::triggered, this, [this](bool on) { Apply(shared_.program.SetDistinctMarkers(on)); });
}

void frmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (activatedOnce_) return;
    activatedOnce_ = true;
    if (QWindow* handle = windowHandle())
        connect(handle, &QWindow::screenChanged, this, &frmMain::FollowScreen);
    PlaceOnScreen();
    Form_Activate();
    StartTimer();
}

void frmMain::Form_Activate()
{
    app::Program& program = shared_.program;
    setWindowTitle(QString::fromStdString(program.Caption()));
    SystemSettings s{};
    const unsigned replaced = mdlSystem::LoadSystemSettings(s, shared_.location);
    Apply(program.Activate(s, replaced));
    update();
}

void frmMain::Apply(int changed)
{
    const app::Program& program = shared_.program;
    if (changed & app::kTemperature) {
        const QString text = QString::fromStdString(program.TemperatureText());
        const QScopedValueRollback<bool> fromCode(ondoFromCode_, true);
        // The same temperature again still shows from its start.
        if (txtOndo->text() == text) txtOndo->setCursorPosition(0);
        else SetTextFromStart(*txtOndo, text);
    }
    if (changed & app::kReadout) SetTextFromStart(*txtAturyoku, QString::fromStdString(program.ReadoutText()));
    if (changed & (app::kReadout | app::kTemperature | app::kSettings)) MarkTemperature(program.TemperatureRefused());
    if (changed & app::kGraph) {
        graph_.Paint();
        graphPoint_.reset(); // the points may have gone: the next step starts at an end
    }
    if (changed & app::kGraphShown) {
        picGrphSw->SetPicture(program.GraphShown() ? grphSwImg_.on : grphSwImg_.off);
        picGrphSw->setChecked(program.GraphShown());
    }
    if (changed & app::kNotice) {
        // After the event that raised it: a modal box inside an activation would re-enter it.
        QTimer::singleShot(0, this, [this, text = QString::fromStdString(shared_.program.TakeNotice())] {
            if (!text.isEmpty() && showNotice) showNotice(this, mdlCommon::kProgramCaption, text);
        });
    }
    if (changed & app::kPlayback) {
        picSinario->SetPicture(program.PlaybackOn() ? sinarioImg_.on : sinarioImg_.off);
        picSinario->setChecked(program.PlaybackOn());
        const QString step = QString::fromStdString(program.PlaybackText());
        lblStep->setText(step);
        lblStep->setAccessibleName(QStringLiteral("再生の位置 ") + step); // hidden while empty
        lblStep->setVisible(!step.isEmpty());
    }
    if (changed & app::kLiquid && cmbLiquid->currentIndex() != program.SelectedLiquid())
        cmbLiquid->setCurrentIndex(program.SelectedLiquid());
    if (changed & app::kSettings) ShowUnitLabels();
    if (changed & app::kValuesKind) lblDataBook->setVisible(program.DataBook());
    if (changed & app::kMotion) {
        menu_Motion->setChecked(!program.MotionOn());
        ShowMotion(program.MotionOn());
    }
    if (changed & app::kMarkers) {
        menu_Markers->setChecked(program.DistinctMarkers());
        ShowTitleRed(program.DistinctMarkers());
        if (shared_.prefs.markers != program.DistinctMarkers()) {
            shared_.prefs.markers = program.DistinctMarkers();
            SaveUserPrefs();
        }
    }
    // Listed only while shown: the list walks every point, and a ramp plots on each frame.
    if (changed & app::kGraph && grphLegend->On()) grphLegend->SetItems(program.PanelLegend());
    if (changed & app::kField) {
        PaintField();
        DescribeField();
    }
    if (changed & (app::kReadout | app::kTemperature | app::kSettings)) announceTimer_->start();
    Replan();
}

// The button says what a press does, as the browser's does.
void frmMain::ShowMotion(bool moving)
{
    // Pause bars while they move, a play triangle while they stand: drawn, as no font is
    // sure to hold the symbols.
    QPixmap icon(16, 16);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        if (moving) {
            p.drawRect(3, 2, 4, 12);
            p.drawRect(9, 2, 4, 12);
        } else {
            p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(14, 8), QPoint(4, 14)}));
        }
    }
    cmdMotion->setIcon(QIcon(icon));
    cmdMotion->setProperty("moving", moving);
    cmdMotion->setToolTip((moving ? QStringLiteral("分子の動きを止める") : QStringLiteral("分子を動かす")) + QStringLiteral(" (F8)"));
    cmdMotion->setAccessibleName(moving ? QStringLiteral("分子の動きを止める") : QStringLiteral("分子を動かす"));
}

// The red 温度 and 圧力: with the colour-vision choice a shade darker, 3 : 1 and more against
// the panel's light texture, as the browser always draws them.
void frmMain::ShowTitleRed(bool darker)
{
    for (QLabel* l : redTitles_) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, darker ? QColor(210, 0, 0) : QColor(255, 0, 0));
        l->setPalette(pal);
    }
}

// Text that is no temperature stands out, and says why to a screen reader.
void frmMain::MarkTemperature(bool refused)
{
    if (refused == ondoMarked_) return;
    ondoMarked_ = refused;
    QPalette pal = txtOndo->palette();
    pal.setColor(QPalette::Base, refused ? QColor(255, 214, 214) : QApplication::palette(txtOndo).color(QPalette::Base));
    txtOndo->setPalette(pal);
    txtOndo->setToolTip(refused ? QStringLiteral("温度として読めません（数字で、絶対零度より上の温度を入れてください）") : QString());
    txtOndo->setAccessibleDescription(txtOndo->toolTip());
}

void frmMain::ShowUnitLabels()
{
    const simulation::UnitLabels l = shared_.program.Labels();
    // Each label says what it is with what it shows: "物質量 1mol".
    const auto show = [](QLabel* label, const QString& what, const std::string& text) {
        label->setText(QString::fromStdString(text));
        label->setAccessibleName(what + QLatin1Char(' ') + label->text());
    };
    show(lblTmp, QStringLiteral("温度の単位"), l.temperature);
    show(lblPress, QStringLiteral("圧力の単位"), l.pressure);
    show(lblMol, QStringLiteral("物質量"), l.mol);
    show(lblVal, QStringLiteral("容器の体積"), l.container);
}

void frmMain::AnnounceReadout()
{
    // Qt 6.4 has no announcement: the sentence becomes the readout's description, and
    // assistive technology is told that it changed.
    const QString said = QString::fromStdString(shared_.program.Announcement());
    platform::Describe(*txtAturyoku, said);
    // A screen reader speaks a description change of the control in focus: the box being
    // typed in says it too, unless it is saying why its text is refused.
    if (txtOndo->hasFocus() && !ondoMarked_) platform::Describe(*txtOndo, said);
}

void frmMain::DescribeField()
{
    platform::Describe(*fieldView_, QString::fromStdString(shared_.program.FieldDescription()));
}

void frmMain::StepGraphPoint(platform::DrawAreaView::Step step)
{
    const std::size_t count = shared_.program.PointCount();
    if (count == 0) {
        graphPoint_.reset();
        platform::Describe(*picGrph, QString()); // no point is left to name
        return;
    }
    using Step = platform::DrawAreaView::Step;
    // From no point, ← starts at the newest and → at the oldest; both stop at the ends.
    const bool onOne = graphPoint_ && *graphPoint_ < count;
    std::size_t at = 0;
    switch (step) {
    case Step::First: at = 0; break;
    case Step::Last: at = count - 1; break;
    case Step::Previous: at = !onOne ? count - 1 : *graphPoint_ - (*graphPoint_ > 0 ? 1 : 0); break;
    case Step::Next: at = !onOne ? 0 : std::min(*graphPoint_ + 1, count - 1); break;
    }
    graphPoint_ = at;
    platform::Describe(*picGrph, QString::fromStdString(shared_.program.PointText(at)));
}

void frmMain::txtOndo_Change()
{
    if (ondoFromCode_) return; // the program wrote it, and has acted on it
    Apply(shared_.program.TemperatureTyped(Utf8(txtOndo->text())) | app::kReadout);
}

void frmMain::StartTimer()
{
    timer1_->Start();
    shared_.program.StartTicking();
    Replan();
}

void frmMain::Replan()
{
    if (inWake_ || !timer1_ || !timer1_->IsEnabled()) return; // a frame plans after itself
    if (!shared_.program.TakeReplanned()) return;
    if (const auto ms = shared_.program.PlannedWake())
        timer1_->WakeIn(*ms);
    else
        timer1_->Sleep();
}

void frmMain::Timer1_Wake()
{
    inWake_ = true;
    Apply(shared_.program.RunFrame());
    inWake_ = false;
    shared_.program.TakeReplanned();
    if (const auto ms = shared_.program.PlannedWake())
        timer1_->WakeIn(*ms);
    else
        timer1_->Sleep();
}

void frmMain::UpDownOndo_Click(int direction)
{
    Apply(shared_.program.Spin(direction));
}

void frmMain::Timer1_Timer()
{
    Apply(shared_.program.Tick());
}

void frmMain::PaintField()
{
    shared_.program.FieldPixels(); // drawn now, in place: the view shows its pixels
    fieldView_->update();
}

void frmMain::LayOutField(int percent)
{
    app::Program& program = shared_.program;
    program.SetFieldLayout(percent, kFieldOrigin.x(), kFieldOrigin.y(), render::FieldPicture::Order::Bgra);
    const render::FieldPicture& f = program.FieldPixels();
    // 0xAARRGGBB words: the program's BGRA bytes as they lie.
    fieldView_->SetPicture(QImage(f.Bytes(), f.Width(), f.Height(), qsizetype{f.Width()} * 4, QImage::Format_RGB32));
}

void frmMain::Form_KeyUp(int keyCode, int /*shift*/)
{
    Apply(shared_.program.KeyUp(keyCode));
}

void frmMain::menu_Keys_Click()
{
    frmKeys dialog(shared_.program.KeyHelp(), [this] { menu_Guide_Click(); }, this);
    // Not through ShowDialog: reading the keys must not erase the points.
    platform::RunModal(dialog, *this, nullptr);
}

void frmMain::picSinario_Click()
{
    Apply(shared_.program.TogglePlayback());
}

void frmMain::RunSinarioStep()
{
    Apply(shared_.program.KeyUp(40));
}

void frmMain::menu_Reset_Click()
{
    Apply(shared_.program.Reset());
}

void frmMain::picGrphSw_Click()
{
    Apply(shared_.program.GraphSwitch());
}

void frmMain::picGrphCls_Click()
{
    picGrphCls->SetPicture(grphClsImg_.on);
    repaint();
    Apply(shared_.program.GraphClear());
    picGrphCls->SetPicture(grphClsImg_.off);
    repaint();
}

void frmMain::ShowDialog(QDialog& dialog)
{
    platform::RunModal(dialog, *this, [this] { Form_Activate(); });
}

void frmMain::menu_Init_Click()
{
    // The dialog saves CONFIG.INI; the activation after it takes the settings from there.
    SystemSettings settings = shared_.program.Settings();
    frmSystem dialog(settings, shared_.location, this);
    ShowDialog(dialog);
}

void frmMain::menu_Sinario_Click()
{
    frmSinario dialog(shared_.program.EditSinario(), shared_.program.Settings(), this);
    // Loading and saving open in the folder last saved to; a save there is remembered.
    dialog.SetPathChooser([this](QWidget* parent, frmSinario::FileDialogMode mode) {
        const QString path = frmSinario::ChoosePathWithDialog(parent, mode, SaveFolder());
        if (!path.isEmpty() && mode == frmSinario::FileDialogMode::Save)
            RememberSaveFolder(QFileInfo(path).absolutePath());
        return path;
    });
    ShowDialog(dialog);
    if (dialog.Loaded()) {
        Apply(shared_.program.ScenarioLoaded());
        new SwallowChoosingRelease(this);
    }
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

// ---------------------------------------------------------------------- sample lessons

void frmMain::BuildLessonMenu(QMenu* file)
{
    menu_Lessons = file->addMenu(QStringLiteral("サンプルシナリオ(&L)"));
    FillLessonMenu();
    // Read afresh at each opening, so that files a school adds show without a restart.
    connect(menu_Lessons, &QMenu::aboutToShow, this, &frmMain::FillLessonMenu);
}

void frmMain::FillLessonMenu()
{
    menu_Lessons->clear();
    // Reused while the folder has not changed, so opening the menu reads no file.
    lessonListing_ = lessonshelf::RefreshLessons(
        lessonshelf::FindLessonFolder(shared_.location.programDir), lessonListing_);
    const auto& entries = lessonListing_.entries;
    if (entries.empty()) {
        menu_Lessons->addAction(QStringLiteral("（見つかりません）"))->setEnabled(false);
        return;
    }
    for (const lessonshelf::LessonEntry& e : entries) {
        const QString path = e.path;
        menu_Lessons->addAction(lessonshelf::MenuText(e.title), this,
                                [this, path] { menu_Lesson_Click(path); });
    }
}

void frmMain::menu_Lesson_Click(const QString& path)
{
    QString reason;
    if (!lessonshelf::LoadLesson(shared_.program.EditSinario(), path, &reason)) {
        mdlCommon::ShowWarning(this, mdlCommon::kProgramCaption, reason);
        return;
    }
    Apply(shared_.program.ScenarioLoaded());
    new SwallowChoosingRelease(this);
    // What follows the editor's load when it closes: the new title in the caption, the
    // settings from the file and a clean graph.
    Form_Activate();
}

// ---- Projector view ----

QWidget* frmMain::MakeViewStage(QWidget* client)
{
    client_ = client;
    stage_ = new ViewStage(client, this);
    return stage_;
}

void frmMain::BuildViewMenu()
{
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    for (std::size_t i = 0; i < std::size(zoom::kChoices); ++i) {
        const int percent = zoom::kChoices[i];
        QAction* a = menu_View->addAction(QStringLiteral("%1%").arg(percent));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, percent] { SetViewZoom(percent); });
        menu_Zoom[i] = a;
    }
    menu_View->addSeparator();
    menu_FullScreen = menu_View->addAction(QStringLiteral("全画面表示"));
    menu_FullScreen->setCheckable(true);
    menu_FullScreen->setShortcut(QKeySequence(Qt::Key_F11));
    connect(menu_FullScreen, &QAction::triggered, this, &frmMain::SetFullScreenView);

    // Esc leaves full screen; a dialog that is open keeps its own Esc.
    leaveFullScreen_ = new QAction(this);
    leaveFullScreen_->setShortcut(QKeySequence(Qt::Key_Escape));
    leaveFullScreen_->setEnabled(false);
    addAction(leaveFullScreen_);
    connect(leaveFullScreen_, &QAction::triggered, this, [this] {
        // Esc that closes the liquid list's popup (or a menu) is that popup's alone.
        if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget() && !popupTookEsc_)
            SetFullScreenView(false);
    });

    // The liquid list's popup closes on Esc before the key reaches the window's shortcuts;
    // mark that Esc as taken for the rest of its delivery.
    cmbLiquid->view()->installEventFilter(this);

    // Only the zooms whose window fits the screen are offered; the reason shows on the others.
    menu_View->setToolTipsVisible(true);
    connect(menu_View, &QMenu::aboutToShow, this, &frmMain::UpdateZoomMenu);
    menuBarDesign_ = menuBar()->sizeHint().height();
    windowZoom_ = zoom::FallbackZoom(shared_.prefs.zoomPercent, AvailableSpace(),
                                     {kClientWidth, kClientHeight}, ViewChrome());
    ApplyZoom(windowZoom_);
    UpdateZoomMenu();
}

zoom::Size frmMain::AvailableSpace() const
{
    const QScreen* s = screen();
    if (!s) return {std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
    const QRect avail = s->availableGeometry();
    return {avail.width(), avail.height()};
}

std::optional<double> frmMain::ScaleThatFits() const
{
    const QScreen* s = screen();
    if (!s) return std::nullopt;
    const qreal ratio = s->devicePixelRatio();
    const QSize device = s->availableGeometry().size() * ratio;
    return platform::FittingScale(ratio, {device.width(), device.height()}, {kClientWidth, kClientHeight},
                                  menuBarDesign_);
}

zoom::Chrome frmMain::ViewChrome() const
{
    // The window manager's frame is known once the window is shown; none before.
    const QRect outer = frameGeometry(), inner = geometry();
    return {menuBarDesign_, {std::max(0, outer.width() - inner.width()), std::max(0, outer.height() - inner.height())}};
}

void frmMain::UpdateZoomMenu()
{
    const zoom::Size space = AvailableSpace();
    const zoom::Chrome chrome = ViewChrome();
    for (std::size_t i = 0; i < std::size(zoom::kChoices); ++i) {
        const int percent = zoom::kChoices[i];
        const bool fits = zoom::Fits(percent, space, {kClientWidth, kClientHeight}, chrome);
        menu_Zoom[i]->setEnabled(fits);
        menu_Zoom[i]->setChecked(percent == windowZoom_);
        const zoom::Size need = zoom::WindowSize(percent, {kClientWidth, kClientHeight}, chrome);
        menu_Zoom[i]->setToolTip(
            fits ? QString()
                 : QStringLiteral("この画面には収まりません（%1 × %2 が必要、使える広さは %3 × %4）")
                       .arg(need.width).arg(need.height).arg(space.width).arg(space.height));
    }
}

void frmMain::ApplyZoom(int percent)
{
    if (!zoom::IsZoom(percent)) percent = 100;
    for (std::size_t i = 0; i < std::size(zoom::kChoices); ++i)
        menu_Zoom[i]->setChecked(zoom::kChoices[i] == windowZoom_);
    if (percent == viewZoom_) return;
    if (design_.empty()) { // still at 100 %: remember the layout
        for (QWidget* w : client_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            design_.push_back({w, w->geometry(), w->font().pixelSize() > 0 ? w->font().pixelSize() : 0});
    }
    viewZoom_ = percent;
    for (const DesignPlace& d : design_) {
        const zoom::Rect r =
            zoom::ScaleRect({d.rect.x(), d.rect.y(), d.rect.width(), d.rect.height()}, percent);
        if (d.widget == fieldView_) {
            LayOutField(percent);
            fieldView_->move(r.x, r.y);
        } else if (auto* view = qobject_cast<platform::DrawAreaView*>(d.widget)) {
            view->SetZoom(percent, d.rect.topLeft());
            if (view == picGrph) grphLegend->SetZoom(percent);
            view->move(r.x, r.y);
        } else if (auto* button = qobject_cast<platform::PictureButton*>(d.widget)) {
            button->SetZoom(percent, d.rect.topLeft());
            button->move(r.x, r.y);
        } else {
            d.widget->setGeometry(r.x, r.y, r.width, r.height);
            if (d.fontPixels > 0) {
                QFont f = d.widget->font();
                f.setPixelSize(zoom::FontPixels(d.fontPixels, percent));
                d.widget->setFont(f);
            }
        }
    }
    ZoomSpinnerArrows(UpDownOndo, percent);
    ZoomComboArrow(cmbLiquid, percent);
    menuBar()->setFont(platform::ProportionalFont(zoom::FontPixels(kMenuFontPixels, percent)));
    static_cast<Background*>(client_)->SetZoom(percent);
    if (!fullScreenView_) stage_->setFixedSize(client_->size());
    static_cast<ViewStage*>(stage_)->Centre();
}

void frmMain::SetViewZoom(int percent)
{
    if (!zoom::IsChoice(percent)) return;
    shared_.prefs.zoomPercent = percent;
    windowZoom_ = percent;
    SaveUserPrefs();
    ApplyZoom(fullScreenView_ ? viewZoom_ : percent);
    if (!fullScreenView_) PlaceOnScreen();
}

void frmMain::SetFullScreenView(bool on)
{
    menu_FullScreen->setChecked(on);
    if (on == fullScreenView_) return;
    fullScreenView_ = on;
    leaveFullScreen_->setEnabled(on);
    if (on) {
        layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        for (QWidget* w : {static_cast<QWidget*>(this), stage_}) {
            w->setMinimumSize(0, 0);
            w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        }
        const QRect screen = this->screen() ? this->screen()->geometry() : QRect(0, 0, 0, 0);
        ApplyZoom(zoom::FullScreenZoom({screen.width(), screen.height()}, {kClientWidth, kClientHeight},
                                       menuBarDesign_));
        showFullScreen();
        // Without a window manager nobody else makes the window cover the screen. Not at
        // once: a window manager takes a move made while it grants full screen as the end
        // of it.
        QTimer::singleShot(300, this, [this] {
            QScreen* s = this->screen();
            if (fullScreenView_ && s && geometry() != s->geometry()) setGeometry(s->geometry());
        });
    } else {
        showNormal();
        ApplyZoom(windowZoom_);
        stage_->setFixedSize(client_->size());
        layout()->setSizeConstraint(QLayout::SetFixedSize);
        PlaceOnScreen();
    }
}

// Moved to another screen (or the projector plugged in and out): the view is fitted anew,
// to the remembered zoom where it fits there.
void frmMain::FollowScreen()
{
    if (fullScreenView_) {
        if (const QScreen* s = screen())
            ApplyZoom(zoom::FullScreenZoom({s->geometry().width(), s->geometry().height()},
                                           {kClientWidth, kClientHeight}, menuBarDesign_));
        return;
    }
    const int fit = zoom::FallbackZoom(shared_.prefs.zoomPercent, AvailableSpace(),
                                       {kClientWidth, kClientHeight}, ViewChrome());
    if (fit != windowZoom_) {
        windowZoom_ = fit;
        ApplyZoom(fit);
        PlaceOnScreen();
    }
    UpdateZoomMenu();
}

bool frmMain::KeyReleasePending() const
{
    return keyPreview_ && keyPreview_->Pending();
}

void frmMain::PlaceOnScreen()
{
    QScreen* screen = this->screen();
    if (!screen || fullScreenView_) return;
    if (layout()) layout()->activate();
    const QRect avail = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    // Centred; a window larger than the screen keeps its title bar on it.
    QPoint at = avail.center() - QPoint(size.width() / 2, size.height() / 2);
    at.setX(std::max(at.x(), avail.left()));
    at.setY(std::max(at.y(), avail.top()));
    move(at);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtOndo && event->type() == QEvent::KeyPress) {
        const int changed = shared_.program.KeyDown(platform::WindowsKeyCode(static_cast<QKeyEvent*>(event)->key()));
        if (changed != 0) {
            Apply(changed);
            return true;
        }
    }
    if (watched == cmbLiquid->view() && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !popupTookEsc_) {
        popupTookEsc_ = true;
        QTimer::singleShot(0, this, [this] { popupTookEsc_ = false; });
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The window manager may end full screen by itself: follow it.
    if (event->type() == QEvent::WindowStateChange && fullScreenView_
        && !(windowState() & Qt::WindowFullScreen))
        SetFullScreenView(false);
}

void frmMain::menu_DataBook_Click(bool checked)
{
    shared_.prefs.dataBook = checked;
    Apply(shared_.program.SetDataBook(checked));
    SaveUserPrefs();
}

void frmMain::SaveUserPrefs()
{
    // A choice that cannot be saved still holds for this run; the file keeps the old one.
    if (shared_.prefsPath.isEmpty()) return; // no configuration folder: kept for this run only
    QString error;
    if (!userprefs::SaveUserPrefs(shared_.prefs, shared_.prefsPath, &error)) {
        QMessageBox box(QMessageBox::Warning, mdlCommon::kProgramCaption,
                        QStringLiteral("この選択を保存できませんでした（次回の起動では元に戻ります）。\n")
                            + shared_.prefsPath + QStringLiteral("\n") + error,
                        QMessageBox::Ok, this);
        box.exec();
    }
}

// ---- Printing, the guide, the folder of the save dialogs ----

void frmMain::menu_Print_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    graph::PreparePrinter(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    // Not through ShowDialog: closing it must not erase the points about to be printed.
    if (dialog.exec() != QDialog::Accepted) return;
    PrintResults(printer);
}

bool frmMain::PrintResults(QPrinter& printer)
{
    if (graph::PrintReport(printer, mdlSinario::TitleText(shared_.program.Sinario()), GraphReportImage(), graph_.Points()))
        return true;
    QMessageBox box(QMessageBox::Warning, mdlCommon::kProgramCaption,
                    QStringLiteral("印刷できませんでした。プリンターか出力先のファイルを確かめてください。"),
                    QMessageBox::Ok, this);
    box.exec();
    return false;
}

QString frmMain::GuidePath(const QString& programDir)
{
    if (programDir.isEmpty()) return {};
    // Installed: <prefix>/bin/vaporia and <prefix>/share/vaporia/guide; in the build folder,
    // guide/ beside the program.
    for (const QString& candidate : {programDir + QStringLiteral("/../share/vaporia/guide/index.html"),
                                     programDir + QStringLiteral("/guide/index.html")}) {
        const QFileInfo info(candidate);
        if (info.isFile()) return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

void frmMain::menu_Guide_Click()
{
    const QString path = GuidePath(shared_.location.programDir);
    if (!path.isEmpty() && openUrl_ && openUrl_(QUrl::fromLocalFile(path))) return;
    QMessageBox box(QMessageBox::Warning, mdlCommon::kProgramCaption,
                    path.isEmpty() ? QStringLiteral("使い方のページが見つかりませんでした。")
                                   : QStringLiteral("使い方のページを開けませんでした。\n%1")
                                         .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, this);
    box.exec();
}

QString frmMain::SaveFolder() const
{
    const QString folder = QString::fromStdString(shared_.prefs.saveFolder);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void frmMain::RememberSaveFolder(const QString& folder)
{
    const std::string utf8 = folder.toStdString();
    export_.SetStartFolder(folder);
    if (utf8 == shared_.prefs.saveFolder) return;
    shared_.prefs.saveFolder = utf8;
    SaveUserPrefs();
}
