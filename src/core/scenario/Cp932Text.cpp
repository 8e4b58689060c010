#include "Cp932Text.h"

#include <array>
#include <cstdint>

namespace cp932 {

namespace {

#include "Cp932Table.inc"

constexpr char kUnencodable = '?';
constexpr char16_t kUndecodable = u'\uFFFD';
constexpr unsigned kFirstLead = 0x81, kLastLead = 0xFC, kFirstTrail = 0x40, kLastTrail = 0xFC;
constexpr unsigned kTrails = kLastTrail - kFirstTrail + 1;

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(unsigned b) { return b >= kFirstTrail && b <= kLastTrail && b != 0x7F; }
bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

char16_t PairChar(unsigned lead, unsigned trail)
{
    if (lead < kFirstLead || lead > kLastLead || trail < kFirstTrail || trail > kLastTrail) return 0;
    return kPairs[(lead - kFirstLead) * kTrails + (trail - kFirstTrail)];
}

// Code of every BMP character, 0 where the code page has none; built once from the reading
// table and the writer's exceptions.
struct EncodeTable {
    std::array<std::uint16_t, 0x10000> code{};
    EncodeTable()
    {
        for (unsigned b = 0x80; b <= 0xFF; ++b)
            if (const char16_t u = kSingle[b - 0x80]; u && !code[u]) code[u] = static_cast<std::uint16_t>(b);
        for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead)
            for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail)
                if (const char16_t u = PairChar(lead, trail); u && !code[u])
                    code[u] = static_cast<std::uint16_t>(lead << 8 | trail);
        for (const auto& e : kEncodeExceptions) code[e[0]] = e[1];
    }
};

const EncodeTable& Table()
{
    static const EncodeTable table;
    return table;
}

} // namespace

std::string Encode(std::u16string_view text, std::size_t maxBytes)
{
    const EncodeTable& table = Table();
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char16_t unit = text[i];
        // The code page has nothing beyond the BMP: a pair is one character, one "?".
        const bool pair = IsHigh(unit) && i + 1 < text.size() && IsLow(text[i + 1]);
        char bytes[2];
        std::size_t n = 1;
        if (unit < 0x80) {
            bytes[0] = static_cast<char>(unit);
        } else if (const unsigned code = pair || IsHigh(unit) || IsLow(unit) ? 0 : table.code[unit]; code == 0) {
            bytes[0] = kUnencodable;
        } else if (code < 0x100) {
            bytes[0] = static_cast<char>(code);
        } else {
            bytes[0] = static_cast<char>(code >> 8);
            bytes[1] = static_cast<char>(code & 0xFF);
            n = 2;
        }
        if (out.size() + n > maxBytes) break;
        out.append(bytes, n);
        i += pair ? 2 : 1;
    }
    return out;
}

std::u16string Decode(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
        } else if (const char16_t u = kSingle[b - 0x80]; u != 0) {
            out += u;
            ++i;
        } else if (IsLead(b) && i + 1 < bytes.size()) {
            const unsigned trail = static_cast<unsigned char>(bytes[i + 1]);
            const char16_t c = PairChar(b, trail);
            out += c ? c : kUndecodable;
            // An unassigned pair is one bad character; a byte that cannot follow a lead
            // starts over on its own.
            i += c || IsTrail(trail) ? 2 : 1;
        } else {
            out += kUndecodable;
            ++i;
        }
    }
    return out;
}

} // namespace cp932
