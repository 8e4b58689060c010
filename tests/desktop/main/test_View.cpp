// The projector view on a 1920 × 1200 screen (the main window at 150 % and 200 %, and full
// screen) and on a 1024 × 768 projector (only what fits is offered; full screen fills it).
// Its own main gives the offscreen screen the size --screen=WxH names; each test
// runs on the screen it is written for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QAbstractItemView>
#include <QComboBox>
#include <map>

#include "desktop/about/frmAbout.h"
#include "assets/Background.h"
#include "assets/assets.h"
#include "core/app/Simulation.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/DrawArea.h"
#include "desktop/platform/TickTimer.h"
#include "core/render/FieldPicture.h"
#include "core/view/Zoom.h"

namespace {

constexpr QRgb kRed = 0xFFFF0000, kBlack = 0xFF000000, kPanel = 0xFF63659C;

int S(int v, int percent) { return zoom::Scale(v, percent); }

QRect InkOf(const QImage& image, const QRect& within, const std::function<bool(QRgb)>& ink)
{
    QRect found;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (ink(image.pixel(x, y))) found |= QRect(x, y, 1, 1);
    return found;
}

QSize screenSize{1920, 1200}; // from --screen=WxH

QSize ScreenSize() { return screenSize; }

// The molecule as the program scales it once for a zoom: every molecule shows this.
QImage ScaledSprite(int percent)
{
    render::FieldPicture picture;
    picture.SetLayout(percent, 37, 20, render::FieldPicture::Order::Bgra);
    const int side = picture.SpriteSide();
    return QImage(reinterpret_cast<const uchar*>(picture.ScaledSprite().data()), side, side, side * 4,
                  QImage::Format_RGB32)
        .copy();
}

#define ON_SCREEN(w, h) \
    if (ScreenSize() != QSize(w, h)) GTEST_SKIP() << "written for a " #w " × " #h " screen"

struct ProjectorView : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<SharedRecords> shared = std::make_unique<SharedRecords>();
    std::unique_ptr<frmMain> w;

    void SetUp() override { InitVaporiaAssets(); }

    void Open(int remembered)
    {
        ASSERT_TRUE(dir.isValid());
        shared->location = {dir.path(), QString()}; // no CONFIG.INI: the defaults
        shared->prefs.zoomPercent = remembered;
        shared->prefsPath = dir.filePath(QStringLiteral("config/vaporia/vaporia.conf"));
        w = std::make_unique<frmMain>(*shared, [] { return 43200.25f; });
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        w->Timer().Stop();
    }
    // Only the molecules at these places, the others off the field; shown as a frame would.
    void PlaceMolecules(std::initializer_list<QPoint> places)
    {
        mdlSprite::MolField& field = shared->program.EditField();
        for (auto& row : field.cells)
            for (auto& cell : row) cell.x = cell.y = -1000;
        int n = 1;
        for (QPoint p : places) {
            field.cells[1][n].x = p.x();
            field.cells[1][n++].y = p.y();
        }
        w->PaintField();
    }
    QImage Client() const
    {
        QImage image = w->ClientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        return image;
    }
    // A point of the 100 % layout, in the window at the current zoom.
    QPoint At(int x, int y) const
    {
        return w->ClientArea()->mapTo(w.get(), QPoint(S(x, w->ViewZoom()), S(y, w->ViewZoom())));
    }
    void Click(int x, int y) { QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, At(x, y)); }
    void Key(int key, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(w->windowHandle(), static_cast<Qt::Key>(key), mods);
    }
};

} // namespace

TEST_F(ProjectorView, ZoomScalesPicturesOnOneGridAndDrawsTextFromTheFont)
{
    ON_SCREEN(1920, 1200);
    Open(100);
    const auto dark = [](QRgb c) { return qGray(c) < 100; };
    const QRect unitAt100(648, 480, 97, 33); // lblPress, "mmHg"
    const QRect inkAt100 = InkOf(Client(), unitAt100, dark);
    ASSERT_FALSE(inkAt100.isEmpty());
    const QImage background = assets::BackgroundImage().convertToFormat(QImage::Format_RGB32);
    const QImage sprite = QImage(QStringLiteral(":/img/molecule.png")).convertToFormat(QImage::Format_RGB32);

    for (int i : {1, 2}) {
        const int p = zoom::kChoices[i];
        w->menu_Zoom[i]->trigger();
        QApplication::processEvents();
        ASSERT_EQ(w->ViewZoom(), p);
        EXPECT_TRUE(w->menu_Zoom[i]->isChecked());
        EXPECT_EQ(userprefs::LoadUserPrefs(shared->prefsPath).zoomPercent, p) << "remembered";

        // The window: the whole client area at the zoom, the menu bar above it.
        const QSize client(S(800, p), S(559, p));
        EXPECT_EQ(w->ClientArea()->size(), client);
        EXPECT_EQ(w->centralWidget()->size(), client);
        EXPECT_EQ(w->size(), QSize(client.width(), client.height() + w->menuBar()->height()));

        // A molecule at an even and at an odd position: the same pre-scaled sprite.
        const int side = zoom::Length(10, p);
        const QImage expected = ScaledSprite(p);
        if (p == 200) { // whole pixels doubled: the program's picture itself
            EXPECT_EQ(expected, sprite.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
        PlaceMolecules({{100, 101}, {201, 300}});
        // 100 °C for Water: the newest point at (240, 16) of the graph panel.
        w->txtOndo->setText(QStringLiteral("100"));
        QApplication::processEvents();
        const QImage shown = Client();
        for (QPoint m : {QPoint(100, 101), QPoint(201, 300)})
            EXPECT_EQ(shown.copy(S(37 + m.x(), p), S(20 + m.y(), p), side, side), expected) << p << "% " << m.x();
        EXPECT_EQ(shown.pixel(S(137, p) - 1, S(121, p) + 5), kBlack);
        const int dot = zoom::Length(3, p);
        EXPECT_EQ(InkOf(shown, QRect(S(446, p), S(64, p), S(315, p), S(334, p)), [](QRgb c) { return c == kRed; }),
                  QRect(S(446 + 240, p), S(64 + 16, p), dot, dot)) << p;

        // The background, away from the controls, is the picture scaled without blur.
        const QImage scaled = platform::ZoomImage(background, p, QPoint());
        for (const QRect& strip : {QRect(0, 0, 30, 559), QRect(770, 0, 30, 559), QRect(412, 0, 30, 559)}) {
            const QRect z(S(strip.x(), p), 0, S(strip.right() + 1, p) - S(strip.x(), p), client.height());
            EXPECT_EQ(shown.copy(z), scaled.copy(z)) << p << "% strip at " << strip.x();
        }

        // The unit label: placed on the grid, its text from the font at the zoomed size.
        const zoom::Rect r = zoom::ScaleRect({648, 480, 97, 33}, p);
        EXPECT_EQ(w->lblPress->geometry(), QRect(r.x, r.y, r.width, r.height));
        EXPECT_EQ(w->lblPress->font().pixelSize(), zoom::FontPixels(27, p));
        const QRect ink = InkOf(shown, QRect(r.x, r.y, r.width, r.height), dark);
        ASSERT_FALSE(ink.isEmpty()) << p;
        EXPECT_NEAR(ink.height(), inkAt100.height() * p / 100.0, 3) << p;
        EXPECT_NEAR(ink.width(), inkAt100.width() * p / 100.0, 0.1 * inkAt100.width() * p / 100.0) << p;
        if (p == 200) { // text blown up from 100 % would come in 2 × 2 blocks
            int mixed = 0;
            for (int y = ink.top() & ~1; y + 1 <= ink.bottom(); y += 2)
                for (int x = ink.left() & ~1; x + 1 <= ink.right(); x += 2) {
                    const QRgb c = shown.pixel(x, y);
                    mixed += shown.pixel(x + 1, y) != c || shown.pixel(x, y + 1) != c || shown.pixel(x + 1, y + 1) != c;
                }
            EXPECT_GT(mixed, 20);
        }
        // Sharp: the strokes have solid cores, not only grey edges.
        int solid = 0;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x) solid += qGray(shown.pixel(x, y)) < 30;
        EXPECT_GT(solid, 4 * p / 100 * inkAt100.height()) << p;
    }

    w->menu_Zoom[0]->trigger(); // back to 100 %: the layout as designed
    EXPECT_EQ(w->ClientArea()->size(), QSize(800, 559));
    EXPECT_EQ(w->lblPress->geometry(), unitAt100);
    EXPECT_EQ(w->txtOndo->geometry(), QRect(539, 428, 60, 36));
    EXPECT_EQ(w->FieldImage().size(), QSize(371, 457));
}

TEST_F(ProjectorView, ClicksKeysAndTheSpinnerWorkAt200)
{
    ON_SCREEN(1920, 1200);
    Open(200); // remembered from the last run
    ASSERT_EQ(w->ViewZoom(), 200);
    EXPECT_TRUE(w->menu_Zoom[2]->isChecked());
    EXPECT_EQ(w->ClientArea()->size(), QSize(1600, 1118));

    Click(607, 437); // the spinner's up arrow
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("1"));
    Click(607, 456); // down
    Click(607, 456);
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("-1"));

    Click(569, 446); // into the temperature box, then type
    ASSERT_TRUE(w->txtOndo->hasFocus());
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_2);
    Key(Qt::Key_5);
    EXPECT_EQ(w->txtOndo->text(), QStringLiteral("25"));
    EXPECT_EQ(w->txtAturyoku->text().toStdString(),
              simulation::ComputeReadout(shared->program.ActiveTable(), 0, shared->program.Settings(), 25).text);

    Click(600, 30); // the graph switch
    EXPECT_EQ(shared->program.EditState().grphVisible, 0);
    Click(504, 30); // the scenario button
    EXPECT_EQ(shared->program.EditState().sinarioRun, 1);

    // The dialogs keep their own size at the teacher's desk.
    const auto dialogSize = [this] {
        QSize size;
        QTimer::singleShot(0, [&size] {
            if (QWidget* d = QApplication::activeModalWidget()) {
                size = d->size();
                d->close();
            }
        });
        about::frmAbout about(w.get());
        w->ShowDialog(about);
        return size;
    };
    const QSize at200 = dialogSize();
    w->menu_Zoom[0]->trigger();
    ASSERT_EQ(w->ViewZoom(), 100);
    EXPECT_FALSE(at200.isEmpty());
    EXPECT_EQ(dialogSize(), at200);
}

TEST_F(ProjectorView, FullScreenFitsTheScreenAndEscLeavesItButNotFromADialog)
{
    ON_SCREEN(1920, 1200);
    Open(100);
    Key(Qt::Key_F11);
    QApplication::processEvents();
    ASSERT_TRUE(w->FullScreenView());
    EXPECT_TRUE(w->menu_FullScreen->isChecked());
    EXPECT_TRUE(w->windowState() & Qt::WindowFullScreen);
    // The largest whole percent whose picture and menu bar fit 1200 lines: above 200 %.
    const int full = w->ViewZoom();
    EXPECT_EQ(full, zoom::FullScreenZoom({1920, 1200}, {800, 559}, w->MenuBarDesignHeight()));
    EXPECT_GT(full, 200);
    QWidget* stage = w->centralWidget();
    EXPECT_EQ(stage->width(), 1920);
    EXPECT_EQ(w->menuBar()->height() + stage->height(), 1200);
    EXPECT_LE(w->menuBar()->height() + S(559, full), 1200);
    EXPECT_EQ(w->ClientArea()->pos(), QPoint((1920 - S(800, full)) / 2, (stage->height() - S(559, full)) / 2));
    const QImage around = stage->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(around.pixel(5, stage->height() / 2), kPanel);
    EXPECT_EQ(around.pixel(1914, stage->height() / 2), kPanel);

    // A zoom chosen now is remembered for the window; full screen keeps its fit.
    w->menu_Zoom[2]->trigger();
    EXPECT_EQ(w->ViewZoom(), full);
    EXPECT_EQ(shared->prefs.zoomPercent, 200);

    // Esc in a dialog closes the dialog only.
    bool dialogSawEsc = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            dialogSawEsc = true;
            QTest::keyClick(d, Qt::Key_Escape);
        }
    });
    {
        about::frmAbout about(w.get());
        w->ShowDialog(about);
    }
    EXPECT_TRUE(dialogSawEsc);
    EXPECT_TRUE(w->FullScreenView());
    QApplication::processEvents();

    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    Key(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(w->FullScreenView());
    EXPECT_FALSE(w->menu_FullScreen->isChecked());
    EXPECT_FALSE(w->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(w->ViewZoom(), 200);
    EXPECT_EQ(w->ClientArea()->size(), QSize(1600, 1118));
    EXPECT_EQ(w->centralWidget()->size(), QSize(1600, 1118));

    Key(Qt::Key_Escape); // not full screen: Esc does nothing here
    EXPECT_FALSE(w->FullScreenView());
    Key(Qt::Key_F11);
    EXPECT_TRUE(w->FullScreenView());
    Key(Qt::Key_F11);
    EXPECT_FALSE(w->FullScreenView());
}

TEST_F(ProjectorView, SmallScreenOffersOnlyTheZoomsThatFit)
{
    ON_SCREEN(1024, 768);
    Open(200); // remembered on a larger screen
    EXPECT_EQ(w->WindowZoom(), 100);
    EXPECT_EQ(w->ViewZoom(), 100);
    EXPECT_EQ(shared->prefs.zoomPercent, 200); // kept for the larger screen
    w->UpdateZoomMenu();
    EXPECT_TRUE(w->menu_Zoom[0]->isEnabled());
    EXPECT_TRUE(w->menu_Zoom[0]->isChecked());
    EXPECT_FALSE(w->menu_Zoom[0]->toolTip().contains(QStringLiteral("収まりません")));
    for (int i : {1, 2}) {
        EXPECT_FALSE(w->menu_Zoom[i]->isEnabled()) << zoom::kChoices[i];
        EXPECT_TRUE(w->menu_Zoom[i]->toolTip().contains(QStringLiteral("収まりません"))) << zoom::kChoices[i];
    }
    w->menu_Zoom[1]->trigger(); // disabled: nothing happens
    EXPECT_EQ(w->ViewZoom(), 100);
    // The whole window, title bar included, stays on the screen.
    EXPECT_GE(w->frameGeometry().top(), 0);
    EXPECT_LE(w->frameGeometry().bottom(), 767);
}

TEST_F(ProjectorView, FullScreenOnSmallScreenFillsItWithEvenMolecules)
{
    ON_SCREEN(1024, 768);
    Open(100);
    Key(Qt::Key_F11);
    QApplication::processEvents();
    ASSERT_TRUE(w->FullScreenView());
    EXPECT_EQ(w->ViewZoom(), 128);
    EXPECT_EQ(w->ClientArea()->width(), 1024);
    EXPECT_EQ(w->lblPress->font().pixelSize(), zoom::FontPixels(27, 128)); // text at the target size
    EXPECT_EQ(w->menuBar()->font().pixelSize(), zoom::FontPixels(15, 128));

    // A molecule at every offset of the 128 % grid (where source pixels become one or two
    // screen pixels): each drawn the same size and shape, the pre-scaled sprite.
    const QImage sprite = QImage(QStringLiteral(":/img/molecule.png")).convertToFormat(QImage::Format_RGB32);
    const int side = zoom::Length(10, 128);
    ASSERT_EQ(side, 13);
    const QImage expected = ScaledSprite(128);
    for (int x = 100; x < 125; ++x) {
        const int y = 2 * x;
        PlaceMolecules({{x, y}});
        const QImage field = w->FieldImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(field.isNull());
        const QPoint at(zoom::Edge(37, x, 128), zoom::Edge(20, y, 128));
        EXPECT_EQ(field.copy(QRect(at, QSize(side, side))), expected) << "molecule at " << x << "," << y;
        // Nothing beyond its square.
        EXPECT_EQ(InkOf(field, field.rect(), [](QRgb c) { return (c & 0xFFFFFF) != 0; }) | QRect(at, QSize(side, side)),
                  QRect(at, QSize(side, side))) << x;
    }
}

TEST_F(ProjectorView, EscClosingTheLiquidListStaysInFullScreen)
{
    ON_SCREEN(1024, 768);
    Open(100);
    Key(Qt::Key_F11);
    QApplication::processEvents();
    ASSERT_TRUE(w->FullScreenView());
    w->cmbLiquid->showPopup();
    QWidget* popup = w->cmbLiquid->view()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    QTest::keyClick(popup->windowHandle(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(w->FullScreenView()) << "the popup's Esc also left full screen";
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    Key(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(w->FullScreenView());
}

TEST_F(ProjectorView, MovedToASmallerScreenTheViewFitsItAndBackAgain)
{
    ON_SCREEN(1920, 1200);
    QScreen *big = nullptr, *small = nullptr;
    for (QScreen* s : QGuiApplication::screens())
        (s->name() == QStringLiteral("projector") ? big : small) = s;
    ASSERT_TRUE(big && small);
    Open(200);
    ASSERT_EQ(w->ViewZoom(), 200);
    const auto moveTo = [&](QScreen* s) {
        w->move(s->geometry().topLeft() + QPoint(10, 10));
        QTest::qWait(50);
        ASSERT_EQ(w->screen(), s);
    };
    moveTo(small); // the 1024 × 768 projector beside it
    EXPECT_EQ(w->ViewZoom(), 100);
    EXPECT_FALSE(w->menu_Zoom[2]->isEnabled());
    EXPECT_EQ(shared->prefs.zoomPercent, 200); // still the teacher's choice
    moveTo(big);
    EXPECT_EQ(w->ViewZoom(), 200);
    EXPECT_TRUE(w->menu_Zoom[2]->isEnabled());

    // Full screen follows its screen too.
    Key(Qt::Key_F11);
    QApplication::processEvents();
    ASSERT_TRUE(w->FullScreenView());
    moveTo(small);
    EXPECT_EQ(w->ViewZoom(), 128);
    Key(Qt::Key_Escape);
    QApplication::processEvents();
}

int main(int argc, char* argv[])
{
    // An offscreen screen of a classroom projector's size.
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (!arg.startsWith("--screen=")) continue;
        const QList<QByteArray> wh = arg.mid(9).split('x');
        if (wh.size() == 2) screenSize = QSize(wh[0].toInt(), wh[1].toInt());
    }
    QTemporaryDir config;
    const QString path = config.filePath(QStringLiteral("screen.json"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    const QSize screen = ScreenSize();
    // The second screen, right of the first, has the other size.
    const QSize other = screen == QSize(1024, 768) ? QSize(1920, 1200) : QSize(1024, 768);
    f.write(QStringLiteral(R"({"screens": [{"name": "projector", "x": 0, "y": 0, "width": %1, "height": %2,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
                {"name": "other", "x": %1, "y": 0, "width": %3, "height": %4,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                .arg(screen.width())
                .arg(screen.height())
                .arg(other.width())
                .arg(other.height())
                .toUtf8());
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + path.toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
