#include "core/scenario/SinarioRecord.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

#include "core/scenario/Cp932Text.h"

namespace mdlSinario {

namespace {

constexpr std::size_t kTitleBytes = 30;
constexpr std::size_t kStepCountAt = 30;
constexpr std::size_t kStepsAt = 34;
constexpr std::size_t kStepSize = 46;
static_assert(kStepsAt + kStepSize * (kMaxSteps + 1) == kRecordSize);

template <typename T>
void Put(unsigned char* at, T value)
{
    using U = std::make_unsigned_t<T>;
    const U bits = static_cast<U>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) at[i] = static_cast<unsigned char>(bits >> (8 * i));
}

template <typename T>
T Get(const unsigned char* at)
{
    using U = std::make_unsigned_t<T>;
    U bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) bits = static_cast<U>(bits | U{at[i]} << (8 * i));
    return static_cast<T>(bits);
}

// memcpy rather than std::bit_cast, which the WebAssembly toolchain's library lacks.
void PutDouble(unsigned char* at, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Put(at, bits);
}

double GetDouble(const unsigned char* at)
{
    const std::uint64_t bits = Get<std::uint64_t>(at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void EncodeStep(const SinarioStep& s, unsigned char* at)
{
    Put(at + 0, s.kind);
    Put(at + 2, s.value);
    Put(at + 6, s.addTemp);
    Put(at + 10, s.mol);
    PutDouble(at + 14, s.container);
    Put(at + 22, s.temperatureUnit);
    Put(at + 26, s.pressureUnit);
    Put(at + 30, s.grphWMin);
    Put(at + 34, s.grphWMax);
    Put(at + 38, s.grphHMin);
    Put(at + 42, s.grphHMax);
}

SinarioStep DecodeStep(const unsigned char* at)
{
    SinarioStep s;
    s.kind = Get<std::int16_t>(at + 0);
    s.value = Get<std::int32_t>(at + 2);
    s.addTemp = Get<std::int32_t>(at + 6);
    s.mol = Get<std::int32_t>(at + 10);
    s.container = GetDouble(at + 14);
    s.temperatureUnit = Get<std::int32_t>(at + 22);
    s.pressureUnit = Get<std::int32_t>(at + 26);
    s.grphWMin = Get<std::int32_t>(at + 30);
    s.grphWMax = Get<std::int32_t>(at + 34);
    s.grphHMin = Get<std::int32_t>(at + 38);
    s.grphHMax = Get<std::int32_t>(at + 42);
    return s;
}

} // namespace

std::u16string TitleUnits(const SinarioData& d)
{
    std::u16string text;
    for (const char16_t unit : d.title)
        if (unit != u'\0') text += unit;
    return text;
}

void SetTitleUnits(SinarioData& d, std::u16string_view text)
{
    auto n = std::min<std::size_t>(text.size(), kTitleChars);
    // Cutting between the halves of a surrogate pair would leave half a character.
    const auto high = [](char16_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto low = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    if (n == kTitleChars && n < text.size() && high(text[n - 1]) && low(text[n])) --n;
    d.title.fill(u' ');
    std::copy_n(text.begin(), n, d.title.begin());
}

void EncodeSinario(const SinarioData& d, std::array<unsigned char, kRecordSize>& out)
{
    out.fill(0);
    const std::string title =
        cp932::Encode(std::u16string_view(d.title.data(), d.title.size()), kTitleBytes);
    std::memcpy(out.data(), title.data(), title.size());
    // Only a double-byte character cut at the last byte leaves room: a blank, not half of it.
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(title.size()),
              out.begin() + kTitleBytes, static_cast<unsigned char>(' '));
    Put(out.data() + kStepCountAt, d.stepCount);
    for (std::size_t n = 0; n < d.steps.size(); ++n)
        EncodeStep(d.steps[n], out.data() + kStepsAt + kStepSize * n);
}

std::string SinarioRecordFault(const unsigned char* bytes, std::size_t size, i18n::Lang lang)
{
    if (bytes == nullptr || size < kRecordSize)
        return i18n::Format(lang, "scenario.fault.short",
                            {std::to_string(kRecordSize), std::to_string(bytes == nullptr ? 0 : size)});
    // Any long file has 2,380 bytes: only a record a scenario can hold is taken for one.
    const std::int32_t count = Get<std::int32_t>(bytes + kStepCountAt);
    if (count < 0 || count > kMaxSteps)
        return i18n::Format(lang, "scenario.fault.count", {std::to_string(count), std::to_string(kMaxSteps)});
    for (std::int32_t n = 1; n <= count; ++n) {
        const std::int16_t kind = Get<std::int16_t>(bytes + kStepsAt + kStepSize * static_cast<std::size_t>(n));
        if (kind < StepInit || kind > StepBussitu)
            return i18n::Format(lang, "scenario.fault.kind", {std::to_string(n), std::to_string(kind)});
    }
    return {};
}

std::string RefusedFileText(std::string_view fileName, std::string_view fault, i18n::Lang lang)
{
    std::string text = fileName.empty() ? std::string(i18n::Text(lang, "scenario.refused"))
                                        : i18n::Format(lang, "scenario.refused_named", {fileName});
    if (!fault.empty()) text.append("\n").append(fault);
    return text;
}

bool DecodeSinario(const unsigned char* bytes, std::size_t size, SinarioData& d)
{
    if (!SinarioRecordFault(bytes, size).empty()) return false;
    SinarioData read;
    const std::u16string title =
        cp932::Decode(std::string_view(reinterpret_cast<const char*>(bytes), kTitleBytes));
    // Zero bytes came back as NULs in place; what the decoding leaves over is NUL too.
    read.title.fill(u'\0');
    std::copy_n(title.begin(), std::min(title.size(), read.title.size()), read.title.begin());
    read.stepCount = Get<std::int32_t>(bytes + kStepCountAt);
    for (std::size_t n = 0; n < read.steps.size(); ++n)
        read.steps[n] = DecodeStep(bytes + kStepsAt + kStepSize * n);
    d = read;
    return true;
}

} // namespace mdlSinario
