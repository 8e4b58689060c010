// Arbitrary bytes as a scenario file: decoding never fails on a whole record, keeps the step
// count inside the slots, and what it gives survives an encode and a second decode.
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "desktop/scenario/mdlSinario.h"

using namespace mdlSinario;

namespace {

void Check(bool ok)
{
    if (!ok) std::abort();
}

// Doubles by their bits: a NaN read from a file must come back as the same NaN.
bool SameStep(const SinarioStep& a, const SinarioStep& b)
{
    return a.kind == b.kind && a.value == b.value && a.addTemp == b.addTemp && a.mol == b.mol
        && std::bit_cast<std::uint64_t>(a.container) == std::bit_cast<std::uint64_t>(b.container)
        && a.temperatureUnit == b.temperatureUnit && a.pressureUnit == b.pressureUnit
        && a.grphWMin == b.grphWMin && a.grphWMax == b.grphWMax && a.grphHMin == b.grphHMin
        && a.grphHMax == b.grphHMax;
}

bool SameRecord(const SinarioData& a, const SinarioData& b)
{
    if (a.title != b.title || a.stepCount != b.stepCount) return false;
    for (std::size_t n = 0; n < a.steps.size(); ++n)
        if (!SameStep(a.steps[n], b.steps[n])) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    if (bytes.size() < kRecordSize) {
        SinarioData untouched;
        SetTitle(untouched, QStringLiteral("untouched"));
        const SinarioData before = untouched;
        Check(!DecodeSinario(bytes.data(), bytes.size(), untouched));
        Check(untouched == before);
        bytes.resize(kRecordSize, 0); // and go on with the short input as a record
    }

    if (!SinarioRecordFault(bytes.data(), bytes.size()).empty()) {
        // No scenario holds this record: refused, and what was in use stays.
        SinarioData untouched;
        SetTitle(untouched, QStringLiteral("untouched"));
        const SinarioData before = untouched;
        Check(!DecodeSinario(bytes.data(), bytes.size(), untouched));
        Check(untouched == before);
        return 0;
    }
    SinarioData first;
    Check(DecodeSinario(bytes.data(), bytes.size(), first));
    Check(first.stepCount >= 0 && first.stepCount <= kMaxSteps);
    Check(TitleText(first).size() <= kTitleChars);

    std::array<unsigned char, kRecordSize> encoded{};
    EncodeSinario(first, encoded);
    // Only the title may differ from the input, and only the bytes that were not cp932.
    Check(std::memcmp(encoded.data() + 34, bytes.data() + 34, kRecordSize - 34) == 0);

    SinarioData second;
    Check(DecodeSinario(encoded.data(), encoded.size(), second));
    // A bad byte sequence decodes to U+FFFD, which cp932 lacks and so is written as "?".
    SinarioData expected = first;
    for (char16_t& unit : expected.title)
        if (unit == u'\uFFFD') unit = u'?';
    Check(SameRecord(second, expected));

    std::array<unsigned char, kRecordSize> again{};
    EncodeSinario(second, again);
    Check(again == encoded);
    return 0;
}
