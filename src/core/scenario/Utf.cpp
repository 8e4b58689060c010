#include "core/scenario/Utf.h"

#include <cstdint>

namespace utf {

std::u16string Utf16Of(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned b = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        const auto cont = [&](std::size_t k) {
            return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        };
        const auto bits = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]) & 0x3Fu; };
        if (b < 0x80) {
            cp = b;
        } else if (b >= 0xC2 && b <= 0xDF && cont(1)) {
            cp = (b & 0x1Fu) << 6 | bits(1);
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(1) && cont(2)) {
            const std::uint32_t c = (b & 0x0Fu) << 12 | bits(1) << 6 | bits(2);
            if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
                cp = c;
                len = 3;
            }
        } else if (b >= 0xF0 && b <= 0xF4 && cont(1) && cont(2) && cont(3)) {
            const std::uint32_t c = (b & 0x07u) << 18 | bits(1) << 12 | bits(2) << 6 | bits(3);
            if (c >= 0x10000 && c <= 0x10FFFF) {
                cp = c;
                len = 4;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

std::string Utf8Of(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size() * 3);
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

} // namespace utf
