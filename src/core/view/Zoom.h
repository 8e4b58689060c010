#pragma once
// The projector view's arithmetic: where a pixel of the 100 % layout lands at a zoom, how
// large a drawn mark becomes, and which zoom fills a screen. Plain integers, no toolkit.
//
// Every picture of the window is scaled on one grid: design pixel v of the window covers
// zoomed pixels [Scale(v), Scale(v + 1)). A part placed at design offset o maps its own
// pixel v to Edge(o, v), so parts drawn separately meet the background without seams.
#include <cstdint>

namespace zoom {

// The zooms of the menu. Full screen may take any whole percent from kMinPercent to
// kMaxPercent, the largest that fills the screen.
constexpr int kChoices[] = {100, 150, 200};
constexpr int kMinPercent = 100;
constexpr int kMaxPercent = 400;

// 100, 150 or 200.
bool IsChoice(int percent);
// kMinPercent..kMaxPercent; anything else is taken as 100 by the arithmetic below.
bool IsZoom(int percent);

// floor(v × percent / 100), saturated to int; exact for any int. A source pixel becomes
// ⌊percent / 100⌋ or one more screen pixels, so a picture scaled on this grid keeps its
// place; marks that must keep one shape wherever they lie take Length instead.
int Scale(std::int64_t v, int percent);

// Pixel v of a part at design offset origin, measured from the part's zoomed top-left.
int Edge(int origin, std::int64_t v, int percent);

// Zoomed size of a mark n design pixels long (a point, a line's width, a sprite): n ×
// percent / 100 rounded half up, at least 1 for n ≥ 1. The same wherever the mark lies,
// so every molecule and every point keeps one shape.
int Length(std::int64_t n, int percent);

// Zoomed size of a text's font, in pixels.
int FontPixels(int pixels, int percent);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};
// A design rectangle of the window on the window's grid.
Rect ScaleRect(const Rect& design, int percent);

// The largest choice at which a client of the given design size fits the space; 100 when
// none does (never below it).
int FitZoom(int spaceWidth, int spaceHeight, int clientWidth, int clientHeight);

struct Size {
    int width = 0, height = 0;
};

// What the window holds besides the client picture: the menu bar, which scales with the
// view (its height at 100 %), and the window manager's frame, which does not (pixels).
struct Chrome {
    int menuBarHeight = 0;
    Size frame;
};

// The window's outer size at percent.
Size WindowSize(int percent, Size client, const Chrome& chrome);
// Whether the whole window, frame included, lies within space (the screen's available area).
bool Fits(int percent, Size space, Size client, const Chrome& chrome);
// The zoom to open with: the remembered one when it fits, else the largest choice that
// does, else 100.
int FallbackZoom(int remembered, Size space, Size client, const Chrome& chrome);
// Full screen (no frame): the largest whole percent from 100 to kMaxPercent at which the
// client and the menu bar fit the screen; 100 when even that does not.
int FullScreenZoom(Size screen, Size client, int menuBarHeight);

} // namespace zoom
