#include "Cp932Icu.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/utf16.h>

#include <array>
#include <memory>
#include <vector>

namespace cp932_icu {

namespace {

constexpr char kUnencodable = '?';
constexpr char16_t kUndecodable = u'\uFFFD';

struct CloseConverter {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, CloseConverter>;

// Stop callbacks both ways, so every failure is seen here rather than patched by ICU.
Converter Open()
{
    for (const char* name : {"windows-31j", "ibm-943_P15A-2003"}) {
        UErrorCode status = U_ZERO_ERROR;
        Converter c(ucnv_open(name, &status));
        if (U_FAILURE(status)) continue;
        ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        if (U_SUCCESS(status)) return c;
    }
    return nullptr;
}

// One code point; empty when the code page has no mapping for it.
std::string EncodeOne(UConverter* c, const char16_t* units, int32_t count)
{
    std::array<char, 8> out{};
    char* target = out.data();
    const UChar* source = reinterpret_cast<const UChar*>(units);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(c);
    ucnv_fromUnicode(c, &target, out.data() + out.size(), &source, source + count, nullptr, true,
                     &status);
    if (U_FAILURE(status)) return {};
    return std::string(out.data(), static_cast<std::size_t>(target - out.data()));
}

// Characters that input methods on Linux produce in the JIS way, which the code page writes
// with the bytes of their Windows look-alikes (wave dash as the full-width tilde, and so on).
unsigned JisStyleCode(char16_t unit)
{
    switch (unit) {
    case u'\u301C': return 0x8160; // WAVE DASH
    case u'\u2212': return 0x817C; // MINUS SIGN
    case u'\u2016': return 0x8161; // DOUBLE VERTICAL LINE
    case u'\u2014': return 0x815C; // EM DASH
    case u'\u00A2': return 0x8191; // CENT SIGN
    case u'\u00A3': return 0x8192; // POUND SIGN
    case u'\u00AC': return 0x81CA; // NOT SIGN
    default: return 0;
    }
}

} // namespace

std::string Encode(std::u16string_view text, std::size_t maxBytes)
{
    const Converter c = Open();
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t unit = text[i];
        const bool pair = U16_IS_LEAD(unit) && i + 1 < text.size() && U16_IS_TRAIL(text[i + 1]);
        const std::size_t width = pair ? 2 : 1;
        std::string bytes;
        // cp932 is ASCII on 0x00-0x7F; ICU's table swaps three control codes the IBM way.
        if (unit < 0x80) bytes.assign(1, static_cast<char>(unit));
        else if (const unsigned jis = JisStyleCode(unit); jis != 0)
            bytes = {static_cast<char>(jis >> 8), static_cast<char>(jis & 0xFF)};
        else if (c && !U16_IS_SURROGATE(unit)) bytes = EncodeOne(c.get(), &text[i], 1);
        else if (c && pair) bytes = EncodeOne(c.get(), &text[i], 2);
        if (bytes.empty()) bytes.assign(1, kUnencodable);
        if (out.size() + bytes.size() > maxBytes) break;
        out += bytes;
        i += width;
    }
    return out;
}

std::u16string Decode(std::string_view bytes)
{
    std::u16string out;
    const Converter c = Open();
    if (!c) {
        for (const char b : bytes)
            out += static_cast<unsigned char>(b) < 0x80 ? static_cast<char16_t>(b) : kUndecodable;
        return out;
    }
    // Each byte gives at most one unit, so one pass always has room to reach the end or a bad
    // sequence.
    std::vector<UChar> buffer(bytes.size() + 1);
    std::vector<int32_t> offsets(buffer.size());
    const char* source = bytes.data();
    const char* const end = bytes.data() + bytes.size();
    while (source < end) {
        const char* const start = source;
        UChar* const first = buffer.data();
        UChar* target = first;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetToUnicode(c.get());
        ucnv_toUnicode(c.get(), &target, first + buffer.size(), &source, end, offsets.data(), true,
                       &status);
        for (UChar* u = first; u < target; ++u) {
            const int32_t offset = offsets[static_cast<std::size_t>(u - first)];
            const auto at = offset >= 0 && offset < end - start
                ? static_cast<unsigned char>(start[offset]) : 0xFFu;
            out += at < 0x80 ? static_cast<char16_t>(at) : static_cast<char16_t>(*u);
        }
        if (U_FAILURE(status)) {
            // The stop callback has consumed the bad sequence; go on after it.
            out += kUndecodable;
            if (source == start) ++source; // never stall
        }
    }
    return out;
}

} // namespace cp932_icu
