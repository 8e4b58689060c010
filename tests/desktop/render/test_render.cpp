// The cores' pixels against the desktop's drawing areas: the browser shows what the desktop
// shows at 100 %.
#include <gtest/gtest.h>

#include <QImageReader>
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

// The report picture's grid, points, markers and legend against the desktop's picture,
// wherever no text lies; its grid labels are the desktop's, at the desktop's places. Runs
// of one liquid at two amounts get two markers; a point typed through is left out.
TEST(ReportPicture, MatchesTheDesktopsPictureOutsideTheTexts)
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
    ASSERT_TRUE(picture.Points().At(3).typedThrough);
    const QFont label = platform::ProportionalFont(render::kReportLabelPixels);
    const QFont title = platform::ProportionalFont(render::kReportTitlePixels, true);
    const QFontMetrics lm(label), tm(title);
    std::vector<int> widths;
    for (const render::LegendItem& it : render::LegendItems(picture.Points()))
        widths.push_back(lm.horizontalAdvance(QString::fromStdString(it.text)));
    const render::Report core = render::MakeReport(picture.Points(), s, graph::ReportInkMeasure(), widths);
    const QImage desktop = graph::ReportImage(picture.Points(), s);
    ASSERT_EQ(desktop.size(), QSize(render::kReportWidth, render::kReportHeight));
    EXPECT_EQ(desktop.dotsPerMeterX(), render::kReportDotsPerMetre);

    std::vector<std::pair<std::string, QPoint>> labels;
    for (const mdlGrph::GridLabel& l : mdlGrph::GridLabels(s, graph::ReportLabelFrame(), graph::ReportInkMeasure()))
        labels.emplace_back(l.text, QPoint(l.x, l.y));
    std::vector<std::pair<std::string, QPoint>> coreLabels;
    for (const render::ReportText& t : core.texts)
        if (t.place == render::ReportText::TopLeft) coreLabels.emplace_back(t.text, QPoint(t.x, t.y));
    EXPECT_EQ(coreLabels, labels);
    std::vector<std::string> legend;
    for (const render::ReportText& t : core.texts)
        if (t.place == render::ReportText::MiddleLeft) legend.push_back(t.text);
    ASSERT_EQ(legend.size(), 4u);
    EXPECT_EQ(legend[0], "最新の点");

    std::vector<QRect> texts;
    for (const render::ReportText& t : core.texts) {
        const QString text = QString::fromStdString(t.text);
        const QFontMetrics& fm = t.bold ? tm : lm;
        switch (t.place) {
        case render::ReportText::TopLeft: texts.emplace_back(t.x, t.y, fm.horizontalAdvance(text), fm.height()); break;
        case render::ReportText::MiddleLeft:
            texts.emplace_back(t.x, t.y - fm.height(), fm.horizontalAdvance(text), 2 * fm.height());
            break;
        default: texts.emplace_back(t.x, t.y, t.w, t.h); break;
        }
        texts.back().adjust(-3, -3, 3, 3);
    }
    int compared = 0, differ = 0;
    for (int y = 0; y < render::kReportHeight; ++y)
        for (int x = 0; x < render::kReportWidth; ++x) {
            if (std::any_of(texts.begin(), texts.end(), [&](const QRect& r) { return r.contains(x, y); })) continue;
            ++compared;
            const Pixel c = core.pixels[static_cast<std::size_t>(y * render::kReportWidth + x)];
            if (c != FromQt(desktop.pixel(x, y)) && ++differ <= 3) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(compared, render::kReportWidth * render::kReportHeight / 2);
}

} // namespace
