// The projector view on a 1920 × 1080 screen: the main window at 150 % and 200 %, and
// full screen. Its own main gives the offscreen screen that size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "about/frmAbout.h"
#include "assets/Background.h"
#include "assets/assets.h"
#include "main/Simulation.h"
#include "main/frmMain.h"
#include "platform/TickTimer.h"
#include "platform/Zoom.h"

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
        const QImage expected = sprite.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        w->BackArea().FillBox(0, 0, 371, 457, 0xFF000000);
        w->BackArea().CopyBlock(platform::DrawArea::Prepared(sprite), 100, 101);
        w->BackArea().CopyBlock(platform::DrawArea::Prepared(sprite), 201, 300);
        w->BackArea().Refresh();
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
    EXPECT_EQ(w->BackArea().Zoom(), 100);
}

TEST_F(ProjectorView, ClicksKeysAndTheSpinnerWorkAt200)
{
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
              simulation::ComputeReadout(shared->table, 0, shared->settings, 25).text);

    Click(600, 30); // the graph switch
    EXPECT_EQ(shared->state.grphVisible, 0);
    Click(504, 30); // the scenario button
    EXPECT_EQ(shared->state.sinarioRun, 1);

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
    Open(100);
    Key(Qt::Key_F11);
    QApplication::processEvents();
    ASSERT_TRUE(w->FullScreenView());
    EXPECT_TRUE(w->menu_FullScreen->isChecked());
    EXPECT_TRUE(w->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(w->ViewZoom(), 150); // 200 % is too tall for 1080 lines
    QWidget* stage = w->centralWidget();
    EXPECT_EQ(stage->width(), 1920);
    EXPECT_EQ(w->ClientArea()->pos(), QPoint((1920 - 1200) / 2, (stage->height() - 838) / 2));
    const QImage around = stage->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(around.pixel(5, stage->height() / 2), kPanel);
    EXPECT_EQ(around.pixel(1914, stage->height() / 2), kPanel);

    // A zoom chosen now is remembered for the window; full screen keeps its fit.
    w->menu_Zoom[2]->trigger();
    EXPECT_EQ(w->ViewZoom(), 150);
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

int main(int argc, char* argv[])
{
    // A 1920 × 1080 offscreen screen, like a classroom projector.
    QTemporaryDir config;
    const QString path = config.filePath(QStringLiteral("screen.json"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(R"({"screens": [{"name": "projector", "x": 0, "y": 0, "width": 1920, "height": 1080,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + path.toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
