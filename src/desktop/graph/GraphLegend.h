#pragma once
// The legend a teacher may show over the graph's empty upper-left corner: the newest point's
// red and each run's liquid, amount and marker, as the program lists them and the panel
// draws them. It takes no clicks: the graph's menu stays under it.
#include <QFont>
#include <QWidget>
#include <vector>

#include "core/render/ReportPicture.h"

namespace graph {

class GraphLegend : public QWidget {
public:
    explicit GraphLegend(QWidget* parent = nullptr);

    // The lines to show; hidden while there are none or the legend is turned off.
    void SetItems(std::vector<render::LegendItem> items);
    void SetOn(bool on);
    bool On() const { return on_; }
    // The view's zoom, in percent: the legend scales with the graph under it.
    void SetZoom(int percent);

    // Where the legend's top-left corner sits on the 100 % panel.
    static constexpr int kLeft = 20;
    static constexpr int kTop = 4;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void LayOut();

    std::vector<render::LegendItem> items_;
    bool on_ = false;
    int zoom_ = 100;
    QFont font_;
};

} // namespace graph
