#pragma once
// Pixels as the browser's canvas takes them: R, G, B, A bytes in that order, rows top to
// bottom, alpha always opaque. Held as 32-bit words on little-endian machines (x86, wasm).
#include <bit>
#include <cstdint>

namespace render {

static_assert(std::endian::native == std::endian::little, "pixels are laid out as RGBA bytes");

using Pixel = std::uint32_t;

constexpr Pixel Rgb(unsigned r, unsigned g, unsigned b)
{
    return Pixel{r & 0xFF} | Pixel{g & 0xFF} << 8 | Pixel{b & 0xFF} << 16 | Pixel{0xFF} << 24;
}
constexpr unsigned RedOf(Pixel p) { return p & 0xFF; }
constexpr unsigned GreenOf(Pixel p) { return p >> 8 & 0xFF; }
constexpr unsigned BlueOf(Pixel p) { return p >> 16 & 0xFF; }

} // namespace render
