// The compiled-in pictures: present, the sizes the window lays out, and the colours that
// other code relies on (the sprite's black corners are copied opaquely onto the black
// container; the wells must sit behind the container and the graph).
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include "assets/Background.h"
#include "assets/assets.h"

namespace {

QImage Load(const char* name)
{
    InitVaporiaAssets();
    return QImage(QString(":/img/") + name);
}

struct Picture {
    const char* name;
    int width;
    int height;
};

TEST(Assets, EveryPictureLoadsWithItsSizeAndIsOpaque)
{
    const Picture pictures[] = {
        {"molecule.png", 10, 10},     {"pin_ondo.png", 7, 7},
        {"sinario_on.png", 81, 51},   {"sinario_off.png", 81, 51}, {"grphsw_on.png", 81, 51},
        {"grphsw_off.png", 81, 51},   {"grphcls_on.png", 81, 51},  {"grphcls_off.png", 81, 51},
    };
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.name);
        const QImage image = Load(p.name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), p.width);
        EXPECT_EQ(image.height(), p.height);
        EXPECT_FALSE(image.hasAlphaChannel());
    }
}

TEST(Assets, MoleculeHasBlackCornersAndACyanCentre)
{
    const QImage m = Load("molecule.png");
    for (const auto& [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}})
        EXPECT_EQ(m.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    const QColor centre = m.pixelColor(5, 5);
    EXPECT_LE(centre.red(), 40);
    EXPECT_GE(centre.green(), 235);
    EXPECT_GE(centre.blue(), 235);
    // the lit side is brighter than the far rim
    EXPECT_GT(m.pixelColor(3, 3).lightness(), m.pixelColor(8, 8).lightness());
}

TEST(Assets, BackgroundHasItsGroundAndWells)
{
    const QImage bg = assets::BackgroundImage();
    const QRgb slate = qRgb(99, 101, 156);
    // ground between and around the panels, and behind the three picture buttons
    for (const auto& [x, y] : {std::pair{12, 280}, {428, 280}, {785, 280}, {400, 552},
                               {464, 8}, {600, 30}, {736, 54}})
        EXPECT_EQ(bg.pixel(x, y), slate) << x << "," << y;
    // the container area is black throughout, the graph panel white throughout
    for (const auto& [x, y] : {std::pair{37, 20}, {407, 476}, {220, 250}})
        EXPECT_EQ(bg.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
    for (const auto& [x, y] : {std::pair{446, 64}, {760, 397}, {600, 230}})
        EXPECT_EQ(bg.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    // white labels on the liquid bar and dark text on the field panel stay readable
    EXPECT_LT(QColor(bg.pixel(300, 512)).lightness(), 110);
    EXPECT_GT(QColor(bg.pixel(660, 500)).lightness(), 170);
}

// The background once came as an 800 × 560 picture; drawn in code it is the same, pixel
// for pixel, also in its lowest row, which the window does not show.
TEST(Assets, BackgroundIsThePictureItReplaced)
{
    const QImage before = QImage(QStringLiteral(VAPORIA_TEST_DATA "/background_before.png"))
                              .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(before.size(), QSize(800, 560));
    const QImage now = assets::BackgroundImage();
    ASSERT_EQ(now.size(), before.size());
    int differ = 0;
    for (int y = 0; y < now.height(); ++y)
        for (int x = 0; x < now.width(); ++x)
            if (now.pixel(x, y) != before.pixel(x, y) && ++differ <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(differ, 0);
}

TEST(Assets, ButtonsShowTheirOvalOnTheGroundAndLightUpWhenOn)
{
    for (const char* kind : {"sinario", "grphsw", "grphcls"}) {
        SCOPED_TRACE(kind);
        const QImage on = Load((std::string(kind) + "_on.png").c_str());
        const QImage off = Load((std::string(kind) + "_off.png").c_str());
        // the corners and the strip below the shown 81 × 47 are plain ground
        for (const QImage* image : {&on, &off}) {
            EXPECT_EQ(image->pixel(0, 0), qRgb(99, 101, 156));
            EXPECT_EQ(image->pixel(80, 46), qRgb(99, 101, 156));
            for (int x = 0; x < 81; ++x)
                for (int y = 47; y < 51; ++y)
                    ASSERT_EQ(image->pixel(x, y), qRgb(99, 101, 156)) << x << "," << y;
        }
        // a point of the oval's face beside the picture is much brighter when lit
        EXPECT_GT(qGray(on.pixel(10, 23)), qGray(off.pixel(10, 23)) + 50);
    }
}

} // namespace
