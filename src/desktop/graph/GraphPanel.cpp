#include "desktop/graph/GraphPanel.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <limits>
#include <map>
#include <memory>

#include "core/graph/mdlGrph.h"
#include "core/model/NumText.h"
#include "desktop/platform/Fonts.h"

namespace graph {

namespace {

constexpr double kLabelPoints = 6.75;

} // namespace

QRgb LiquidColor(std::int32_t liquid)
{
    switch (liquid) {
    case 0: return qRgb(0, 0, 192);
    case 1: return qRgb(0, 204, 0);
    default: return qRgb(0, 204, 204);
    }
}

mdlGrph::InkBox InkOf(const QFont& font, std::string_view text)
{
    const QString t = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics fm(font);
    const int pad = fm.height() + 2;
    QImage image(fm.horizontalAdvance(t) + 2 * pad, fm.height() + 2 * pad, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(pad, pad + fm.ascent()), t);
    }
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) != 0xFFFFFF) ink |= QRect(x, y, 1, 1);
    }
    if (ink.isEmpty()) return {};
    return {ink.left() - pad, ink.top() - pad, ink.right() + 1 - pad, ink.bottom() + 1 - pad};
}

mdlGrph::MeasureInk InkMeasure(const QFont& font)
{
    auto known = std::make_shared<std::map<std::string, mdlGrph::InkBox, std::less<>>>();
    return [font, known](std::string_view text) {
        const auto it = known->find(text);
        if (it != known->end()) return it->second;
        const mdlGrph::InkBox ink = InkOf(font, text);
        known->emplace(std::string(text), ink);
        return ink;
    };
}

mdlGrph::LabelFrame PanelLabelFrame()
{
    return mdlGrph::LabelFrame{};
}

GraphPanel::GraphPanel(platform::DrawArea& area, render::GraphPicture& picture)
    : area_(area), picture_(&picture)
{
    Init();
}

GraphPanel::GraphPanel(platform::DrawArea& area)
    : area_(area), own_(std::make_unique<render::GraphPicture>()), picture_(own_.get())
{
    Init();
}

void GraphPanel::Init()
{
    area_.SetFont(platform::ProportionalFont(platform::PixelsForPoints(kLabelPoints)));
    area_.SetTextColor(qRgb(0, 0, 0));
    picture_->SetLabelInk(InkMeasure(area_.Font()));
}


void GraphPanel::PrintLabels()
{
    for (const render::GraphPicture::Label& l : picture_->Labels()) {
        area_.SetTextPos(l.x, l.y);
        area_.Print(QString::fromStdString(l.text));
    }
}

void GraphPanel::Paint()
{
    const render::GraphPicture::Changes& changes = picture_->TakenChanges();
    const auto fill = [this](const render::GraphPicture::Fill& f) {
        const QRgb color = qRgb(render::RedOf(f.color), render::GreenOf(f.color), render::BlueOf(f.color));
        render::GraphPicture::ForEachPanelBox(f, [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
            area_.FillBox(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b), color);
        });
    };
    if (changes.whole) {
        // Drawn again box by box, not copied: at a zoom every line keeps the one width.
        picture_->Replay(fill);
        PrintLabels();
    }
    for (const render::GraphPicture::Fill& f : changes.fills) {
        if (f.labels) PrintLabels();
        else fill(f);
    }
    picture_->ClearChanges();
    area_.Refresh();
}

void GraphPanel::GrphClear()
{
    picture_->GrphClear();
    Paint();
}

void GraphPanel::GrphRedraw(const SystemSettings& s)
{
    picture_->GrphRedraw(s);
    Paint();
}

void GraphPanel::GrphPlotPoint(const SystemSettings& s, const AppState& st, std::int32_t temperature,
                               double pressure, std::string_view readout, std::optional<std::string_view> typed)
{
    if (st.grphVisible == 0) return;
    grphColor = LiquidColor(picture_->LastLiquid());
    picture_->GrphPlotPoint(s, st, temperature, pressure, readout, typed);
    Paint();
}

void GraphPanel::ClearClicked(const SystemSettings& s, const AppState& st, const ShowButton& showClear)
{
    if (showClear) showClear(true);
    picture_->ClearClicked(s, st);
    Paint();
    if (showClear) showClear(false);
}

void GraphPanel::SwitchClicked(const SystemSettings& s, AppState& st, const ShowButton& showSwitch)
{
    if (showSwitch) showSwitch(st.grphVisible == 0);
    picture_->SwitchClicked(s, st);
    Paint();
}

} // namespace graph
