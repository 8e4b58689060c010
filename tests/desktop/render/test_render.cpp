// The cores' pixels against the desktop's drawing areas: the browser shows what the desktop
// shows at 100 %.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include <QImageReader>
#include <QPainter>
#include <QRect>

#include "assets/assets.h"
#include "desktop/graph/GraphPanel.h"
#include "desktop/graph/GraphReport.h"
#include "core/app/FramePace.h"
#include "core/field/mdlSprite.h"
#include "desktop/platform/DrawArea.h"
#include "core/render/FieldPicture.h"
#include "core/render/GraphPicture.h"
#include "core/render/ReportPicture.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include "desktop/platform/Fonts.h"

namespace {

using render::Pixel;

Pixel FromQt(QRgb c) { return render::Rgb(qRed(c), qGreen(c), qBlue(c)); }

QImage Molecule()
{
    InitVaporiaAssets();
    QImageReader reader(QStringLiteral(":/img/molecule.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

TEST(FieldPicture, SpriteIsTheProgramsPicture)
{
    const QImage sprite = Molecule();
    ASSERT_EQ(sprite.size(), QSize(10, 10));
    const auto& core = render::FieldPicture::Sprite();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(core[static_cast<std::size_t>(y * 10 + x)], FromQt(sprite.pixel(x, y))) << x << "," << y;
}

// Frames at temperatures where the molecules sit as a block, jiggle, and fly past the
// walls (where the sprites are clipped), drawn as frmMain draws them and by the core.
TEST(FieldPicture, FramesMatchTheDesktopsDrawingArea)
{
    using namespace mdlSprite;
    const platform::DrawArea::Block block = platform::DrawArea::PreparedBlock(Molecule());
    for (const std::int32_t t : {-20, 0, 40, 100, 150}) {
        SCOPED_TRACE(t);
        MolField field;
        InitMolField(field, [] { return 45678.25f; });
        framepace::DrawnPlaces drawn;
        platform::DrawArea area(kContainerWidth, kContainerHeight, qRgb(0, 0, 0));
        render::FieldPicture picture;
        for (int frame = 0; frame < 120; ++frame) {
            SetMolStates(field, t, 101, 0);
            framepace::MoveAll(field, drawn);
            if (frame % 40 != 39) continue;
            area.FillBox(0, 0, kContainerWidth, kContainerHeight, qRgb(0, 0, 0));
            {
                platform::DrawArea::BlockCopier sprites(area, block);
                for (int i = kRows; i >= 1; --i)
                    for (int j = 1; j <= kColumns; ++j) sprites.Copy(field.cells[i][j].x, field.cells[i][j].y);
            }
            picture.Draw(field);
            int differ = 0;
            for (int y = 0; y < kContainerHeight; ++y)
                for (int x = 0; x < kContainerWidth; ++x)
                    if (picture.At(x, y) != FromQt(area.Image().pixel(x, y)) && ++differ <= 3)
                        ADD_FAILURE() << "frame " << frame << " pixel " << x << "," << y;
            EXPECT_EQ(differ, 0);
        }
    }
}

TEST(FieldPicture, MoleculesFarOutsideAreClippedSafely)
{
    mdlSprite::MolField field;
    mdlSprite::InitMolField(field, [] { return 1.0f; });
    field.cells[1][1].x = std::numeric_limits<std::int32_t>::max();
    field.cells[1][2].y = std::numeric_limits<std::int32_t>::min();
    field.cells[1][3].x = -5;
    field.cells[1][3].y = 452;
    render::FieldPicture picture;
    picture.Draw(field);
    EXPECT_EQ(picture.At(0, 456), render::FieldPicture::Sprite()[4 * 10 + 5]);
}

SystemSettings Defaults()
{
    return {30, 1, 0, 0, -50, 150, 0, 800};
}

// The grid and points as GraphPanel draws them, pixel for pixel wherever the desktop printed
// no label; the labels themselves as texts at the same places.
TEST(GraphPicture, GridAndPointsMatchTheDesktopsPanel)
{
    SystemSettings atm = Defaults();
    atm.pressureUnit = 1;
    atm.grphHMin = 0;
    atm.grphHMax = 1.2;
    SystemSettings narrow = Defaults();
    narrow.grphWMin = 20;
    narrow.grphWMax = 24;
    for (const SystemSettings& s : {Defaults(), atm, narrow}) {
        platform::DrawArea area(315, 334, graph::kBackground);
        graph::GraphPanel panel(area);
        render::GraphPicture picture;
        picture.SetLabelInk(graph::InkMeasure(area.Font()));
        panel.GrphRedraw(s);
        picture.GrphRedraw(s);
        AppState st;
        const std::pair<std::int32_t, double> points[] = {{25, 23.8}, {60, 149.4}, {100, 760}, {-80, 0.5}, {200, 5000}};
        for (std::size_t n = 0; n < std::size(points); ++n) {
            st.curLiquid = static_cast<std::int32_t>(n % 3);
            panel.GrphPlotPoint(s, st, points[n].first, points[n].second, "");
            picture.GrphPlotPoint(s, st, points[n].first, points[n].second, "");
        }
        const auto& printed = area.PrintedTexts();
        ASSERT_EQ(printed.size(), picture.Labels().size());
        for (std::size_t n = 0; n < printed.size(); ++n) {
            EXPECT_EQ(printed[n].text.toStdString(), picture.Labels()[n].text);
            EXPECT_EQ(printed[n].topLeft, QPoint(picture.Labels()[n].x, picture.Labels()[n].y));
        }
        int differ = 0;
        for (int y = 0; y < 334; ++y)
            for (int x = 0; x < 315; ++x) {
                bool underText = false;
                for (const auto& text : printed) underText = underText || text.bounds.contains(x, y);
                if (!underText && picture.At(x, y) != FromQt(area.Image().pixel(x, y)) && ++differ <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y;
            }
        EXPECT_EQ(differ, 0);
        EXPECT_EQ(picture.Points().Size(), panel.Points().Size());
    }
}

// Where a report text's ink lies when printed in font as its place mode says (as the
// browser prints it), give or take antialiasing.
QRect ExpectedInk(const render::ReportText& t, const QFont& font)
{
    const QString text = QString::fromStdString(t.text);
    const QFontMetricsF fm(font);
    const mdlGrph::InkBox ink = graph::InkOf(font, t.text);
    // The upright line's top-left corner.
    double x = t.x, y = t.y;
    switch (t.place) {
    case render::ReportText::CentredTop: x = t.x + (t.w - fm.horizontalAdvance(text)) / 2; break;
    case render::ReportText::MiddleLeft: y = t.y - QFontMetrics(font).height() / 2; break;
    case render::ReportText::CentredUpwards: {
        // Centred on the box's centre, then turned a quarter left: (u, v) → (v, −u).
        const double u = -fm.horizontalAdvance(text) / 2, v = -QFontMetrics(font).height() / 2.0;
        const double cx = t.x + t.w / 2.0, cy = t.y + t.h / 2.0;
        return QRectF(QPointF(cx + v + ink.top, cy - u - ink.right), QPointF(cx + v + ink.bottom, cy - u - ink.left))
            .toAlignedRect()
            .adjusted(-2, -2, 2, 2);
    }
    default: break;
    }
    return QRectF(QPointF(x + ink.left, y + ink.top), QPointF(x + ink.right, y + ink.bottom))
        .toAlignedRect()
        .adjusted(-2, -2, 2, 2);
}

// The pixels of r dark enough to be ink; and those of text printed in font on white,
// wherever it lands: tells the weights apart.
int Darkened(const QImage& image, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}
int Darkened(const QFont& font, const QString& text)
{
    const QFontMetrics fm(font);
    QImage image(fm.horizontalAdvance(text) + 2 * fm.height(), 3 * fm.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.drawText(QPoint(fm.height(), fm.height() + fm.ascent()), text);
    p.end();
    return Darkened(image, image.rect());
}

// The desktop's report picture is the core's pixels with the core's texts printed on them:
// every pixel outside the texts' ink is the core's, and each text inks where its place mode
// puts it (a label at its corner, a legend line centred on its marker, the titles centred,
// the pressure's reading upwards). Runs of one liquid at two amounts get two markers; a
// point typed through is left out.
TEST(ReportPicture, IsTheCoresPixelsWithItsTextsPrintedInPlace)
{
    const SystemSettings s = Defaults();
    SystemSettings twoMol = s;
    twoMol.mol = 2;
    AppState st;
    render::GraphPicture picture;
    picture.GrphRedraw(s);
    const struct { std::int32_t t; double p; int liquid; const SystemSettings* s; const char* typed; } points[] = {
        {25, 23.8, 0, &s, nullptr}, {60, 149.4, 2, &s, nullptr}, {100, 760, 0, &twoMol, nullptr},
        {1, 5, 0, &twoMol, "1"}, {-49, 1, 0, &twoMol, "10"}};
    for (const auto& pt : points) {
        st.curLiquid = pt.liquid;
        picture.GrphPlotPoint(*pt.s, st, pt.t, pt.p, "",
                              pt.typed ? std::optional<std::string_view>(pt.typed) : std::nullopt);
    }
    const mdlGrph::PlotRecord& record = picture.Points();
    ASSERT_TRUE(record.At(3).typedThrough);
    const render::Report core = render::MakeReport(record, s, graph::ReportInkMeasure(), graph::ReportLegendWidths(record));
    const QImage desktop = graph::ReportImage(record, s);
    ASSERT_EQ(desktop.size(), QSize(render::kReportWidth, render::kReportHeight));
    EXPECT_EQ(desktop.dotsPerMeterX(), render::kReportDotsPerMetre);
    EXPECT_EQ(desktop.dotsPerMeterY(), render::kReportDotsPerMetre);

    // The grid labels are the desktop's own, measured in its font.
    std::vector<std::pair<std::string, QPoint>> labels;
    for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(s, graph::ReportLabelFrame(), graph::ReportInkMeasure()))
        labels.emplace_back(l.text, QPoint(l.x, l.y));
    std::vector<std::pair<std::string, QPoint>> coreLabels;
    for (const render::ReportText& t : core.texts)
        if (t.place == render::ReportText::TopLeft) coreLabels.emplace_back(t.text, QPoint(t.x, t.y));
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(coreLabels, labels);

    // The legend's markers where the layout says, in their colours; each line clear of
    // every marker and within the panel's width, the room its measured width got.
    const graph::ReportLayout layout = graph::ReportLayoutFor(record);
    ASSERT_EQ(layout.legend.size(), 4u);
    for (const auto& item : layout.legend)
        EXPECT_EQ(desktop.pixel(item.swatch.topLeft()) & 0xFFFFFF, item.color & 0xFFFFFF) << item.text.toStdString();
    std::vector<QRect> inks;
    std::vector<std::string> legend;
    for (const render::ReportText& t : core.texts) {
        inks.push_back(ExpectedInk(t, platform::ProportionalFont(t.pixels, t.bold)));
        const QRect ink = inks.back().adjusted(2, 2, -2, -2);
        const QString text = QString::fromStdString(t.text);
        // In its weight: nearer the bold line's darkness than the regular one's, or the reverse.
        const int dark = Darkened(desktop, inks.back());
        const int bold = Darkened(platform::ProportionalFont(t.pixels, true), text);
        const int regular = Darkened(platform::ProportionalFont(t.pixels, false), text);
        EXPECT_LT(std::abs(dark - (t.bold ? bold : regular)), std::abs(dark - (t.bold ? regular : bold))) << t.text;
        if (t.place == render::ReportText::MiddleLeft) {
            legend.push_back(t.text);
            EXPECT_LT(ink.right(), layout.panel.right() + 1) << t.text;
            for (const auto& item : layout.legend) EXPECT_FALSE(ink.intersects(item.swatch)) << t.text;
        }
        // The titles in the layout's boxes, centred across them.
        if (t.place == render::ReportText::CentredUpwards) {
            EXPECT_GT(ink.height(), 2 * ink.width());
            EXPECT_TRUE(layout.pressureTitle.adjusted(-2, -2, 2, 2).contains(ink)) << t.text;
            EXPECT_NEAR(ink.center().y(), layout.pressureTitle.center().y(), 2) << t.text;
            // Reading upwards: the gap after the first word lies below the rest of the line.
            const QFontMetricsF fm(platform::ProportionalFont(t.pixels, t.bold));
            const qsizetype space = text.indexOf(' ');
            ASSERT_GT(space, 0) << t.text;
            const double start = t.y + t.h / 2.0 + fm.horizontalAdvance(text) / 2;
            const QRect gap(ink.left(), static_cast<int>(std::ceil(start - fm.horizontalAdvance(text.left(space + 1)))) + 2,
                            ink.width(), static_cast<int>(fm.horizontalAdvance(QStringLiteral(" "))) - 4);
            ASSERT_GT(gap.height(), 0);
            EXPECT_EQ(Darkened(desktop, gap), 0) << t.text;
        }
        if (t.place == render::ReportText::CentredTop) {
            EXPECT_TRUE(layout.temperatureTitle.adjusted(-2, -2, 2, 2).contains(ink)) << t.text;
            EXPECT_NEAR(ink.center().x(), layout.temperatureTitle.center().x(), 2) << t.text;
        }
    }
    ASSERT_EQ(legend.size(), 4u);
    EXPECT_EQ(legend[0], "最新の点");

    const auto coreAt = [&](int x, int y) { return core.pixels[static_cast<std::size_t>(y * render::kReportWidth + x)]; };
    std::vector<int> inked(inks.size(), 0);
    int compared = 0, differ = 0;
    for (int y = 0; y < render::kReportHeight; ++y)
        for (int x = 0; x < render::kReportWidth; ++x) {
            const bool same = coreAt(x, y) == FromQt(desktop.pixel(x, y));
            bool inText = false;
            for (std::size_t k = 0; k < inks.size(); ++k)
                if (inks[k].contains(x, y)) {
                    inText = true;
                    inked[k] += same ? 0 : 1;
                }
            if (inText) continue;
            ++compared;
            if (!same && ++differ <= 3) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(compared, render::kReportWidth * render::kReportHeight / 2);
    for (std::size_t k = 0; k < inks.size(); ++k) EXPECT_GT(inked[k], 10) << core.texts[k].text;

    // The points the exports hold, as markers of their runs: the 2 mol run hollow, the
    // newest of it too but red; the typed-through one not there.
    const auto at = [&](std::size_t i, int dx, int dy) {
        const mdlGrph::PlottedPoint& p = record.At(i);
        return desktop.pixel(render::kReportLeft + p.px * 3 + dx, render::kReportTop + p.py * 3 + dy) & 0xFFFFFF;
    };
    EXPECT_EQ(at(4, 0, 0), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(at(4, 4, 4), graph::kBackground & 0xFFFFFF);
    EXPECT_EQ(at(2, 0, 0), graph::LiquidColor(0) & 0xFFFFFF);
    EXPECT_EQ(at(2, 4, 4), graph::kBackground & 0xFFFFFF);
    EXPECT_EQ(at(0, 4, 4), graph::LiquidColor(0) & 0xFFFFFF);
    EXPECT_EQ(at(3, 4, 4), graph::kBackground & 0xFFFFFF);
}

} // namespace
