#include "platform/Zoom.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace zoom {

namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

int Saturate(std::int64_t v) { return static_cast<int>(std::clamp(v, kIntMin, kIntMax)); }

// The percent used by the arithmetic: a choice, else 100, so no input can overflow it.
std::int64_t Factor(int percent) { return IsChoice(percent) ? percent : 100; }

std::int64_t FloorDiv100(std::int64_t v)
{
    return v >= 0 ? v / 100 : -((-v + 99) / 100);
}

} // namespace

bool IsChoice(int percent)
{
    return std::find(std::begin(kChoices), std::end(kChoices), percent) != std::end(kChoices);
}

int Scale(std::int64_t v, int percent)
{
    // |v| ≤ 2^32 keeps the product far inside 64 bits.
    v = std::clamp<std::int64_t>(v, -(std::int64_t{1} << 32), std::int64_t{1} << 32);
    return Saturate(FloorDiv100(v * Factor(percent)));
}

int Edge(int origin, std::int64_t v, int percent)
{
    return Saturate(std::int64_t{Scale(std::int64_t{origin} + v, percent)} - Scale(origin, percent));
}

int Length(std::int64_t n, int percent)
{
    if (n <= 0) return 0;
    n = std::min<std::int64_t>(n, std::int64_t{1} << 32);
    return Saturate(std::max<std::int64_t>(1, (n * Factor(percent) + 50) / 100));
}

int FontPixels(int pixels, int percent) { return std::max(1, Length(pixels, percent)); }

Rect ScaleRect(const Rect& d, int percent)
{
    const int x = Scale(d.x, percent), y = Scale(d.y, percent);
    return {x, y, Saturate(std::int64_t{Scale(std::int64_t{d.x} + d.width, percent)} - x),
            Saturate(std::int64_t{Scale(std::int64_t{d.y} + d.height, percent)} - y)};
}

int FitZoom(int spaceWidth, int spaceHeight, int clientWidth, int clientHeight)
{
    for (auto it = std::rbegin(kChoices); it != std::rend(kChoices); ++it)
        if (Scale(clientWidth, *it) <= spaceWidth && Scale(clientHeight, *it) <= spaceHeight)
            return *it;
    return 100;
}

} // namespace zoom
