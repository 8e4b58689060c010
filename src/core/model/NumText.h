#pragma once
// Conversions between numbers and the text the user types or the files hold.
// Every layer takes numbers from text through here, so the rounding rules live in one place.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace numtext {

// Decimal notation: optional sign, '.' as decimal point, optional exponent, surrounding
// spaces ignored. Empty, malformed or non-finite text gives nothing.
std::optional<double> ParseDouble(std::string_view text);

// The same number rounded to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Nothing when the text is no number or the result does not fit 32 bits.
std::optional<std::int32_t> ParseWhole(std::string_view text);

// Text from an input method with its full-width digits, signs (＋, －, and − U+2212),
// decimal point (．) and ideographic spaces as their ASCII forms; everything else as it is.
std::string FoldFullWidth(std::string_view text);

// ParseDouble and ParseWhole for what a user typed into a box, where full-width forms count
// as their ASCII ones. Files are read with the plain forms.
std::optional<double> ParseTypedDouble(std::string_view text);
std::optional<std::int32_t> ParseTypedWhole(std::string_view text);

// Round half to even into 32 bits; nothing for NaN or out-of-range values.
std::optional<std::int32_t> ToWhole(double value);

// As ToWhole, but saturating: NaN gives 0, beyond the range gives INT32_MIN / INT32_MAX.
std::int32_t ToWholeSaturated(double value);

// General number text: up to 15 significant digits, shortest form, "-" for negatives,
// no decimal point for a whole value (30 -> "30", 22.4 -> "22.4", 0.1+0.2 -> "0.3").
std::string FormatGeneral(double value);

// Decimal integer text.
std::string FormatWhole(std::int64_t value);

// Fixed decimals, halves rounded away from zero on the number's 15-digit decimal form
// (2.5 -> "3" with no decimals, -0.05 -> "-0.1" with one); at least one digit before
// the point, no separators. Non-finite values give "0" in the format.
std::string FormatFixed(double value, int decimals);

} // namespace numtext
