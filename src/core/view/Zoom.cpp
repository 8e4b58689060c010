#include "core/view/Zoom.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace zoom {

namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();

int Saturate(std::int64_t v) { return static_cast<int>(std::clamp(v, kIntMin, kIntMax)); }

// The percent used by the arithmetic: a choice, else 100, so no input can overflow it.
std::int64_t Factor(int percent) { return IsZoom(percent) ? percent : 100; }

std::int64_t FloorDiv100(std::int64_t v)
{
    return v >= 0 ? v / 100 : -((-v + 99) / 100);
}

} // namespace

bool IsChoice(int percent)
{
    return std::find(std::begin(kChoices), std::end(kChoices), percent) != std::end(kChoices);
}

bool IsZoom(int percent) { return percent >= kMinPercent && percent <= kMaxPercent; }

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

Size WindowSize(int percent, Size client, const Chrome& chrome)
{
    const std::int64_t w = std::int64_t{Scale(client.width, percent)} + std::max(0, chrome.frame.width);
    const std::int64_t h = std::int64_t{Scale(client.height, percent)} + Length(chrome.menuBarHeight, percent)
                           + std::max(0, chrome.frame.height);
    return {Saturate(w), Saturate(h)};
}

bool Fits(int percent, Size space, Size client, const Chrome& chrome)
{
    const Size w = WindowSize(percent, client, chrome);
    return w.width <= space.width && w.height <= space.height;
}

int FallbackZoom(int remembered, Size space, Size client, const Chrome& chrome)
{
    if (IsChoice(remembered) && Fits(remembered, space, client, chrome)) return remembered;
    for (auto it = std::rbegin(kChoices); it != std::rend(kChoices); ++it)
        if (Fits(*it, space, client, chrome)) return *it;
    return 100;
}

int FullScreenZoom(Size screen, Size client, int menuBarHeight)
{
    const Chrome bare{menuBarHeight, {}};
    for (int p = kMaxPercent; p > kMinPercent; --p)
        if (Fits(p, screen, client, bare)) return p;
    return kMinPercent;
}

} // namespace zoom
