#include "desktop/graph/GraphLegend.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "core/render/GraphPicture.h"
#include "core/view/Zoom.h"
#include "desktop/platform/Fonts.h"

namespace graph {

namespace {

// In the 100 % panel's pixels.
constexpr int kPad = 4;
constexpr int kRow = 15;
constexpr int kSwatch = 9;
constexpr int kSwatchGap = 5;
constexpr int kFontPixels = 12;

QColor ToQt(render::Pixel p) { return QColor(render::RedOf(p), render::GreenOf(p), render::BlueOf(p)); }

} // namespace

GraphLegend::GraphLegend(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("凡例"));
    hide();
    LayOut();
}

void GraphLegend::SetItems(std::vector<render::LegendItem> items)
{
    items_ = std::move(items);
    QStringList lines;
    for (const render::LegendItem& it : items_) lines << QString::fromStdString(it.text);
    setAccessibleDescription(lines.join(QStringLiteral("、")));
    LayOut();
}

void GraphLegend::SetOn(bool on)
{
    on_ = on;
    LayOut();
}

void GraphLegend::SetZoom(int percent)
{
    zoom_ = zoom::IsZoom(percent) ? percent : 100;
    LayOut();
}

void GraphLegend::LayOut()
{
    font_ = platform::ProportionalFont(zoom::FontPixels(kFontPixels, zoom_));
    const QFontMetrics fm(font_);
    int text = 0;
    for (const render::LegendItem& it : items_)
        text = std::max(text, fm.horizontalAdvance(QString::fromStdString(it.text)));
    const int z = zoom_;
    const int width = zoom::Length(2 * kPad + kSwatch + kSwatchGap, z) + text + 1;
    const int height = zoom::Length(2 * kPad + kRow * static_cast<int>(items_.size()), z);
    setGeometry(zoom::Scale(kLeft, z), zoom::Scale(kTop, z), width, height);
    setVisible(on_ && !items_.empty());
    update();
}

void GraphLegend::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(font_);
    const int z = zoom_;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const render::LegendItem& it = items_[i];
        const int top = kPad + kRow * static_cast<int>(i);
        const int side = std::max(zoom::Length(kSwatch, z), render::MarkCells(it.shape));
        const int x = zoom::Scale(kPad, z);
        const int y = zoom::Scale(top + (kRow - kSwatch) / 2, z);
        render::ForEachMarkBox(it.shape, x, y, side, [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
            p.fillRect(QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t)),
                       ToQt(it.color));
        });
        p.setPen(Qt::black);
        const QRect line(zoom::Scale(kPad + kSwatch + kSwatchGap, z), zoom::Scale(top, z), width(), zoom::Length(kRow, z));
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(it.text));
    }
}

} // namespace graph
