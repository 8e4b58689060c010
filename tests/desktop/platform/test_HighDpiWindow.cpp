// The main window on a display with a device-pixel ratio of 2: twice as large, pixel art
// doubled without blur, graph labels drawn at the display's resolution; on a screen too
// small for it, the scale that fits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "assets/Background.h"
#include "assets/assets.h"
#include "desktop/main/frmMain.h"
#include "desktop/platform/PictureButton.h"
#include "desktop/platform/TickTimer.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF, kGrid = 0xFFC0C0C0;
const QPoint kGraphAt(446, 64); // the graph panel in the client area

QImage Doubled(const QImage& image)
{
    return image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QRect Twice(const QRect& r) { return QRect(r.topLeft() * 2, r.size() * 2); }

int MixedBlocks(const QImage& image, const QRect& r)
{
    int mixed = 0;
    for (int y = r.top() & ~1; y + 1 <= r.bottom(); y += 2)
        for (int x = r.left() & ~1; x + 1 <= r.right(); x += 2) {
            const QRgb c = image.pixel(x, y);
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c)
                ++mixed;
        }
    return mixed;
}

struct HighDpiWindow : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<SharedRecords> shared = std::make_unique<SharedRecords>();
    std::unique_ptr<frmMain> w;
    QImage client; // the client area as shown, in device pixels

    void SetUp() override
    {
        InitVaporiaAssets();
        ASSERT_TRUE(dir.isValid());
        shared->location = {dir.path(), QString()}; // no CONFIG.INI: the defaults
        w = std::make_unique<frmMain>(*shared, [] { return 43200.25f; });
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->Timer().Stop();
        w->Timer1_Timer(); // one frame of molecules
        client = w->centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        client.setDevicePixelRatio(1); // addressed in device pixels from here on
    }
};

} // namespace

TEST_F(HighDpiWindow, IsTwiceAsLarge)
{
    ASSERT_EQ(w->devicePixelRatio(), 2);
    EXPECT_EQ(w->width(), 800);
    EXPECT_EQ(w->grab().toImage().width(), 1600);
    EXPECT_EQ(client.size(), QSize(1600, 1118));
}

TEST_F(HighDpiWindow, GridLinesAreTwoPixelsWideWithoutBlur)
{
    // The first temperature line lies at x 15 of the panel; rows 44..68 of the panel hold
    // no pressure line or label with the default ranges.
    const int line = (kGraphAt.x() + 15) * 2;
    for (int y = (kGraphAt.y() + 44) * 2; y < (kGraphAt.y() + 68) * 2; ++y) {
        for (int x = line - 6; x < line + 8; ++x) {
            const QRgb want = x == line || x == line + 1 ? kGrid : kWhite;
            ASSERT_EQ(client.pixel(x, y), want) << "at " << x << "," << y;
        }
    }
}

TEST_F(HighDpiWindow, PixelArtIsDoubledPixelForPixel)
{
    const struct { const char* what; QRect where; QImage source; } parts[] = {
        {"container", QRect(37, 20, 371, 457), w->FieldImage().copy()},
        {"scenario button", QRect(464, 8, 81, 47), w->SinarioImages().off.copy(0, 0, 81, 47)},
        {"graph switch", QRect(560, 8, 81, 47), w->GrphSwImages().on.copy(0, 0, 81, 47)},
        {"background above the buttons", QRect(0, 0, 800, 8),
         assets::BackgroundImage().copy(0, 0, 800, 8)},
        {"background between the panels", QRect(412, 60, 30, 400),
         assets::BackgroundImage().copy(412, 60, 30, 400)},
    };
    for (const auto& p : parts)
        EXPECT_EQ(client.copy(Twice(p.where)), Doubled(p.source)) << p.what;
}

TEST_F(HighDpiWindow, GraphLabelsAreDrawnAtFullResolution)
{
    const auto& texts = w->Graph().Area().PrintedTexts();
    ASSERT_TRUE(w->Graph().GridSettings().has_value());
    const auto labels = mdlGrph::GridLabels(*w->Graph().GridSettings(), graph::PanelLabelFrame(),
                                            graph::InkMeasure(w->Graph().Area().Font()));
    ASSERT_EQ(texts.size(), labels.size()); // the default grid's labels
    ASSERT_GE(texts.size(), 2u + 2u);
    for (const auto& t : texts) {
        EXPECT_FALSE(t.overdrawn) << t.text.toStdString();
        const QRect shown = t.bounds.intersected(QRect(0, 0, 315, 334)).translated(kGraphAt);
        if (shown.height() < 4) continue; // "800" lies above the panel
        EXPECT_GT(MixedBlocks(client, Twice(shown)), 3) << t.text.toStdString();
    }
    // Away from its labels the panel is its image, doubled.
    QImage shown = client.copy(Twice(QRect(kGraphAt, QSize(315, 334))));
    QImage image = Doubled(w->Graph().Area().Image());
    for (QImage* im : {&shown, &image}) {
        QPainter p(im);
        for (const auto& t : texts) p.fillRect(Twice(t.bounds), Qt::black);
    }
    EXPECT_EQ(shown, image);
}

// A screen too small for the window at this scale: 1280 × 1024 device pixels hold it at 150 %.
TEST_F(HighDpiWindow, ScaleThatFitsTheScreen)
{
    ASSERT_EQ(w->screen()->size(), QSize(640, 512));
    EXPECT_EQ(w->ScaleThatFits(), 1.5);
}

int main(int argc, char* argv[])
{
    // A classroom PC's screen, 1280 × 1024 device pixels.
    QTemporaryDir config;
    const QString path = config.filePath(QStringLiteral("screen.json"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(R"({"screens": [{"name": "pc", "x": 0, "y": 0, "width": 1280, "height": 1024,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + path.toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
