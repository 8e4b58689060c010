#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>
#include <QPainter>
#include <climits>
#include <functional>
#include <set>

#include "desktop/platform/DrawArea.h"
#include "desktop/platform/Fonts.h"
#include "core/view/Zoom.h"

#include <tuple>
#include <vector>

using platform::DrawArea;

namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kRed = 0xffff0000;

// Pixels of the given colour, as a set of "x,y" for readable failures.
std::set<std::pair<int, int>> PixelsOf(const QImage& image, QRgb color)
{
    std::set<std::pair<int, int>> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color) pixels.insert({x, y});
    return pixels;
}

std::set<std::pair<int, int>> Box(int x1, int y1, int x2, int y2)
{
    std::set<std::pair<int, int>> pixels;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) pixels.insert({x, y});
    return pixels;
}

// A 10 × 10 sprite: a distinct colour per pixel and black corners.
QImage Sprite(QImage::Format format = DrawArea::kFormat)
{
    QImage sprite(10, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) sprite.setPixel(x, y, qRgb(10 + x * 20, 10 + y * 20, 77));
    for (auto [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}}) sprite.setPixel(x, y, kBlack);
    return sprite.convertToFormat(format);
}

} // namespace

TEST(DrawArea, FilledBoxIncludesBothCorners)
{
    const struct { int x1, y1, x2, y2; std::set<std::pair<int, int>> expected; } cases[] = {
        {2, 3, 4, 5, Box(2, 3, 4, 5)},           // 3 × 3
        {4, 5, 2, 3, Box(2, 3, 4, 5)},           // corners given the other way round
        {7, 7, 7, 7, Box(7, 7, 7, 7)},
        {-5, -5, 1, 0, Box(0, 0, 1, 0)},         // clipped at the top-left
        {18, 10, 25, 30, Box(18, 10, 19, 14)},   // and bottom-right
        {INT_MIN, 2, INT_MAX, 2, Box(0, 2, 19, 2)},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, Box(0, 0, 19, 14)},
        {-10, -10, -8, -8, {}},
        {20, 0, 22, 2, {}},
        {INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, {}},
    };
    for (const auto& c : cases) {
        DrawArea area(20, 15, kWhite);
        area.FillBox(c.x1, c.y1, c.x2, c.y2, kRed);
        EXPECT_EQ(PixelsOf(area.Image(), kRed), c.expected)
            << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST(DrawArea, LineIsOnePixelWideWithBothEnds)
{
    const struct { int x1, y1, x2, y2; std::set<std::pair<int, int>> expected; } cases[] = {
        {3, 10, 3, 2, Box(3, 2, 3, 10)},
        {1, 4, 6, 4, Box(1, 4, 6, 4)},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}}, // halves round up
        {2, 0, 0, 4, {{2, 0}, {2, 1}, {1, 2}, {1, 3}, {0, 4}}},
        {15, INT_MIN, 15, INT_MAX, Box(15, 0, 15, 14)},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, Box(0, 0, 0, 0)}, // diagonal through the origin…
        {-30, -30, -20, -40, {}},
    };
    for (const auto& c : cases) {
        DrawArea area(20, 15, kWhite);
        area.Line(c.x1, c.y1, c.x2, c.y2, kRed);
        const auto drawn = PixelsOf(area.Image(), kRed);
        if (c.x1 == INT_MIN && c.y1 == INT_MIN) { // …and on along it
            EXPECT_EQ(drawn.size(), 15u);
            for (auto [x, y] : drawn) EXPECT_EQ(x, y);
            continue;
        }
        EXPECT_EQ(drawn, c.expected) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    }
}

TEST(DrawArea, BlockCopyReplacesPixelsAndClipsAtEveryEdge)
{
    const QImage sprite = Sprite();
    const struct { int x, y; } places[] = {
        {5, 6}, {0, 0}, {-3, -4}, {-9, 2}, {12, -9}, {15, 8}, {19, 14}, {-10, 0}, {20, 3},
        {4, 15}, {2, -10}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, 0}, {0, INT_MIN},
    };
    for (const auto [px, py] : places) {
        for (QImage::Format format : {DrawArea::kFormat, QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGB888}) {
            DrawArea area(20, 15, kWhite);
            area.CopyBlock(Sprite(format), px, py);
            for (int y = 0; y < 15; ++y) {
                for (int x = 0; x < 20; ++x) {
                    const long long sx = static_cast<long long>(x) - px;
                    const long long sy = static_cast<long long>(y) - py;
                    const bool inside = sx >= 0 && sx < 10 && sy >= 0 && sy < 10;
                    const QRgb expected =
                        inside ? sprite.pixel(static_cast<int>(sx), static_cast<int>(sy)) : kWhite;
                    ASSERT_EQ(area.Image().pixel(x, y), expected)
                        << "sprite at " << px << "," << py << " pixel " << x << "," << y;
                }
            }
        }
    }
    // A source smaller than the block copies what it has.
    DrawArea area(20, 15, kWhite);
    area.CopyBlock(DrawArea::Prepared(sprite.copy(0, 0, 3, 2)), 1, 1);
    EXPECT_EQ(PixelsOf(area.Image(), kWhite).size(), 20u * 15 - 6);
    EXPECT_EQ(area.Image().pixel(1, 1), kBlack);
}

TEST(DrawArea, TextTopLeftLiesAtTheCurrentPosition)
{
    DrawArea area(80, 60, kWhite);
    area.SetFont(platform::ProportionalFont(27));
    area.SetTextPos(20, 15);
    area.Print(QStringLiteral("8"));
    EXPECT_EQ(area.TextX(), 20);
    int top = INT_MAX, left = INT_MAX, bottom = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (qGray(area.Image().pixel(x, y)) < 128) {
                top = std::min(top, y);
                left = std::min(left, x);
                bottom = std::max(bottom, y);
            }
    const QFontMetrics fm(area.Font());
    const QRect glyph = fm.tightBoundingRect(QStringLiteral("8")); // relative to the baseline
    EXPECT_NEAR(top, 15 + fm.ascent() + glyph.top(), 1);
    EXPECT_NEAR(bottom, 15 + fm.ascent() + glyph.bottom(), 1);
    EXPECT_NEAR(left, 20 + glyph.left(), 1);
    EXPECT_GE(top, 15);
    EXPECT_LT(bottom, 15 + fm.height());
}

TEST(DrawAreaView, RefreshShowsTheWholeImage)
{
    DrawArea area(30, 20, kBlack);
    platform::DrawAreaView view(area);
    EXPECT_EQ(view.size(), QSize(30, 20));
    area.FillBox(0, 0, 29, 9, kRed);
    area.Refresh();
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixel(5, 5), kRed);
    EXPECT_EQ(shown.pixel(5, 15), kBlack);
}

// Focused, the view frames what it shows, twice as thick at 200 %, and its arrows, Home
// and End ask for a step.
TEST(DrawAreaView, FocusFrameAndSteps)
{
    DrawArea area(60, 40, kRed);
    QWidget window;
    auto* view = new platform::DrawAreaView(area, &window);
    auto* other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    view->setFocusPolicy(Qt::TabFocus);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    const auto shown = [view](int x, int y) { return view->grab().toImage().pixel(x, y); };
    EXPECT_EQ(shown(0, 0), kRed);
    view->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(shown(0, 20), kBlack); // black, then white inside it, two pixels each
    EXPECT_EQ(shown(1, 20), kBlack);
    EXPECT_EQ(shown(3, 20), kWhite);
    EXPECT_EQ(shown(4, 20), kRed);
    view->SetZoom(200, QPoint());
    EXPECT_EQ(shown(7, 40), kWhite);
    EXPECT_EQ(shown(8, 40), kRed);

    QSignalSpy steps(view, &platform::DrawAreaView::stepped);
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Up})
        QTest::keyClick(view, key);
    ASSERT_EQ(steps.count(), 4);
    using Step = platform::DrawAreaView::Step;
    const Step want[] = {Step::Previous, Step::Next, Step::First, Step::Last};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(steps[i][0].value<Step>(), want[i]);
}

TEST(Fonts, PointSizesAsPixelsAt96Dpi)
{
    const struct { double points; int pixels; } sizes[] = {
        {20.25, 27}, {14.25, 19}, {12, 16}, {11.25, 15}, {9, 12}, {6.75, 9}};
    for (const auto& s : sizes) EXPECT_EQ(platform::PixelsForPoints(s.points), s.pixels);
    const QFont font = platform::ProportionalFont(9, true);
    EXPECT_EQ(font.pixelSize(), 9);
    EXPECT_TRUE(font.bold());
    const QStringList japanese = {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                                  QStringLiteral("Noto Sans CJK JP")};
    EXPECT_TRUE(japanese.contains(platform::ProportionalFamily()));
    EXPECT_EQ(platform::MonospaceFont(12).pixelSize(), 12);
}

namespace {

// An OpenType name table: (platform, encoding, language, name id, text) records.
QByteArray NameTable(const std::vector<std::tuple<int, int, int, int, QByteArray>>& records)
{
    QByteArray head, strings;
    auto u16 = [](QByteArray& b, int v) { b.append(char(v >> 8)).append(char(v & 0xFF)); };
    u16(head, 0);
    u16(head, int(records.size()));
    u16(head, 6 + 12 * int(records.size()));
    for (const auto& [platformId, encoding, language, nameId, text] : records) {
        for (int v : {platformId, encoding, language, nameId, int(text.size()), int(strings.size())}) u16(head, v);
        strings += text;
    }
    return head + strings;
}

QByteArray Utf16Be(const QString& s)
{
    QByteArray b;
    for (QChar c : s) b.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return b;
}

} // namespace

TEST(Fonts, AFamilyIsKnownByEachOfItsNames)
{
    // The names of a family in every language, from the font's own table; other names and
    // records reaching past the table's end are passed over.
    const QByteArray table = NameTable({{3, 1, 0x409, 1, Utf16Be(QStringLiteral("IPAPGothic"))},
                                  {3, 1, 0x411, 1, Utf16Be(QStringLiteral("IPA Pゴシック"))},
                                  {1, 0, 0, 16, "IPAPGothic"},
                                  {3, 1, 0x409, 4, Utf16Be(QStringLiteral("IPAPGothic Regular"))},
                                  {3, 1, 0x409, 1, QByteArray(400, 'x')}}).chopped(200);
    EXPECT_EQ(platform::FamilyNamesOf(table), (QStringList{"IPAPGothic", "IPA Pゴシック"}));
    EXPECT_EQ(platform::FamilyNamesOf(table.left(20)), QStringList{});
    EXPECT_EQ(platform::FamilyNamesOf(QByteArray()), QStringList{});

    // Missing families are skipped, whatever fontconfig substitutes for them.
    const QString ipa = QStringLiteral("IPAPGothic");
    EXPECT_EQ(platform::FirstInstalled({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("No Such Family"), ipa}), ipa);
    EXPECT_EQ(platform::FirstInstalled({QStringLiteral("No Such Family")}), QString());
    platform::UseFontChains({QStringLiteral("No Such Family"), ipa}, {});
    EXPECT_EQ(platform::ProportionalFont(12).family(), ipa);
    platform::UseFontChains({}, {});
}

namespace {

// The area painted for a device of the given pixel ratio, in device pixels.
QImage Drawn(const DrawArea& area, qreal ratio)
{
    QImage out(qRound(area.Width() * ratio), qRound(area.Height() * ratio), QImage::Format_RGB32);
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::magenta);
    QPainter painter(&out);
    area.Draw(painter, ratio);
    painter.end();
    out.setDevicePixelRatio(1);
    return out;
}

// Every pixel of the image as a 2 × 2 block: what a scaled image without smoothing shows.
QImage Doubled(const QImage& image)
{
    return image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

bool SameIn(const QImage& a, const QImage& b, const QRect& r)
{
    return a.copy(r) == b.copy(r);
}

// The rect at twice the scale.
QRect Twice(const QRect& r) { return QRect(r.topLeft() * 2, r.size() * 2); }

// 2 × 2 blocks that are not of one colour: vector text has them, a doubled image never.
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

struct LabelledArea {
    DrawArea area{120, 60, kWhite};
    LabelledArea()
    {
        area.SetFont(platform::ProportionalFont(9));
        area.Line(15, 0, 15, 59, qRgb(192, 192, 192));
        area.SetTextPos(20, 30);
        area.Print(QStringLiteral("-50 100"));
    }
    QRect TextBounds() const { return area.PrintedTexts().front().bounds; }
};

} // namespace

TEST(DrawAreaHighResolution, PixelsDoubleExactlyAndTextIsDrawnSharp)
{
    LabelledArea l;
    const QImage before = l.area.Image();
    ASSERT_EQ(l.area.PrintedTexts().size(), 1u);
    const QRect text = l.TextBounds();
    EXPECT_TRUE(text.contains(QRect(20, 30, 20, 8))) << text.x() << "," << text.y();

    EXPECT_EQ(Drawn(l.area, 1), l.area.Image()); // at ratio 1 the image itself
    const QImage hi = Drawn(l.area, 2);
    const QImage doubled = Doubled(l.area.Image());
    // Outside the text every pixel is a 2 × 2 block of the image: the line is 2 px wide,
    // with nothing between its grey and the white.
    QImage masked = hi, maskedDoubled = doubled;
    for (QImage* im : {&masked, &maskedDoubled}) {
        QPainter p(im);
        p.fillRect(Twice(text), Qt::black);
    }
    EXPECT_EQ(masked, maskedDoubled);
    for (int x = 28; x <= 33; ++x)
        EXPECT_EQ(hi.pixel(x, 10), x == 30 || x == 31 ? qRgb(192, 192, 192) : kWhite) << x;
    // The text itself is drawn at the device's resolution, not as doubled pixels, and
    // nothing of its pixels in the image shows beneath it.
    EXPECT_GT(MixedBlocks(hi, Twice(text)), 5);
    DrawArea without(120, 60, kWhite);
    without.Line(15, 0, 15, 59, qRgb(192, 192, 192));
    QImage expected = Doubled(without.Image());
    expected.setDevicePixelRatio(2);
    {
        QPainter p(&expected);
        p.setFont(l.area.Font());
        p.setPen(Qt::black);
        p.drawText(l.area.PrintedTexts().front().baseline, QStringLiteral("-50 100"));
    }
    expected.setDevicePixelRatio(1);
    EXPECT_EQ(hi, expected);
    EXPECT_EQ(MixedBlocks(doubled, Twice(text)), 0);
    // None of this changes what was drawn into the area.
    EXPECT_EQ(l.area.Image(), before);
}

TEST(DrawAreaHighResolution, WhatIsDrawnOverATextStaysOnTop)
{
    const struct { const char* what; std::function<void(DrawArea&)> draw; } overdraws[] = {
        {"box", [](DrawArea& a) { a.FillBox(22, 31, 24, 33, kRed); }},
        {"line", [](DrawArea& a) { a.Line(0, 33, 119, 33, kRed); }},
        {"slanted line", [](DrawArea& a) { a.Line(18, 28, 30, 40, kRed); }},
        {"block", [](DrawArea& a) { a.CopyBlock(Sprite(), 25, 28); }},
    };
    for (const auto& o : overdraws) {
        LabelledArea l;
        o.draw(l.area);
        ASSERT_TRUE(l.area.PrintedTexts().front().overdrawn) << o.what;
        // The text's place is shown as the image has it, whatever lies on top.
        const QRect text = l.TextBounds().intersected(QRect(0, 0, 120, 60));
        EXPECT_TRUE(SameIn(Drawn(l.area, 2), Doubled(l.area.Image()), Twice(text))) << o.what;
    }
    // Drawing beside a text leaves it sharp.
    LabelledArea beside;
    beside.area.FillBox(0, 0, 10, 10, kRed);
    beside.area.Line(100, 0, 110, 20, kRed);
    EXPECT_FALSE(beside.area.PrintedTexts().front().overdrawn);
}

TEST(DrawAreaHighResolution, BlankingTheWholeAreaForgetsItsTexts)
{
    LabelledArea l;
    l.area.FillBox(0, 0, 50, 59, kWhite); // not the whole area
    EXPECT_EQ(l.area.PrintedTexts().size(), 1u);
    l.area.FillBox(-5, -5, 400, 400, kWhite);
    EXPECT_TRUE(l.area.PrintedTexts().empty());
    EXPECT_EQ(Drawn(l.area, 2), Doubled(l.area.Image()));
    // Texts printed after the blanking show alone: nothing of the earlier one remains.
    l.area.SetTextPos(60, 5);
    l.area.Print(QStringLiteral("7"));
    const QImage hi = Drawn(l.area, 2);
    EXPECT_TRUE(SameIn(hi, Doubled(l.area.Image()), QRect(0, 40, 240, 80)));
    EXPECT_GT(MixedBlocks(hi, Twice(l.area.PrintedTexts().front().bounds)), 0);
}

TEST(DrawAreaHighResolution, TextsAreKeptApartOnlyWhileAsked)
{
    LabelledArea l;
    l.area.KeepTextApart(false); // ratio 1: no copy, no list
    EXPECT_TRUE(l.area.PrintedTexts().empty());
    l.area.SetTextPos(60, 5);
    l.area.Print(QStringLiteral("7"));
    EXPECT_TRUE(l.area.PrintedTexts().empty());
    EXPECT_EQ(Drawn(l.area, 1), l.area.Image());
    // Back above ratio 1: what was printed meanwhile shows as the pixels it is, until the
    // whole area is blanked; texts from then on are sharp again.
    l.area.KeepTextApart(true);
    EXPECT_FALSE(l.area.AllTextsKept());
    EXPECT_EQ(Drawn(l.area, 2), Doubled(l.area.Image()));
    l.area.FillBox(0, 0, 119, 59, kWhite);
    l.area.Print(QStringLiteral("7"));
    ASSERT_EQ(l.area.PrintedTexts().size(), 1u);
    EXPECT_GT(MixedBlocks(Drawn(l.area, 2), Twice(l.area.PrintedTexts().front().bounds)), 0);
}

TEST(DrawAreaHighResolution, TooManyTextsShowTheImageAsItIs)
{
    DrawArea area(60, 20, kWhite);
    area.SetFont(platform::ProportionalFont(9));
    for (std::size_t i = 0; i <= DrawArea::kMaxTexts; ++i) {
        area.SetTextPos(static_cast<int>(i % 50), 2);
        area.Print(QStringLiteral("1"));
    }
    EXPECT_FALSE(area.AllTextsKept());
    EXPECT_EQ(Drawn(area, 2), Doubled(area.Image()));
    area.FillBox(0, 0, 59, 19, kWhite);
    EXPECT_TRUE(area.AllTextsKept());
}

TEST(DrawAreaHighResolution, TextFarOffTheAreaIsSafe)
{
    DrawArea area(20, 20, kWhite);
    const QImage blank = area.Image();
    for (auto [x, y] : {std::pair{INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {0, INT_MAX}, {INT_MIN, 0}}) {
        area.SetTextPos(x, y);
        area.Print(QStringLiteral("800"));
    }
    EXPECT_EQ(area.Image(), blank);
    EXPECT_EQ(Drawn(area, 2), Doubled(blank));
}

namespace {

QImage DrawnAtZoom(const DrawArea& a)
{
    QImage out(a.ZoomedSize(), QImage::Format_RGB32);
    out.fill(Qt::gray);
    QPainter p(&out);
    a.Draw(p, 1.0);
    return out;
}

// The rows and columns that hold a pixel of the colour.
QRect InkOf(const QImage& image, QRgb color)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color) ink |= QRect(x, y, 1, 1);
    return ink;
}

// The rows and columns that hold a dark pixel: a text's ink.
QRect DarkInkOf(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qMax(qRed(image.pixel(x, y)), qMax(qGreen(image.pixel(x, y)), qBlue(image.pixel(x, y)))) < 100)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

} // namespace

TEST(DrawAreaZoom, EveryMoleculeAndPointKeepsOneShapeWhereverItLies)
{
    // The container's place in the window: at 150 % its pixels are 1 or 2 wide by parity.
    const QPoint origin(37, 20);
    for (int percent : {150, 200}) {
        DrawArea a(371, 457, kBlack);
        a.SetZoom(percent, origin);
        const int side = percent == 150 ? 15 : 20, dot = percent == 150 ? 5 : 6;
        ASSERT_EQ(a.ZoomedSize(), percent == 150 ? QSize(557, 685) : QSize(742, 914));
        const QImage expected = Sprite().scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        for (int x = 100; x <= 103; ++x) {
            a.FillBox(0, 0, 371, 457, kBlack);
            a.CopyBlock(Sprite(), x, 50);
            const QPoint at(zoom::Edge(origin.x(), x, percent), zoom::Edge(origin.y(), 50, percent));
            const QImage& z = a.ZoomedImage();
            EXPECT_EQ(z.copy(QRect(at, QSize(side, side))), expected) << percent << "% x " << x;
            EXPECT_EQ(z.pixel(at.x() - 1, at.y() + 5), kBlack);
            EXPECT_EQ(z.pixel(at.x() + side, at.y() + 5), kBlack);

            a.FillBox(x, 200, x + 2, 202, kRed); // a graph point's 3 × 3 box
            EXPECT_EQ(PixelsOf(z, kRed).size(), static_cast<std::size_t>(dot * dot)) << percent << "% x " << x;
            EXPECT_EQ(InkOf(z, kRed), QRect(zoom::Edge(origin.x(), x, percent),
                                            zoom::Edge(origin.y(), 200, percent), dot, dot));
        }
        // A one-pixel line is equally thick wherever it lies.
        for (int y : {300, 301}) {
            a.Line(10, y, 60, y, kWhite);
            EXPECT_EQ(InkOf(a.ZoomedImage(), kWhite).height(), percent / 100 + (percent == 150)) << y;
            a.FillBox(0, 0, 371, 457, kBlack);
        }
    }
}

TEST(DrawAreaZoom, DrawingPartlyOrFarOutsideIsClippedSafely)
{
    DrawArea a(371, 457, kBlack);
    a.SetZoom(150, QPoint(37, 20));
    const QImage sprite = Sprite().scaled(15, 15, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    a.CopyBlock(Sprite(), -5, -5); // its zoomed top-left lies at (-7, -8)
    EXPECT_EQ(a.ZoomedImage().pixel(0, 0), sprite.pixel(7, 8));
    a.CopyBlock(Sprite(), 366, 452);
    const QSize z = a.ZoomedSize();
    EXPECT_EQ(a.ZoomedImage().pixel(z.width() - 1, z.height() - 1),
              sprite.pixel(z.width() - 1 - zoom::Edge(37, 366, 150), z.height() - 1 - zoom::Edge(20, 452, 150)));
    for (int v : {INT_MIN, INT_MAX, -100000, 100000}) {
        a.CopyBlock(Sprite(), v, v);
        a.FillBox(v, v, v + 2, v + 2, kRed);
        a.Line(v, 0, 0, v, kRed);
    }
    a.FillBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite);
    EXPECT_EQ(PixelsOf(a.ZoomedImage(), kWhite).size(), static_cast<std::size_t>(z.width() * z.height()));
    a.FillBox(-10, -10, -8, -8, kRed); // off the area at 100 %: off at every zoom
    EXPECT_TRUE(PixelsOf(a.ZoomedImage(), kRed).empty());
}

TEST(DrawAreaZoom, StartsFromWhatIsShownAndBackAt100DrawsAsBefore)
{
    DrawArea a(40, 30, kWhite);
    a.FillBox(4, 4, 6, 6, kRed);
    a.SetZoom(200, QPoint());
    EXPECT_EQ(InkOf(a.ZoomedImage(), kRed), QRect(8, 8, 6, 6));
    a.SetZoom(100, QPoint());
    EXPECT_TRUE(a.ZoomedImage().isNull());
    EXPECT_EQ(a.ZoomedSize(), QSize(40, 30));
    EXPECT_EQ(DrawnAtZoom(a), a.Image());
    a.SetZoom(175, QPoint()); // a full-screen zoom
    EXPECT_EQ(a.Zoom(), 175);
    a.SetZoom(450, QPoint()); // beyond any zoom: 100 %
    EXPECT_EQ(a.Zoom(), 100);
}

TEST(DrawAreaZoom, TextIsPrintedFromTheFontAtTheZoomedSize)
{
    DrawArea a(120, 60, kWhite);
    a.SetFont(platform::ProportionalFont(9));
    a.SetTextColor(kBlack);
    a.SetTextPos(20, 10);
    a.Print(QStringLiteral("150"));
    const QRect small = DarkInkOf(a.Image());
    ASSERT_FALSE(small.isEmpty());
    for (int percent : {150, 200}) {
        a.SetZoom(percent, QPoint(446, 64));
        a.FillBox(2, 2, 4, 4, kRed); // drawn after the text, away from it
        const QImage shown = DrawnAtZoom(a);
        EXPECT_TRUE(DarkInkOf(a.ZoomedImage()).isEmpty()); // the copy holds no text
        const QRect big = DarkInkOf(shown);
        ASSERT_FALSE(big.isEmpty()) << percent;
        // Where the text was printed, and as tall as the font at that size makes it.
        EXPECT_NEAR(big.left(), zoom::Edge(446, small.left(), percent), 2) << percent;
        EXPECT_NEAR(big.top(), zoom::Edge(64, small.top(), percent), 2) << percent;
        EXPECT_NEAR(big.height(), small.height() * percent / 100.0, 2) << percent;
        // Not the small text's pixels blown up: at 200 % those would come in 2 × 2 blocks.
        if (percent == 200) {
            int mixed = 0;
            for (int y = big.top() & ~1; y + 1 <= big.bottom(); y += 2)
                for (int x = big.left() & ~1; x + 1 <= big.right(); x += 2) {
                    const QRgb c = shown.pixel(x, y);
                    mixed += shown.pixel(x + 1, y) != c || shown.pixel(x, y + 1) != c || shown.pixel(x + 1, y + 1) != c;
                }
            EXPECT_GT(mixed, 5);
        }
        EXPECT_EQ(PixelsOf(shown, kRed).size(), static_cast<std::size_t>(zoom::Length(3, percent) * zoom::Length(3, percent)));
    }
}

// The frame's inline copier keeps the zoomed copy too: at 100 % it writes the image alone,
// at a zoom it takes the way that also draws the pre-scaled sprite on the window's grid.
TEST(DrawAreaZoom, FrameCopierDrawsIntoTheZoomedCopy)
{
    const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
    QImage sprite(10, 10, QImage::Format_RGB32);
    sprite.fill(red);
    const DrawArea::Block block = DrawArea::PreparedBlock(sprite);
    for (int percent : {150, 200}) {
        DrawArea area(60, 60, black);
        area.SetZoom(percent, QPoint(37, 20));
        {
            DrawArea::BlockCopier copier(area, block);
            copier.Copy(5, 7);
            copier.Copy(6, 30);
        }
        const QImage& z = area.ZoomedImage();
        for (QPoint at : {QPoint(5, 7), QPoint(6, 30)}) {
            const int left = zoom::Edge(37, at.x(), percent), top = zoom::Edge(20, at.y(), percent);
            const int side = zoom::Length(10, percent);
            EXPECT_EQ(z.pixel(left, top), red) << percent;
            EXPECT_EQ(z.pixel(left + side - 1, top + side - 1), red) << percent;
            EXPECT_EQ(z.pixel(left + side, top + side), black) << percent;
        }
    }
}

// At a zoom a frame goes into the zoomed copy alone; whatever needs the image afterwards
// finds it as the same drawing at 100 % leaves it, and the copy as block-by-block drawing
// leaves it.
TEST(DrawAreaZoom, AFrameAtAZoomReachesTheImageWhenItIsNeeded)
{
    const DrawArea::Block sprite = DrawArea::PreparedBlock(Sprite());
    QImage red(10, 10, DrawArea::kFormat);
    red.fill(kRed);
    const DrawArea::Block other = DrawArea::PreparedBlock(red);
    const QPoint places[] = {{5, 7}, {30, 22}, {-4, 3}, {55, -6}, {51, 52}, {INT_MIN, 0}, {20, 20}};
    const QPoint origin(37, 20);
    for (int percent : {150, 200}) {
        DrawArea at100(60, 60, kWhite), zoomed(60, 60, kWhite), byBlock(60, 60, kWhite);
        zoomed.SetZoom(percent, origin);
        byBlock.SetZoom(percent, origin);
        // The tick's frame: the whole area blanked, then one block copied to every place,
        // then maybe a second block over them.
        const auto frame = [&](QRgb background, bool second) {
            for (DrawArea* a : {&at100, &zoomed}) {
                a->FillBox(0, 0, 59, 59, background);
                {
                    DrawArea::BlockCopier copier(*a, sprite);
                    for (QPoint p : places) copier.Copy(p.x(), p.y());
                }
                if (second) {
                    DrawArea::BlockCopier copier(*a, other);
                    copier.Copy(25, 25);
                }
            }
            byBlock.FillBox(0, 0, 59, 59, background);
            for (QPoint p : places) byBlock.CopyBlock(Sprite(), p.x(), p.y());
            if (second) byBlock.CopyBlock(red, 25, 25);
        };
        frame(kBlack, false);
        EXPECT_EQ(zoomed.ZoomedImage(), byBlock.ZoomedImage()) << percent;
        EXPECT_EQ(zoomed.Image(), at100.Image()) << percent;
        // Frames nobody looked at, then drawing over the last one.
        frame(kWhite, true);
        frame(kBlack, false);
        for (DrawArea* a : {&at100, &zoomed, &byBlock}) a->FillBox(8, 8, 12, 40, kRed);
        EXPECT_EQ(zoomed.ZoomedImage(), byBlock.ZoomedImage()) << percent;
        EXPECT_EQ(zoomed.Image(), at100.Image()) << percent;
        frame(kWhite, true);
        EXPECT_EQ(zoomed.ZoomedImage(), byBlock.ZoomedImage()) << percent;
        EXPECT_EQ(zoomed.Image(), at100.Image()) << percent;
        // Back at 100 % straight after a frame.
        frame(kBlack, false);
        zoomed.SetZoom(100, origin);
        EXPECT_EQ(DrawnAtZoom(zoomed), at100.Image()) << percent;
    }
}
