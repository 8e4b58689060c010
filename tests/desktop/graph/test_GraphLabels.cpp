// Grid labels never run together and never leave the panel, for the ranges the settings
// dialog accepts, in each Japanese font the program may find. The rule is the graph core's;
// the fonts' ink comes from drawing them.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "desktop/graph/GraphPanel.h"
#include "desktop/graph/GraphReport.h"
#include "desktop/platform/Fonts.h"

namespace {

struct Range {
    const char* name;
    std::int32_t temperatureUnit, pressureUnit, wMin, wMax;
    double hMin, hMax;
};

// The settings dialog takes 3 characters per temperature end and 4 per pressure end.
constexpr Range kRanges[] = {
    {"default", 0, 0, -50, 150, 0, 800},
    {"kelvin", 1, 0, 223, 423, 0, 800},
    {"mmHg to 3000", 0, 0, -50, 150, 0, 3000},
    {"atm", 0, 1, 0, 120, 0, 2},
    {"atm to 1.2", 0, 1, -50, 150, 0, 1.2},
    {"hPa", 0, 2, 0, 120, 0, 2000},
    {"widest temperatures", 1, 0, -99, 999, 0, 9999},
    {"negative pressures", 0, 0, -99, 99, -999, 9999},
    {"narrow", 0, 0, 0, 10, 0, 100},
    {"offset start", 0, 0, -45, 155, 50, 850},
    {"tenths of atm", 0, 1, 20, 80, 0.5, 1.5},
    {"reversed", 0, 0, 150, -50, 800, 0},
};

const char* const kFonts[] = {"IPAPGothic", "Noto Sans CJK JP"};

SystemSettings SettingsFor(const Range& r)
{
    SystemSettings s;
    s.temperatureUnit = r.temperatureUnit; s.pressureUnit = r.pressureUnit;
    s.grphWMin = r.wMin; s.grphWMax = r.wMax; s.grphHMin = r.hMin; s.grphHMax = r.hMax;
    return s;
}

struct Labels : ::testing::TestWithParam<const char*> {
    void SetUp() override { platform::UseFontChains({QString::fromUtf8(GetParam())}, {}); }
    void TearDown() override { platform::UseFontChains({}, {}); }
};

void ExpectApartAndInside(const std::vector<mdlGrph::GridLabel>& labels,
                          const mdlGrph::LabelFrame& frame, const std::string& what)
{
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const mdlGrph::InkBox& a = labels[i].ink;
        EXPECT_FALSE(a.Empty()) << what << " " << labels[i].text;
        EXPECT_TRUE(a.left >= frame.bounds.left && a.top >= frame.bounds.top
                    && a.right <= frame.bounds.right && a.bottom <= frame.bounds.bottom)
            << what << ": " << labels[i].text << " leaves the area";
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            EXPECT_FALSE(mdlGrph::InkTouches(a, labels[j].ink, frame.gap))
                << what << ": " << labels[i].text << " and " << labels[j].text;
    }
}

bool Has(const std::vector<mdlGrph::GridLabel>& labels, bool temperature, const std::string& text)
{
    for (const auto& l : labels)
        if (l.temperature == temperature && l.text == text) return true;
    return false;
}

} // namespace

TEST_P(Labels, ApartInsideAndZeroKeptOnThePanelAndThePicture)
{
    const QFont panelFont = platform::ProportionalFont(9);
    ASSERT_EQ(QFontInfo(panelFont).family(), QFontInfo(QFont(QString::fromUtf8(GetParam()))).family());
    const auto panelInk = graph::InkMeasure(panelFont);
    for (const Range& r : kRanges) {
        const SystemSettings s = SettingsFor(r);
        const auto labels = mdlGrph::GridLabels(s, graph::PanelLabelFrame(), panelInk);
        ExpectApartAndInside(labels, graph::PanelLabelFrame(), std::string("panel, ") + r.name);
        const auto picture = mdlGrph::GridLabels(s, graph::ReportLabelFrame(), graph::ReportInkMeasure());
        ExpectApartAndInside(picture, graph::ReportLabelFrame(), std::string("picture, ") + r.name);
        if (r.wMin < r.wMax) {
            EXPECT_GE(std::count_if(labels.begin(), labels.end(), [](auto& l) { return l.temperature; }), 2) << r.name;
        }
        if (r.hMin < r.hMax) {
            EXPECT_GE(std::count_if(labels.begin(), labels.end(), [](auto& l) { return !l.temperature; }), 2) << r.name;
        }
        if (r.wMin <= 0 && r.wMax >= 0 && r.wMin % 10 == 0) {
            EXPECT_TRUE(Has(labels, true, "0")) << r.name;
            EXPECT_TRUE(Has(picture, true, "0")) << r.name;
        }
        const double steps = r.hMin / (r.pressureUnit == 1 ? 0.1 : 100);
        if (r.hMin <= 0 && r.hMax >= 0 && std::fabs(steps - std::round(steps)) < 1e-9) {
            EXPECT_TRUE(Has(labels, false, "0")) << r.name;
            EXPECT_TRUE(Has(picture, false, "0")) << r.name;
        }
    }
}

// The ends: each label sits at its line like the others, or gives way where there is no
// room; an axis of two lines keeps both its labels, so that it still shows its scale.
TEST_P(Labels, EndLabelsSitAtTheirLinesOrGiveWay)
{
    const auto ink = graph::InkMeasure(platform::ProportionalFont(9));
    SystemSettings s = SettingsFor(kRanges[0]);
    const auto labels = mdlGrph::GridLabels(s, graph::PanelLabelFrame(), ink);
    EXPECT_FALSE(Has(labels, false, "800")); // no room above the top line
    EXPECT_TRUE(Has(labels, false, "700"));
    for (const auto& l : labels)
        if (!l.temperature) EXPECT_LE(l.ink.bottom, 320 - std::stoi(l.text) * 2 / 5) << l.text;
    s.grphWMin = 0; s.grphWMax = 100; // ten columns 30 px apart: all but the last at the edge
    const auto wide = mdlGrph::GridLabels(s, graph::PanelLabelFrame(), ink);
    EXPECT_TRUE(Has(wide, true, "0"));
    EXPECT_TRUE(Has(wide, true, "90"));
    const auto narrow = mdlGrph::GridLabels(SettingsFor(kRanges[8]), graph::PanelLabelFrame(), ink);
    EXPECT_TRUE(Has(narrow, false, "0"));
    EXPECT_TRUE(Has(narrow, false, "100"));
}

INSTANTIATE_TEST_SUITE_P(BothFonts, Labels, ::testing::ValuesIn(kFonts));

namespace {

// The grabbed panel: the dark pixels of the label strip below the frame fall into runs
// that are the labels drawn, and each run is apart from the next by more than a digit's
// own spacing.
struct Grabbed : ::testing::TestWithParam<std::tuple<const char*, Range>> {
    void SetUp() override { platform::UseFontChains({QString::fromUtf8(std::get<0>(GetParam()))}, {}); }
    void TearDown() override { platform::UseFontChains({}, {}); }
};

} // namespace

TEST_P(Grabbed, PanelLabelsStandApart)
{
    platform::DrawArea area(315, 334, qRgb(255, 255, 255));
    graph::GraphPanel panel(area);
    const SystemSettings s = SettingsFor(std::get<1>(GetParam()));
    panel.GrphRedraw(s);
    const QImage& image = area.Image();
    const auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 160; };
    const auto labels = mdlGrph::GridLabels(s, graph::PanelLabelFrame(), graph::InkMeasure(area.Font()));
    ASSERT_FALSE(labels.empty());
    // Each label's ink shows in full, and between two neighbours lies a blank band.
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const mdlGrph::InkBox& b = labels[i].ink;
        int inked = 0;
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < b.right; ++x) inked += dark(x, y);
        EXPECT_GT(inked, 3) << labels[i].text;
        if (i + 1 < labels.size() && labels[i + 1].temperature == labels[i].temperature) {
            const mdlGrph::InkBox& n = labels[i + 1].ink;
            if (labels[i].temperature) {
                for (int y = b.top; y < b.bottom; ++y)
                    for (int x = b.right; x < n.left; ++x)
                        EXPECT_FALSE(dark(x, y)) << labels[i].text << " runs into " << labels[i + 1].text;
                EXPECT_GE(n.left - b.right, 3);
            } else {
                EXPECT_GE(b.top - n.bottom, 3) << labels[i].text << " / " << labels[i + 1].text;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    DefaultKelvinAnd3000, Grabbed,
    ::testing::Combine(::testing::ValuesIn(kFonts),
                       ::testing::Values(kRanges[0], kRanges[1], kRanges[2])));
