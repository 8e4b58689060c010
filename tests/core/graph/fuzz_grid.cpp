// Any axis settings, as a hand-edited settings file can give them: the grid ends promptly
// with at most one line per pixel, and mapping never misbehaves.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/graph/mdlGrph.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    struct {
        std::int32_t wMin, wMax;
        double hMin, hMax;
        std::int32_t unit, temperature;
        double pressure;
    } in{};
    std::memcpy(&in, data, std::min(size, sizeof in));
    SystemSettings s;
    s.grphWMin = in.wMin; s.grphWMax = in.wMax;
    s.grphHMin = in.hMin; s.grphHMax = in.hMax;
    s.pressureUnit = in.unit & 3;

    int columns = 0, rows = 0;
    std::int64_t lastPx = INT64_MIN, lastPy = INT64_MAX;
    mdlGrph::TemperatureGrid(s, [&](std::int32_t px, std::int32_t) {
        if (px <= lastPx || ++columns > 600) std::abort();
        lastPx = px;
    });
    mdlGrph::PressureGrid(s, [&](std::int32_t py, double) {
        if (py >= lastPy || ++rows > 600) std::abort();
        lastPy = py;
    });
    const auto labels = mdlGrph::GridLabels(s, mdlGrph::LabelFrame{}, [](std::string_view text) {
        return mdlGrph::InkBox{0, 2, static_cast<std::int32_t>(5 * text.size()), 9};
    });
    for (std::size_t i = 0; i + 1 < labels.size(); ++i)
        if (labels[i].temperature == labels[i + 1].temperature
            && mdlGrph::InkTouches(labels[i].ink, labels[i + 1].ink, 3))
            std::abort();
    std::int32_t x, y, px, py;
    mdlGrph::GrphScale(s, in.temperature, in.pressure, x, y);
    mdlGrph::GrphPixel(x, y, px, py);
    return 0;
}
