#include "NumText.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace numtext {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view t)
{
    while (!t.empty() && IsSpace(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsSpace(t.back())) t.remove_suffix(1);
    return t;
}

// Accepts only [sign] digits [. digits] [e [sign] digits] with at least one mantissa digit;
// strtod alone would also take hex, "inf" and "nan".
bool IsDecimal(std::string_view t)
{
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++expDigits; }
        if (expDigits == 0) return false;
    }
    return i == t.size();
}

} // namespace

std::optional<double> ParseDouble(std::string_view text)
{
    const std::string_view t = Trim(text);
    if (!IsDecimal(t)) return std::nullopt;
    const std::string s(t);
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<std::int32_t> ToWhole(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value); // default rounding mode: halves to even
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min())
        || r > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::int32_t ToWholeSaturated(double value)
{
    if (std::isnan(value)) return 0;
    if (const auto w = ToWhole(value)) return *w;
    return value < 0 ? std::numeric_limits<std::int32_t>::min()
                     : std::numeric_limits<std::int32_t>::max();
}

std::optional<std::int32_t> ParseWhole(std::string_view text)
{
    const auto d = ParseDouble(text);
    if (!d) return std::nullopt;
    return ToWhole(*d);
}

std::string FoldFullWidth(std::string_view text)
{
    // Every folded form is three bytes of UTF-8 starting with a lead byte, which never occurs
    // inside another character, so a byte-wise scan cannot split one.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (i + 2 < text.size()) {
            const auto b0 = static_cast<unsigned char>(text[i]);
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            char ascii = 0;
            if (b0 == 0xEF && b1 == 0xBC) { // U+FF00..U+FF3F
                if (b2 >= 0x90 && b2 <= 0x99) ascii = static_cast<char>('0' + (b2 - 0x90));
                else if (b2 == 0x8B) ascii = '+';
                else if (b2 == 0x8D) ascii = '-';
                else if (b2 == 0x8E) ascii = '.';
            } else if (b0 == 0xE2 && b1 == 0x88 && b2 == 0x92) { // U+2212 MINUS SIGN
                ascii = '-';
            } else if ((b0 == 0xE3 && b1 == 0x83 && b2 == 0xBC)     // U+30FC ー, the input method's minus
                       || (b0 == 0xEF && b1 == 0xBD && b2 == 0xB0)) { // U+FF70 ｰ, its half-width form
                ascii = '-';
            } else if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) { // U+3000 IDEOGRAPHIC SPACE
                ascii = ' ';
            }
            if (ascii != 0) {
                out += ascii;
                i += 3;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::optional<double> ParseTypedDouble(std::string_view text)
{
    // The temperature box is read on every frame: plain ASCII, the usual case, needs no copy.
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? ParseDouble(text) : ParseDouble(FoldFullWidth(text));
}

std::optional<std::int32_t> ParseTypedWhole(std::string_view text)
{
    const auto d = ParseTypedDouble(text);
    if (!d) return std::nullopt;
    return ToWhole(*d);
}

std::string FormatGeneral(double value)
{
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0"; // also for -0
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

std::string FormatWhole(std::int64_t value)
{
    return std::to_string(value);
}

std::string FormatFixed(double value, int decimals)
{
    if (decimals < 0) decimals = 0;
    if (decimals > 15) decimals = 15;
    if (!std::isfinite(value)) value = 0;

    // The number's 15 significant digits, then decimal rounding half away from zero,
    // so 0.15 (stored as 0.1499999...) still shows as 0.2 with one decimal.
    const bool negative = std::signbit(value) && value != 0;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.dddddddddddddde±XX
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exp10 = std::atoi(buf + 17);

    // digits represent 0.d1d2...d15 × 10^(exp10+1). Number of integer digits:
    const int intDigits = exp10 + 1;
    const int keep = intDigits + decimals; // digits to keep from the front
    std::string kept;
    if (keep <= 0) {
        // Everything lies below the last shown decimal; round on the first digit when it
        // sits right at the next position.
        const bool up = keep == 0 && digits[0] >= '5';
        kept = up ? "1" : "0";
        // kept now stands for the last shown decimal position.
        std::string out;
        std::string whole = "0";
        std::string frac(static_cast<std::size_t>(decimals), '0');
        if (up) {
            if (decimals > 0) frac.back() = '1'; else whole = "1";
        }
        out = whole;
        if (decimals > 0) out += "." + frac;
        const bool allZero = !up;
        return (negative && !allZero ? "-" : "") + out;
    }
    if (keep >= static_cast<int>(digits.size())) {
        kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    } else {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        if (digits[static_cast<std::size_t>(keep)] >= '5') {
            int k = keep - 1;
            while (k >= 0 && kept[static_cast<std::size_t>(k)] == '9') {
                kept[static_cast<std::size_t>(k)] = '0';
                --k;
            }
            if (k >= 0) ++kept[static_cast<std::size_t>(k)];
            else kept.insert(kept.begin(), '1');
        }
    }
    // kept holds all digits down to the last decimal.
    std::string whole = kept.size() > static_cast<std::size_t>(decimals)
        ? kept.substr(0, kept.size() - static_cast<std::size_t>(decimals)) : std::string();
    std::string frac = kept.substr(kept.size() - std::min<std::size_t>(kept.size(), decimals));
    frac.insert(frac.begin(), static_cast<std::size_t>(decimals) - frac.size(), '0');
    const auto nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "0" : whole.substr(nz);
    const bool allZero = whole == "0" && frac.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !allZero ? "-" : "") + whole;
    if (decimals > 0) out += "." + frac;
    return out;
}

} // namespace numtext
